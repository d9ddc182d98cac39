// The start-up benchmark's reference: the least a Qt program does to show a
// window of the light window's size (552 x 357). Like Morvane started with
// MORVANE_EXIT_WHEN_SHOWN, it prints "shown" and quits right after the
// window's first paint.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {
class ExitWhenShown : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, qApp, [] {
                std::puts("shown");
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ExitWhenShown exitWhenShown;
    QWidget window;
    window.setFixedSize(552, 357);
    window.show();
    window.installEventFilter(&exitWhenShown);
    return QApplication::exec();
}
