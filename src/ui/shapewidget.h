#pragma once

// A rectangle shape: an optional thin border and an optional opaque fill.
// Like the line controls it lets the mouse through to the window. Its
// height can be held as a fraction of a twip, so an animation that grows it
// by less than a pixel per step still ends.

#include <QWidget>

class ShapeWidget : public QWidget {
    Q_OBJECT
public:
    ShapeWidget(QWidget* parent, const QString& name, int left, int top, int width, int height,
                bool border, bool opaque);

    void setOpaque(bool opaque);
    bool isOpaque() const { return m_opaque; }
    // Height in twips, kept exactly as given.
    void setHeightTwips(float twips);
    float heightTwips() const { return m_heightTwips; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_border;
    bool m_opaque;
    int m_top;
    float m_heightTwips;
};
