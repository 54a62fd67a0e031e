#pragma once
#include <QGroupBox>

namespace velanote {

// A group box that keeps its caption as given but draws it without the blanks that end it, so
// the frame's border runs on right after the last letter.
class CaptionFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit CaptionFrame(const QString& title, QWidget* parent = nullptr);

protected:
    void initStyleOption(QStyleOptionGroupBox* option) const override;
};

} // namespace velanote
