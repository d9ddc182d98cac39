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
    enum Status { Success = 0, BadInput = 2, RunFault = 3 };

    // args without the program's name. Files named "-" go to out; messages
    // to err, in Russian.
    static int run(const QStringList& args, QIODevice& out, QIODevice& err);

    static QString usage();
};
