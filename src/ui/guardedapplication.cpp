#include "ui/guardedapplication.h"

#include "common/runerror.h"
#include "ui/appmessage.h"

#include <new>

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const RunError& e) {
        AppMessage::report(QApplication::activeWindow(), e);
    } catch (const std::bad_alloc&) {
        AppMessage::report(QApplication::activeWindow(), RunError(RunError::OutOfMemory));
    } catch (...) {
        AppMessage::show(QApplication::activeWindow(), AppMessage::Critical,
                         QStringLiteral("Внутренняя ошибка: действие прервано."));
    }
    return false;
}
