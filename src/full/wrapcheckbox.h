#pragma once

// A check box whose caption wraps onto a second line when the box is tall
// enough for it, as "Показывать текущие значения" needs in its narrow frame.

#include <QCheckBox>

class WrapCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};
