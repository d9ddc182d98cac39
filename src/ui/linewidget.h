#pragma once

// A line control: a straight, 1-pixel, solid line between two points given
// in twips. It is a thin widget of its own, so moving it repaints only the
// strips it leaves and enters; the mouse passes through it to the window.

#include <QWidget>

class LineWidget : public QWidget {
    Q_OBJECT
public:
    LineWidget(QWidget* parent, const QString& name, int x1, int y1, int x2, int y2);

    void setPoints(int x1, int y1, int x2, int y2);
    int x1() const { return m_x1; }
    int y1() const { return m_y1; }
    int x2() const { return m_x2; }
    int y2() const { return m_y2; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_x1, m_y1, m_x2, m_y2;
};
