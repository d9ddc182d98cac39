// morvane-export: the calculation and the graph without a window.

#include "common/qttranslation.h"
#include "export/exportcommand.h"

#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {
// Qt's own remarks about the session (no runtime directory and the like)
// mean nothing to a script reading the messages; real failures still show.
void keepSerious(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}
} // namespace

int main(int argc, char** argv) {
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

    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return ExportCommand::run(args, out, err);
}
