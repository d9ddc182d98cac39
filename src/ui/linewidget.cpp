#include "ui/linewidget.h"

#include "ui/formbuilder.h"

#include <QPainter>
#include <algorithm>

LineWidget::LineWidget(QWidget* parent, const QString& name, int x1, int y1, int x2, int y2)
    : QWidget(parent), m_x1(x1), m_y1(y1), m_x2(x2), m_y2(y2) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setPoints(x1, y1, x2, y2);
}

void LineWidget::setPoints(int x1, int y1, int x2, int y2) {
    m_x1 = x1;
    m_y1 = y1;
    m_x2 = x2;
    m_y2 = y2;
    const int left = FormBuilder::px(std::min(x1, x2));
    const int top = FormBuilder::px(std::min(y1, y2));
    const int right = FormBuilder::px(std::max(x1, x2));
    const int bottom = FormBuilder::px(std::max(y1, y2));
    setGeometry(left, top, std::max(1, right - left + 1), std::max(1, bottom - top + 1));
    update();
}

void LineWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::WindowText), 1));
    const int ox = FormBuilder::px(std::min(m_x1, m_x2));
    const int oy = FormBuilder::px(std::min(m_y1, m_y2));
    p.drawLine(FormBuilder::px(m_x1) - ox, FormBuilder::px(m_y1) - oy, FormBuilder::px(m_x2) - ox,
               FormBuilder::px(m_y2) - oy);
}
