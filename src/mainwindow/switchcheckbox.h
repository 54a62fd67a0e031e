#pragma once
#include <QCheckBox>

namespace velanote {

// A check box whose value 2 (greyed) is set only by code: a click ticks an unticked or greyed box
// and unticks a ticked one.
class SwitchCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
};

} // namespace velanote
