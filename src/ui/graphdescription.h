#pragma once

// The graph in words, for a screen reader: what a sighted user reads off the
// curves of the last run.

#include <QString>

struct ModelState;

class GraphDescription {
public:
    // The run that has just drawn the graph: its time span, where each
    // population is largest and smallest, and the disaster if it struck.
    static QString text(const ModelState& state);
    static QString noGraph();
};
