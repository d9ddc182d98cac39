#include "common/qttranslation.h"
#include "startup/exitwhenshown.h"
#include "startup/loaderfrm.h"
#include "ui/guardedapplication.h"

int main(int argc, char** argv) {
    const QString commandLine = LoaderFrm::commandLine(argc, argv);
    GuardedApplication app(argc, argv);
    QtTranslation::install();
    QApplication::setApplicationName(QStringLiteral("Morvane"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.morvane.Morvane"));
    QWidget* main = LoaderFrm::start(commandLine);
    ExitWhenShown::watchIfRequested(main);
    return QApplication::exec();
}
