#pragma once

// Where the graph lies on a main window's client area, in twips (15 to a
// logical pixel): the box around it, the corner where the axes meet and the
// band the curves are scaled into. The windows, the drawing and the saved
// pictures all place the graph from here.
namespace GraphGeometry {
inline constexpr int TwipsPerPixel = 15;

// The graph box (`Graph`).
inline constexpr int BoxLeft = 120;
inline constexpr int BoxTop = 960;
inline constexpr int BoxWidth = 8055;
inline constexpr int BoxHeight = 3735;

// The axes: time from (AxisLeft, AxisBottom) to (AxisRight, AxisBottom),
// values from (AxisLeft, AxisBottom) up to (AxisLeft, AxisTop).
inline constexpr int AxisLeft = 480;
inline constexpr int AxisBottom = 4320;
inline constexpr int AxisRight = 7920;
inline constexpr int AxisTop = 1200;

// A rectangle a plotter scales its values into: a value of 0 at the origin,
// the largest at `width` to the right or `height` above it.
struct PlotArea {
    double originX = AxisLeft;
    double originY = AxisBottom;
    double width = AxisRight - AxisLeft;
    double height = 2240;
};

// The time graph's area; the curves stay well below the value axis's top.
inline constexpr PlotArea Graph{};
} // namespace GraphGeometry
