#pragma once

class ExportOptions;
class QIODevice;

// morvane-export with --sweep: one run per point of the sweep, on every
// core, then the table and the pictures, written only when all of them are
// ready. A point that fails keeps its row with the reason; refused options
// (the sweep's own, a fixed text, a figure to plot) end it before anything
// runs. Ctrl+C stops the points and writes nothing.
class SweepCommand {
public:
    // The options parsed and checked, the scenario taken; an
    // ExportCommand::Status.
    static int run(const ExportOptions& options, QIODevice& out, QIODevice& err);
};
