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

} // namespace MainWindowTexts

} // namespace velanote
