#include "widgets/statusbar.h"

#include <QHBoxLayout>
#include <QLabel>

namespace velanote {

StatusBar::StatusBar(const QStringList& initialTexts, int stretchPanel, QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 1, 4, 1);
    layout->setSpacing(2);
    for (int i = 0; i < initialTexts.size(); ++i) {
        auto* label = new QLabel(initialTexts[i], this);
        label->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextInteractionFlags(Qt::NoTextInteraction);
        layout->addWidget(label, i + 1 == stretchPanel ? 1 : 0);
        panels_.append(label);
    }
}

QString StatusBar::panelText(int panel) const {
    return panel >= 1 && panel <= panels_.size() ? panels_[panel - 1]->text() : QString();
}

void StatusBar::setPanelText(int panel, const QString& text) {
    if (panel >= 1 && panel <= panels_.size()) {
        panels_[panel - 1]->setText(text);
    }
}

} // namespace velanote
