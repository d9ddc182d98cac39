#include "common/qttranslation.h"
#include "startup/exitwhenshown.h"
#include "startup/loaderfrm.h"
#include "ui/guardedapplication.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    // Answered before Qt starts, so that a script or a package check can ask
    // on a machine without a display. Like -Debug, only as the sole argument.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        const bool written =
            std::fputs("morvane " MORVANE_VERSION "\n", stdout) >= 0 && std::fflush(stdout) == 0;
        return written ? 0 : 1;
    }
    const QString commandLine = LoaderFrm::commandLine(argc, argv);
    GuardedApplication app(argc, argv);
    QtTranslation::install();
    QApplication::setApplicationName(QStringLiteral("Morvane"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.morvane.Morvane"));
    QWidget* main = LoaderFrm::start(commandLine, LoaderFrm::scenarioFile(argc, argv));
    ExitWhenShown::watchIfRequested(main);
    return QApplication::exec();
}
