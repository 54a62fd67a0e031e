#pragma once
#include <QString>
#include <QStringList>

namespace velanote {

// The fixed texts of the main window: its caption, lists, notes and questions.
namespace MainWindowTexts {

QString caption();
// The relationship list of relationCombo, ending with customRelation().
const QStringList& relationships();
QString customRelation(); // "自己添加..."
// The update notes: 31 lines, each ended by CR LF.
QString updateNotes();
QString softwareDescription();
// The exit question; its line breaks are carriage returns alone.
QString exitQuestion();
QString restartQuestion();
QString lessonsAdvert();
QString repairQuestion();
QString frameCaption(const QString& forumHost);
QString checkCaption();
// What the desktop could not open (no browser or file manager): the address or file, and for a
// file or folder the folder, on a line of its own so it can be copied.
QString unopened(const QString& target, const QString& folder);

} // namespace MainWindowTexts

} // namespace velanote
