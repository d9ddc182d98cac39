#pragma once

#include "export/labpicture.h"

#include <QWidget>
#include <optional>

// The lab's phase plane on the screen, painted by LabPicture from the run
// it is shown. A press moves the start (x0, y0) to the point pressed and a
// drag moves it live; the scales stay as they were at the press, and after
// the button is let go, so that the start stays where the pointer left it,
// until something other than the start changes (releaseScales).
class PhasePlane : public QWidget {
    Q_OBJECT
public:
    PhasePlane(const LabRun* run, const LabPicture::Style* style, QWidget* parent);

    void releaseScales();
    // The scales the plane is drawn with now.
    PhaseView shownView() const;

signals:
    void startMoved(double x, double y);
    void menuRequested(const QPoint& globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void moveStart(const QPointF& at);

    const LabRun* m_run;
    const LabPicture::Style* m_style;
    std::optional<PhaseView> m_held;
    bool m_dragging = false;
};
