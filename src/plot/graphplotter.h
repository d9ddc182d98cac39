#pragma once

#include "model/modelstate.h"
#include "plot/drawsurface.h"
#include "plot/graphgeometry.h"

// Maps the series onto the graph area in twips and graduates the axes.
// Every coordinate is computed in double, checked and narrowed to single.
class GraphPlotter {
public:
    static constexpr double OriginX = GraphGeometry::Graph.originX;
    static constexpr double OriginY = GraphGeometry::Graph.originY;
    static constexpr double Width = GraphGeometry::Graph.width;
    static constexpr double Height = GraphGeometry::Graph.height;
    static constexpr DrawSurface::Rgb XColour = 0x00C000;
    static constexpr DrawSurface::Rgb YColour = 0xFF8000;

    // Both curves, raising xMax and yMax on the way.
    static void drawCurves(ModelState& state, DrawSurface& surface);
    // End tick, time ticks and value ticks with their numbers.
    static void drawScale(ModelState& state, DrawSurface& surface);

    // The curves in pieces, for a caller that works between the steps.
    // beginCurves sets the vertical scale and returns the last step to draw.
    static int beginCurves(ModelState& state);
    static void raiseMaxima(ModelState& state, int i);
    static void drawStep(const ModelState& state, DrawSurface& surface, int i);

    // The disaster mark's redraw: the segments alone, then the time axis.
    static void redrawCurves(ModelState& state, DrawSurface& surface);
    static void drawTimeScale(ModelState& state, DrawSurface& surface);
    static void drawValueScale(ModelState& state, DrawSurface& surface);

    // Twips as the single-precision coordinate a drawing call takes.
    static float coord(double twips);
};
