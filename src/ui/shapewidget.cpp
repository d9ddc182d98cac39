#include "ui/shapewidget.h"

#include "ui/formbuilder.h"

#include <QPaintEvent>
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

void ShapeWidget::paintEvent(QPaintEvent* event) {
    // Only what was asked for: the graph box lies beneath the run's current
    // values and every new segment, and repaints a small piece for each.
    const QRect wanted = event->rect();
    QPainter p(this);
    if (m_opaque)
        p.fillRect(wanted, palette().color(QPalette::Base));
    if (m_border) {
        // The border's four sides as one-pixel fills, each only where it
        // meets the piece: a stroked rectangle costs as much for a corner
        // of the box as for all of it.
        const QRect r = rect();
        const QRect sides[] = {{r.left(), r.top(), r.width(), 1},
                               {r.left(), r.bottom(), r.width(), 1},
                               {r.left(), r.top(), 1, r.height()},
                               {r.right(), r.top(), 1, r.height()}};
        const QColor colour = palette().color(QPalette::WindowText);
        for (const QRect& side : sides)
            if (side.intersects(wanted))
                p.fillRect(side.intersected(wanted), colour);
    }
}
