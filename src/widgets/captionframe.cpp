#include "widgets/captionframe.h"

#include <QStyleOptionGroupBox>

namespace velanote {

CaptionFrame::CaptionFrame(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

void CaptionFrame::initStyleOption(QStyleOptionGroupBox* option) const {
    QGroupBox::initStyleOption(option);
    qsizetype end = option->text.size();
    while (end > 0 && option->text.at(end - 1).isSpace()) {
        --end;
    }
    option->text.truncate(end);
}

} // namespace velanote
