#pragma once
#include <QString>
#include <QStringList>

#include <functional>

namespace velanote {

class ProgramFolder;

// The user's lexicon of readings in the program folder, read by the embedded speech service.
QString userLexiconPath(const ProgramFolder& folder);

// What the voice will be given for a text: the Chinese in tone-numbered pinyin, read with the
// built-in lexicon and the user's lexicon of the program folder. The engine must be usable.
// Empty when the voice cannot be started.
QString spokenReading(const QString& text);

// `velanote pinyin TEXT...`: prints the reading of the words, joined by blanks, on one line.
// Exit codes: 0 done, 2 no text, 3 the voice cannot be started.
int runPinyinCommand(const QStringList& arguments);

// `velanote normalize TEXT...`: prints the words, joined by blanks, as they will be spoken: numbers,
// dates, times, money, units and symbols in Chinese words. Exit codes: 0 done, 2 no text.
int runNormalizeCommand(const QStringList& arguments);

} // namespace velanote
