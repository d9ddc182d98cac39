#pragma once

class QWidget;

// Where a second window opens: beside the one it belongs to, right or left,
// when the screen holds it there at a usable width, so that both can be
// watched at once; otherwise where the window manager puts it.
class WindowPlacement {
public:
    static void beside(QWidget* window, const QWidget* main, int leastWidth);
};
