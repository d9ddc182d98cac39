#pragma once

// A start-up probe for the benchmarks: with MORVANE_EXIT_WHEN_SHOWN set in
// the environment, the program prints "shown", the main window's name, its
// layout direction, the desktop file name and the language of Qt's own texts
// ("shown MainFrmLight ltr io.github.morvane.Morvane ru") and quits right
// after the window's first paint, so that a launcher can time the start-up
// and read its peak memory, and a test can tell how the program started.

#include <QObject>

class QWidget;

class ExitWhenShown : public QObject {
    Q_OBJECT
public:
    // Watches the window when the environment asks for it.
    static void watchIfRequested(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
