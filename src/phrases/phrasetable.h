#pragma once
#include <QList>
#include <QString>
#include <QStringList>

namespace velanote {

// One category of ready-made greetings: its name as the category list shows it and its phrases in
// the order the phrase list shows them, each with its trailing characters.
struct PhraseCategory {
    QString name;
    QStringList phrases;
};

// The fixed greetings of the phrase library.
class PhraseTable {
public:
    // The five categories in display order.
    static const QList<PhraseCategory>& categories();
    static QStringList categoryNames();
    // The phrases of the category named exactly `name`; empty for any other text.
    static QStringList phrasesOf(const QString& name);
};

} // namespace velanote
