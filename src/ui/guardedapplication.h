#pragma once

#include <QApplication>

// The program's application object. Qt cannot carry an exception through
// its event loop: one that leaves a handler, a slot or a paint ends the
// program. Every event is delivered through notify(), so catching there
// turns any fault a handler failed to catch into the run-time error report
// of the window it happened in, and the program goes on.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
