#include "ui/windowplacement.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

void WindowPlacement::beside(QWidget* window, const QWidget* main, int leastWidth) {
    const QScreen* screen = main->screen();
    if (!screen || !main->isVisible())
        return;
    // So that a write-back can be watched: beside the main window, right
    // or left, when the room there holds the lab at a usable size; else
    // where the window manager puts it.
    const QRect free = screen->availableGeometry();
    const QRect beside = main->frameGeometry();
    // The frame the window manager adds, as the main window has it.
    const QSize frame = beside.size() - main->size();
    const int gap = 4;
    const int rightRoom = free.right() - beside.right() - gap - frame.width();
    const int leftRoom = beside.left() - free.left() - gap - frame.width();
    const int least = std::max(window->minimumSizeHint().width(), leastWidth);
    const bool right = rightRoom >= least;
    if (!right && leftRoom < least)
        return;
    const int w = std::min(right ? rightRoom : leftRoom, window->width());
    const int h = std::min(window->height(), free.height() - frame.height());
    window->resize(w, h);
    const int x = right ? beside.right() + 1 + gap : beside.left() - gap - w - frame.width();
    const int y = std::clamp(beside.top(), free.top(),
                             std::max(free.top(), free.bottom() + 1 - h - frame.height()));
    window->move(x, y);
}
