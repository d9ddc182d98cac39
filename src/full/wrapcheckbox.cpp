#include "full/wrapcheckbox.h"

#include <QStyleOptionButton>
#include <QStylePainter>

void WrapCheckBox::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    const QString caption = opt.text;
    opt.text.clear();
    const QRect indicator = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &opt, this);
    QStyleOptionButton box = opt;
    box.rect = indicator;
    box.rect.moveTop(2);
    p.drawPrimitive(QStyle::PE_IndicatorCheckBox, box);
    const int spacing = style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &opt, this);
    const QRect textRect(indicator.right() + 1 + spacing, 0,
                         width() - indicator.right() - 1 - spacing, height());
    p.drawItemText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, opt.palette,
                   isEnabled(), caption, QPalette::WindowText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = textRect.adjusted(-1, 0, 0, 0);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
