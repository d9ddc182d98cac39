// The start-up benchmark's references: the least a Qt program does to show a
// window of the light window's size (552 x 357), and with --text the same
// window with one label and one line edit, which pays for what any window
// with text pays (the font database, a font loaded and shaped). Like Morvane
// started with MORVANE_EXIT_WHEN_SHOWN, it prints "shown" and quits right
// after the window's first paint.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
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
    if (app.arguments().contains(QStringLiteral("--text"))) {
        auto* label = new QLabel(QStringLiteral("Введите начальные значения:"), &window);
        label->setGeometry(200, 8, 200, 17);
        auto* edit = new QLineEdit(QStringLiteral("0,1"), &window);
        edit->setGeometry(56, 32, 33, 21);
    }
    window.show();
    window.installEventFilter(&exitWhenShown);
    return QApplication::exec();
}
