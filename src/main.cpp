#include "startup/exitwhenshown.h"
#include "startup/loaderfrm.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvane"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.morvane.Morvane"));
    QWidget* main = LoaderFrm::start(QApplication::arguments().mid(1).join(QLatin1Char(' ')));
    ExitWhenShown::watchIfRequested(main);
    return QApplication::exec();
}
