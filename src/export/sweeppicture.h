#pragma once

#include "export/sweeprunner.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

class QPainter;

// A sweep's figures against its parameter: one line per figure on common
// graduated axes, a risk's 95 % interval as a bar at each point, a gap
// where a figure is undefined or the point failed; for a grid of two
// parameters, a heat map of one figure with its colour scale. Under it a
// legend and a caption with the sweep and the fixed parameters.
class SweepPicture {
public:
    // The parameters that stay fixed, as typed, and what is swept.
    static QString caption(const ExportOptions& options, const std::vector<SweptInput>& swept);

    // columns: the figures to draw, by their index in results.figures.
    static QByteArray png(const std::vector<SweptInput>& swept, const SweepRunner::Results& results,
                          const QList<int>& columns, const QString& caption, int scale);
    static QByteArray svg(const std::vector<SweptInput>& swept, const SweepRunner::Results& results,
                          const QList<int>& columns, const QString& caption);

    // Logical pixels: the width, and the height above the legend.
    static constexpr int Width = 640, PlotHeight = 360;

private:
    static QSize size(const SweepRunner::Results& results, const QList<int>& columns,
                      const QString& caption, bool grid);
    static void paint(QPainter& p, const std::vector<SweptInput>& swept,
                      const SweepRunner::Results& results, const QList<int>& columns,
                      const QString& caption);
};
