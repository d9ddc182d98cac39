#pragma once

#include <QString>
#include <functional>

class QWidget;
class RunError;

// Every message box of the program goes through here: modal, one OK
// button, titled "Morvane". Tests install a handler that answers instead of
// a person.
class AppMessage {
public:
    enum Icon { Critical, Exclamation, Information };

    static void show(QWidget* parent, Icon icon, const QString& text);
    // The run-time error report of a fault.
    static void report(QWidget* parent, const RunError& error);

    using Handler = std::function<void(Icon, const QString&)>;
    static void setHandler(Handler handler);

    static QString title() { return QStringLiteral("Morvane"); }
};
