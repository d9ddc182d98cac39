#pragma once

#include <QString>
#include <QStringList>

class QIODevice;

// morvane-export: the light window's run without a window. It reads the
// eight input texts as the input row does, runs the calculation and, for
// the pictures, the drawing, then writes the CSV and the pictures. Every
// output is made in memory first; the files are written only when all of
// them are ready, so a failure creates or replaces none.
//
// The options and their usage text are ExportOptions, the reading of their
// texts ExportInputs; run() puts the steps in order.
class ExportCommand {
public:
    // Interrupted: Ctrl+C or SIGTERM before the outputs were written (128 +
    // SIGINT, what a shell says of a command the signal ended).
    enum Status { Success = 0, BadInput = 2, RunFault = 3, Interrupted = 130 };

    // args without the program's name. Files named "-" go to out; messages
    // to err, in Russian.
    static int run(const QStringList& args, QIODevice& out, QIODevice& err);

    static QString usage();

    // "morvane-export: text" on its own line.
    static void say(QIODevice& err, const QString& text);
    // Whether err is a terminal, where a person watches a progress line.
    static bool onTerminal(QIODevice& err);
    // Said when an interruption leaves every file as it was.
    static QString interrupted();
};
