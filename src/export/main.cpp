// morvane-export: the calculation and the graph without a window.

#include "common/qttranslation.h"
#include "export/exportcommand.h"
#include "export/interruption.h"

#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
// Qt's own remarks about the session (no runtime directory and the like)
// mean nothing to a script reading the messages; real failures still show.
void keepSerious(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}
// A standard stream the shell closed (`>&-`) would hand its number to the
// next file opened, and the bytes meant for it would land in an output's
// temporary file. /dev/null holds the place (open takes the lowest free
// number, which is this one, the lower ones being held already), opened
// the other way round, so that every write to it fails as on the closed one.
void holdClosedStreams() {
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        if (fcntl(fd, F_GETFD) == -1)
            open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
}
} // namespace

int main(int argc, char** argv) {
    holdClosedStreams();
    // Taken before Qt sees them: the application would otherwise claim
    // options of its own, such as --reverse, and drop them silently.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    qInstallMessageHandler(keepSerious);
    // Text needs a running application for its fonts, not a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int appArgc = 1;
    QGuiApplication app(appArgc, argv);
    QtTranslation::install();

    // The descriptors, not the C library's streams: a write to a FILE only
    // fills its buffer, and a full disk would be found at exit, unreported.
    QFile out;
    QFile err;
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    // Ctrl+C only stops the calculation; the command then writes nothing.
    Interruption::install();
    const int status = ExportCommand::run(args, out, err);
    Interruption::endBySignal();
    return status;
}
