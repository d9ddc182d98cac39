#include "startup/exitwhenshown.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

void ExitWhenShown::watchIfRequested(QWidget* window) {
    if (!window || !qEnvironmentVariableIsSet("MORVANE_EXIT_WHEN_SHOWN"))
        return;
    window->installEventFilter(new ExitWhenShown());
}

bool ExitWhenShown::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        // Queued, so the rest of the window is painted before leaving.
        // The window's name and its layout direction after the word, for a
        // caller that checks which edition opened and that Qt's own options
        // (-reverse) still apply.
        const QWidget* window = static_cast<QWidget*>(watched);
        const QByteArray seen =
            window->objectName().toLatin1() + (window->isRightToLeft() ? " rtl" : " ltr");
        QTimer::singleShot(0, qApp, [this, seen] {
            std::printf("shown %s\n", seen.constData());
            std::fflush(stdout);
            deleteLater();
            QCoreApplication::quit();
        });
    }
    return false;
}
