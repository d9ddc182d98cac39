#pragma once

#include "analysis/labrun.h"
#include "plot/phaseview.h"

#include <QColor>
#include <QFont>
#include <QRectF>

class QPainter;

// The lab's picture, painted with a QPainter onto the window, an image or
// an SVG alike: the phase plane with its axes, direction field, nullclines,
// exact orbit, equilibrium and path (or the three methods at three steps),
// and the strip of ΔV for a disaster at every step, with a key to what the
// plane draws in its emptiest corner. Where a figure does not exist, its
// reason is written in its place.
class LabPicture {
public:
    struct Style {
        bool field = true;
        bool compare = false;
        QColor background = Qt::white;
        QColor foreground = Qt::black;
        QFont font;
    };

    // Room around the plane for the graduation, logical pixels.
    static constexpr double MarginLeft = 58, MarginRight = 18, MarginTop = 22, MarginBottom = 34;
    static constexpr int FieldColumns = 20, FieldRows = 14;

    // The plane's scales in `area`; what a press on it is read with.
    static PhaseView view(const LabRun& run, const QRectF& area, const Style& style);
    // `fixed`: these scales instead of the run's own (a drag in progress).
    static void paintPlane(QPainter& p, const QRectF& area, const LabRun& run, const Style& style,
                           const PhaseView* fixed = nullptr);
    static void paintStrip(QPainter& p, const QRectF& area, const LabRun& run, const Style& style);

    // The strip's height under the plane, in the window and the pictures.
    static constexpr int StripHeight = 110;

    // Colours of the three methods when steps are compared.
    static QColor methodColour(Integrator::Method method);
    static QString methodName(Integrator::Method method);
};
