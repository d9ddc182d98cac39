#include "startup/exitwhenshown.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
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
        // Then the desktop file the desktop matches the window with, and the
        // language of Qt's own texts (a dialog's buttons), which a missing
        // catalogue or a start-up that forgot it leaves English.
        const QWidget* window = static_cast<QWidget*>(watched);
        const bool qtInRussian =
            QCoreApplication::translate("QPlatformTheme", "Cancel") != QLatin1String("Cancel");
        const QByteArray seen =
            window->objectName().toLatin1() + (window->isRightToLeft() ? " rtl " : " ltr ") +
            QGuiApplication::desktopFileName().toLatin1() + (qtInRussian ? " ru" : " en");
        QTimer::singleShot(0, qApp, [this, seen] {
            std::printf("shown %s\n", seen.constData());
            std::fflush(stdout);
            deleteLater();
            QCoreApplication::quit();
        });
    }
    return false;
}
