#include "lab/paramslider.h"

#include "common/numbertext.h"
#include "plot/phaseview.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <algorithm>
#include <cmath>

ParamSlider::ParamSlider(QWidget* parent, const QString& name, const QString& caption, Kind kind)
    : QObject(parent), m_kind(kind) {
    m_label = new QLabel(caption, parent);
    m_slider = new QSlider(Qt::Horizontal, parent);
    m_slider->setObjectName(name + QStringLiteral("Slider"));
    m_slider->setRange(0, MostTicks);
    m_slider->setPageStep(10);
    m_box = new QLineEdit(parent);
    m_box->setObjectName(name + QStringLiteral("Box"));
    m_box->setMaximumWidth(90);
    m_label->setBuddy(m_box);
    // The style draws no focus mark on a slider: the keyboard's place is
    // shown by a tinted background instead.
    m_slider->installEventFilter(this);
    connect(m_slider, &QSlider::valueChanged, this, &ParamSlider::fromSlider);
    connect(m_box, &QLineEdit::textEdited, this, &ParamSlider::fromBox);
    // A text left unreadable goes back to the value in force.
    connect(m_box, &QLineEdit::editingFinished, this, [this] {
        if (m_box->text() != NumberText::fromDouble(m_value + 0.0))
            m_box->setText(NumberText::fromDouble(m_value + 0.0));
    });
}

bool ParamSlider::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_slider &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        const bool focused = event->type() == QEvent::FocusIn;
        QPalette p = m_slider->palette();
        QColor tint = p.color(QPalette::Highlight);
        tint.setAlpha(70);
        p.setColor(QPalette::Window, focused ? tint : QColor(Qt::transparent));
        m_slider->setPalette(p);
        m_slider->setAutoFillBackground(focused);
    }
    return QObject::eventFilter(watched, event);
}

// Whole numbers round ties to even, as the input row reads t, within the
// 16-bit range the windows read it in; a choice is the nearest one.
double ParamSlider::typed(double v) const {
    if (m_kind == Count)
        return std::clamp(std::nearbyint(v), -32768.0, 32767.0);
    if (m_kind == Choices && !m_choices.isEmpty()) {
        double best = m_choices.front();
        for (double c : m_choices)
            if (std::abs(c - v) < std::abs(best - v))
                best = c;
        return best;
    }
    return v;
}

double ParamSlider::roundStep(double span) {
    if (!(span > 0) || !std::isfinite(span))
        return 1;
    const double rough = span / MostTicks;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= rough * (1 - 1e-12))
            return m * power;
    return 10 * power;
}

void ParamSlider::setTicks() {
    m_step = roundStep(m_high - m_low);
    m_ticks = int(std::clamp(std::floor((m_high - m_low) / m_step + 1e-9), 1.0, double(MostTicks)));
}

void ParamSlider::setSpan(double low, double high) {
    const QSignalBlocker quiet(m_slider);
    m_low = low;
    m_high = high;
    setTicks();
    m_slider->setRange(0, m_ticks);
    placeSlider();
}

void ParamSlider::setChoices(const QList<double>& values) {
    const QSignalBlocker quiet(m_slider);
    m_choices = values;
    m_slider->setRange(0, int(values.size()) - 1);
    m_slider->setPageStep(1);
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
        const double reach =
            std::min(32767.0, std::max(10.0, PhaseView::niceStep(2 * std::abs(m_value))));
        m_low = m_value < 0 ? -reach : 1;
        m_high = m_value < 0 ? -1 : reach;
        m_slider->setRange(int(m_low), int(m_high));
        return;
    }
    if (m_kind != Free && m_kind != Positive)
        return;
    const double reach =
        m_value == 0 || !std::isfinite(m_value) ? 1 : PhaseView::niceStep(2 * std::abs(m_value));
    m_low = m_value < 0 ? -reach : 0;
    m_high = m_value < 0 ? 0 : reach;
    setTicks();
    m_slider->setMinimum(m_kind == Positive && m_value >= 0 ? 1 : 0);
    m_slider->setMaximum(m_kind == Positive && m_value < 0 ? m_ticks - 1 : m_ticks);
}

void ParamSlider::placeSlider() {
    const QSignalBlocker quiet(m_slider);
    if (m_kind == Choices)
        m_slider->setValue(int(m_choices.indexOf(typed(m_value))));
    else if (m_kind == Count)
        m_slider->setValue(int(std::clamp(m_value, m_low, m_high)));
    else if (m_high > m_low && std::isfinite(m_value))
        m_slider->setValue(
            int(std::lround(std::clamp((m_value - m_low) / m_step, 0.0, double(m_ticks)))));
}

void ParamSlider::setValue(double value) {
    m_value = value;
    fitSpan();
    placeSlider();
    // Text that already gives this value is left as typed: "0," on the way
    // to "0,5", and "10" on the way to the divisor 1000 (the nearest choice
    // to 10 is 8); the box shows the value itself once editing ends.
    if (const auto typedNow = NumberText::tryDouble(m_box->text());
        typedNow && std::isfinite(*typedNow) && typed(*typedNow) == value)
        return;
    m_box->setText(NumberText::fromDouble(m_value + 0.0));
}

void ParamSlider::fromSlider(int position) {
    double v = position;
    if (m_kind == Choices) {
        v = m_choices.value(position, m_value);
    } else if (m_kind != Count) {
        // A round step (1, 2 or 5 × 10ᵏ), written and read back so that the
        // box and the value agree to the last digit: 1,55, never 1,544.
        v = NumberText::toDouble(
            NumberText::fromDouble(QString::number(m_low + position * m_step, 'g', 12).toDouble()));
    }
    m_value = v;
    m_box->setText(NumberText::fromDouble(m_value + 0.0));
    emit edited(m_value);
}

void ParamSlider::fromBox(const QString& text) {
    const auto v = NumberText::tryDouble(text);
    if (!v || !std::isfinite(*v))
        return;
    m_value = typed(*v);
    // Every typed value re-centres a free span: one that only widened
    // would leave a huge value's span behind a small one.
    fitSpan();
    placeSlider();
    emit edited(m_value);
}
