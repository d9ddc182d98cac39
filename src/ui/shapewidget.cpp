#include "ui/shapewidget.h"

#include "ui/formbuilder.h"

#include <QPainter>
#include <cmath>

ShapeWidget::ShapeWidget(QWidget* parent, const QString& name, int left, int top, int width,
                         int height, bool border, bool opaque)
    : QWidget(parent), m_border(border), m_opaque(opaque), m_top(top), m_heightTwips(height) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    FormBuilder::place(this, left, top, width, height);
}

void ShapeWidget::setOpaque(bool opaque) {
    m_opaque = opaque;
    update();
}

void ShapeWidget::setHeightTwips(float twips) {
    m_heightTwips = twips;
    const int h = std::max(1, int(std::lround(double(twips) / FormBuilder::TwipsPerPixel)));
    if (h != height())
        resize(width(), h);
}

void ShapeWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (m_opaque)
        p.fillRect(rect(), palette().color(QPalette::Base));
    if (m_border) {
        p.setPen(QPen(palette().color(QPalette::WindowText), 1));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
