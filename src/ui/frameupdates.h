#pragma once

// Paces the repaints of a run to the display's frames: the drawing layer's
// new segments and the controls that change at every step (the current
// values, the progress bar) are painted together, at most once per frame.
// What the controls hold is always current; only their painting waits. A
// run pausing 4 ms after each step would otherwise paint them, and all that
// their transparent backgrounds let through, at every step. Thirty frames a
// second keep the growing curve smooth (a few pixels a frame) at half the
// cost of sixty, which matters on a remote or software-rendered X server.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

class FrameUpdates : public QObject {
    Q_OBJECT
public:
    static constexpr int FrameMs = 33;

    explicit FrameUpdates(QObject* parent = nullptr);
    ~FrameUpdates() override;

    // Milliseconds on a monotonic clock. A clock handed in replaces the
    // real one and its timer: whoever advances it calls advanced() where
    // the timer would have fired, so frames follow that clock alone.
    using Clock = std::function<qint64()>;
    void setClock(Clock clock);
    // A frame asked for and due by the handed clock is made now.
    void advanced();

    // Asks for a frame: frame() is emitted when it is due.
    void request();
    // Call before changing the widget: it is painted with the next frame.
    // In a pass that lets no events through (no pauses), the first hold a
    // frame late paints what is held there and then.
    void hold(QWidget* widget);
    // The frame now: frame() is emitted and whatever is held is painted
    // with the next pass over events, as at the end of a run's pass.
    void release();

signals:
    void frame();

private:
    // Milliseconds since the last frame, FrameMs and more before the first.
    qint64 sinceRelease() const;

    std::vector<QPointer<QWidget>> m_held;
    QTimer m_timer;
    QElapsedTimer m_realClock;
    Clock m_clock;
    qint64 m_lastRelease = -1;
    bool m_requested = false;
};
