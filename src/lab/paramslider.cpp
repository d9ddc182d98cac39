#include "lab/paramslider.h"

#include "common/numbertext.h"
#include "plot/phaseview.h"

#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <cmath>

ParamSlider::ParamSlider(QWidget* parent, const QString& name, const QString& caption, Kind kind)
    : QObject(parent), m_kind(kind) {
    m_label = new QLabel(caption, parent);
    m_slider = new QSlider(Qt::Horizontal, parent);
    m_slider->setObjectName(name + QStringLiteral("Slider"));
    m_slider->setRange(0, Ticks);
    m_slider->setPageStep(50);
    m_box = new QLineEdit(parent);
    m_box->setObjectName(name + QStringLiteral("Box"));
    m_box->setMaximumWidth(90);
    m_label->setBuddy(m_box);
    connect(m_slider, &QSlider::valueChanged, this, &ParamSlider::fromSlider);
    connect(m_box, &QLineEdit::textEdited, this, &ParamSlider::fromBox);
    // A text left unreadable goes back to the value in force.
    connect(m_box, &QLineEdit::editingFinished, this, [this] {
        if (m_box->text() != NumberText::fromDouble(m_value))
            setValue(m_value);
    });
}

// Whole numbers round ties to even, as the input row reads t.
double ParamSlider::clamp(double v) const {
    if (m_kind == Count)
        return std::min(std::max(std::nearbyint(v), 1.0), 32767.0);
    if (m_kind == Whole)
        v = std::nearbyint(v);
    if (m_kind == Whole || m_kind == Span)
        v = std::min(std::max(v, m_low), m_high);
    return v;
}

void ParamSlider::setSpan(double low, double high) {
    const QSignalBlocker quiet(m_slider);
    m_low = low;
    m_high = high;
    if (m_kind == Whole)
        m_slider->setRange(int(low), int(high));
    else
        m_slider->setRange(0, Ticks);
    placeSlider();
}

void ParamSlider::setEnabled(bool on) {
    m_slider->setEnabled(on);
    m_box->setEnabled(on);
    m_label->setEnabled(on);
}

void ParamSlider::fitSpan() {
    // A new span moves the slider; that is no edit.
    const QSignalBlocker quiet(m_slider);
    if (m_kind == Count) {
        m_low = 1;
        m_high = std::min(32767.0, std::max(10.0, PhaseView::niceStep(2 * m_value)));
        m_slider->setRange(1, int(m_high));
        return;
    }
    if (m_kind != Free && m_kind != Positive)
        return;
    const double reach = m_value == 0 ? 1 : PhaseView::niceStep(2 * std::abs(m_value));
    m_low = m_value < 0 ? -reach : 0;
    m_high = m_value < 0 ? 0 : reach;
    m_slider->setMinimum(m_kind == Positive ? 1 : 0);
}

void ParamSlider::placeSlider() {
    const QSignalBlocker quiet(m_slider);
    if (m_kind == Whole || m_kind == Count)
        m_slider->setValue(int(std::lround(m_value)));
    else if (m_high > m_low)
        m_slider->setValue(int(std::lround((m_value - m_low) / (m_high - m_low) * Ticks)));
}

void ParamSlider::setValue(double value) {
    m_value = clamp(value);
    fitSpan();
    placeSlider();
    m_box->setText(NumberText::fromDouble(m_value));
}

void ParamSlider::fromSlider(int position) {
    double v = position;
    if (m_kind != Whole && m_kind != Count) {
        // A round step of the span, written and read back so that the box
        // and the value agree to the last digit.
        const double step = (m_high - m_low) / Ticks;
        v = NumberText::toDouble(
            NumberText::fromDouble(QString::number(m_low + position * step, 'g', 12).toDouble()));
    }
    m_value = v;
    m_box->setText(NumberText::fromDouble(m_value));
    emit edited(m_value);
}

void ParamSlider::fromBox(const QString& text) {
    const auto v = NumberText::tryDouble(text);
    if (!v || !std::isfinite(*v))
        return;
    m_value = clamp(*v);
    if (m_kind != Whole && m_kind != Span && (m_value < m_low || m_value > m_high))
        fitSpan();
    placeSlider();
    emit edited(m_value);
}
