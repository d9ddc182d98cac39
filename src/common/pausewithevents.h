#pragma once

#include <functional>

// Waits while the user interface stays alive: pending paint, mouse and
// keyboard events are handled, and between them the thread sleeps instead of
// spinning, so a long pause costs almost no CPU.
class PauseWithEvents {
public:
    // Returns at once for 0 s or less.
    static void pause(double seconds);

    // Tests shorten every pause through this seam: each pause is multiplied
    // by the scale (0 turns a pause into one pass over the pending events).
    static void setScale(double scale);
    static double scale();
    // Tests see every pause as it was asked for, before the scale.
    static void setObserver(std::function<void(double)> observer);
};
