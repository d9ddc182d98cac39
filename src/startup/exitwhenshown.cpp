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
        // The window's name after the word, for a caller that checks which
        // edition opened.
        const QByteArray name = watched->objectName().toLatin1();
        QTimer::singleShot(0, qApp, [this, name] {
            std::printf("shown %s\n", name.constData());
            std::fflush(stdout);
            deleteLater();
            QCoreApplication::quit();
        });
    }
    return false;
}
