#pragma once
#include <QFrame>
#include <QList>

class QLabel;

namespace velanote {

// A status bar of numbered panels (1-based, as the windows count them); panel 2 is the status line.
class StatusBar : public QFrame {
    Q_OBJECT
public:
    // `stretchPanel` is the 1-based panel that takes the spare width.
    StatusBar(const QStringList& initialTexts, int stretchPanel, QWidget* parent = nullptr);

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);
    int panelCount() const { return int(panels_.size()); }

private:
    QList<QLabel*> panels_;
};

} // namespace velanote
