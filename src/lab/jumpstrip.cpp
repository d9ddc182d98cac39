#include "lab/jumpstrip.h"

#include <QMouseEvent>
#include <QPainter>

JumpStrip::JumpStrip(const LabRun* run, const LabPicture::Style* style, QWidget* parent)
    : QWidget(parent), m_run(run), m_style(style) {
    setObjectName(QStringLiteral("JumpStrip"));
    setFixedHeight(LabPicture::StripHeight);
    setCursor(Qt::PointingHandCursor);
}

void JumpStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    LabPicture::paintStrip(p, rect(), *m_run, *m_style);
}

void JumpStrip::mousePressEvent(QMouseEvent* event) {
    const double left = LabPicture::MarginLeft, right = width() - LabPicture::MarginRight;
    if (event->button() != Qt::LeftButton || m_run->jumps.size() < 2 || right <= left)
        return;
    const double share = std::clamp((event->position().x() - left) / (right - left), 0.0, 1.0);
    const double last = double(m_run->jumps.size() - 1);
    emit strikeChosen(std::round(share * last) * m_run->params.dt);
}
