#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QSlider;

// One of the lab's values as a slider and a typed box side by side. The box
// reads numbers as the input row does (comma or point) and always shows the
// value held, never a clamped one; a typed value or one set from outside
// moves a free span so that it is in the middle, while a drag keeps it.
class ParamSlider : public QObject {
    Q_OBJECT
public:
    enum Kind {
        Free,     // any number; the span is 0..2·|value| on the value's side
        Positive, // as Free, but the slider never reaches 0
        Choices,  // one of a list of values, nearest taken
        Count,    // whole numbers as the windows read t; the span as Free
        Span,     // any number; the slider covers the fixed span
    };
    // The slider and box are named <name>Slider and <name>Box.
    ParamSlider(QWidget* parent, const QString& name, const QString& caption, Kind kind);

    double value() const { return m_value; }
    // Sets the value from outside: no edited() signal.
    void setValue(double value);
    // For Span: the fixed span.
    void setSpan(double low, double high);
    // For Choices: the values, in order.
    void setChoices(const QList<double>& values);
    void setEnabled(bool on);

    QLabel* label() const { return m_label; }
    QSlider* slider() const { return m_slider; }
    QLineEdit* box() const { return m_box; }

signals:
    // The user moved the slider or typed a number.
    void edited(double value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitSpan();
    void placeSlider();
    void fromSlider(int position);
    void fromBox(const QString& text);
    double typed(double v) const;

    // The slider's step over a span: 1, 2 or 5 × 10ᵏ, at most MostTicks of
    // them, so that every position is a value a person would type.
    static double roundStep(double span);
    void setTicks();

    static constexpr int MostTicks = 250;
    Kind m_kind;
    double m_value = 0;
    double m_low = 0, m_high = 1;
    double m_step = 0.004;
    int m_ticks = 250;
    QList<double> m_choices;
    QLabel* m_label;
    QSlider* m_slider;
    QLineEdit* m_box;
};
