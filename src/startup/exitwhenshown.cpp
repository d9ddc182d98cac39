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
        const QWidget* window = static_cast<QWidget*>(watched);
        const QByteArray seen =
            window->objectName().toUtf8() + (window->isRightToLeft() ? " rtl" : " ltr");
        QTimer::singleShot(0, qApp, [this, seen] {
            std::puts(seen.constData());
            std::puts("shown");
            std::fflush(stdout);
            deleteLater();
            QCoreApplication::quit();
        });
    }
    return false;
}
