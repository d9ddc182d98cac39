#pragma once

#include "model/inputreader.h"

#include <QString>
#include <QStringList>
#include <optional>

class QIODevice;

// morvane-export: the light window's run without a window. It reads the
// eight input texts as the input row does, runs the calculation and, for
// the pictures, the drawing, then writes the CSV and the pictures. Every
// output is made in memory first; the files are written only when all of
// them are ready, so a failure creates or replaces none.
class ExportCommand {
public:
    enum Status { Success = 0, BadInput = 2, RunFault = 3 };

    // args without the program's name. Files named "-" go to out; messages
    // to err, in Russian.
    static int run(const QStringList& args, QIODevice& out, QIODevice& err);

    static QString usage();

private:
    struct Options {
        InputTexts texts;
        std::optional<QString> disaster;
        QString divisor = QStringLiteral("2");
        QString scale = QStringLiteral("1");
        bool decimalComma = false;
        bool help = false;
        bool version = false;
        // Output option name (without "--") and file, in the order given.
        QList<std::pair<QString, QString>> outputs;
    };

    // An error message, or nothing when the arguments are well formed.
    static std::optional<QString> parse(const QStringList& args, Options& options);
    static std::optional<QString> checkOutputs(const Options& options);
};
