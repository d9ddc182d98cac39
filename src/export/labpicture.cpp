#include "export/labpicture.h"

#include "export/labkey.h"

#include "analysis/invariant.h"
#include "common/numbertext.h"
#include "plot/graphplotter.h"
#include "plot/phaseplotter.h"

#include <QPainter>
#include <cmath>
#include <vector>

namespace {
QColor rgb(DrawSurface::Rgb c) {
    return QColor::fromRgb(QRgb(c));
}

// A label short enough to sit on the picture: four significant digits.
QString brief(double v) {
    return NumberText::fromDouble(QString::number(v, 'g', 4).toDouble() + 0.0);
}

// The points of a series as the screen shows them: a point that lands
// within half a pixel of the last one kept adds nothing to the line, and a
// long run has thousands of them. With a stride, every stride-th point and
// the last.
QPolygonF screenPath(const PhaseView& view, const double* x, const double* y, std::size_t from,
                     std::size_t to, std::size_t stride = 1) {
    QPolygonF line;
    line.reserve(qsizetype(std::min<std::size_t>(to - from, 4096)));
    QPointF kept(-1e9, -1e9);
    for (std::size_t i = from; i < to;) {
        const QPointF p = view.at(x[i], y[i]);
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            break;
        const bool last = i + 1 == to;
        if (last || std::abs(p.x() - kept.x()) + std::abs(p.y() - kept.y()) >= 0.5) {
            line << p;
            kept = p;
        }
        i = last || i + stride < to ? i + stride : to - 1;
    }
    return line;
}

void paintAxes(QPainter& p, const PhaseView& view, const LabPicture::Style& s, bool withNames) {
    const QRectF plane = view.plane();
    const QFontMetricsF fm(s.font);
    p.setPen(QPen(s.foreground, 0));
    const QPointF origin = view.at(std::max(view.xAxis().min, std::min(0.0, view.xAxis().max)),
                                   std::max(view.yAxis().min, std::min(0.0, view.yAxis().max)));
    p.drawLine(QPointF(plane.left(), origin.y()), QPointF(plane.right(), origin.y()));
    p.drawLine(QPointF(origin.x(), plane.top()), QPointF(origin.x(), plane.bottom()));
    const PhaseView::Axis& xa = view.xAxis();
    for (int i = 0; i <= xa.divisions(); ++i) {
        const double v = xa.min + i * xa.step;
        const double px = view.at(v, 0).x();
        p.drawLine(QPointF(px, plane.bottom()), QPointF(px, plane.bottom() + 4));
        const QString text = NumberText::fromDouble(v + 0.0);
        p.drawText(QPointF(px - fm.horizontalAdvance(text) / 2, plane.bottom() + 5 + fm.ascent()),
                   text);
    }
    const PhaseView::Axis& ya = view.yAxis();
    for (int i = 0; i <= ya.divisions(); ++i) {
        const double v = ya.min + i * ya.step;
        const double py = view.at(0, v).y();
        p.drawLine(QPointF(plane.left() - 4, py), QPointF(plane.left(), py));
        const QString text = NumberText::fromDouble(v + 0.0);
        p.drawText(QPointF(plane.left() - 6 - fm.horizontalAdvance(text), py + fm.ascent() / 2 - 1),
                   text);
    }
    p.drawRect(plane);
    if (withNames) {
        p.setPen(rgb(GraphPlotter::XColour).darker(130));
        p.drawText(QPointF(plane.right() - fm.horizontalAdvance(QStringLiteral("x")),
                           plane.bottom() + 6 + 2 * fm.height()),
                   QStringLiteral("x"));
        p.setPen(rgb(GraphPlotter::YColour));
        p.drawText(QPointF(plane.left() - 4 - fm.horizontalAdvance(QStringLiteral("y")),
                           plane.top() - fm.height() / 2 - 2),
                   QStringLiteral("y"));
    }
}

void paintArrow(QPainter& p, const QPointF& from, const QPointF& to) {
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    if (length < 3)
        return;
    const QPointF u = d / length;
    const QPointF n(-u.y(), u.x());
    const double head = std::min(4.0, length / 3);
    p.drawLine(to, to - u * head + n * head * 0.6);
    p.drawLine(to, to - u * head - n * head * 0.6);
}

// Lines of text in the plane's upper left corner, on the background;
// returns the room they take.
QRectF paintNotes(QPainter& p, const QRectF& plane, const QStringList& lines,
                  const LabPicture::Style& s) {
    const QFontMetricsF fm(s.font);
    double y = plane.top() + 4;
    QRectF taken;
    for (const QString& line : lines) {
        const QRectF box(plane.left() + 4, y,
                         std::min(fm.horizontalAdvance(line) + 6, plane.width() - 8),
                         fm.height() + 2);
        p.fillRect(box, s.background);
        p.setPen(s.foreground);
        p.drawText(box.adjusted(3, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, line);
        taken |= box;
        y += fm.height() + 3;
    }
    return taken;
}

} // namespace

QColor LabPicture::methodColour(Integrator::Method m) {
    switch (m) {
    // Three colours a reader with any of the common colour blindnesses still
    // tells apart, none near the exact orbit's blue: vermilion, reddish
    // purple and near-black (Okabe and Ito's palette).
    case Integrator::SemiImplicit:
        return QColor(0xCC, 0x79, 0xA7);
    case Integrator::RungeKutta4:
        return QColor(0x20, 0x20, 0x20);
    case Integrator::Euler:
        break;
    }
    return QColor(0xD5, 0x5E, 0x00);
}

QString LabPicture::methodName(Integrator::Method m) {
    switch (m) {
    case Integrator::SemiImplicit:
        return QStringLiteral("полунеявный Эйлер");
    case Integrator::RungeKutta4:
        return QStringLiteral("Рунге–Кутта 4");
    case Integrator::Euler:
        break;
    }
    return QStringLiteral("явный Эйлер");
}

PhaseView LabPicture::view(const LabRun& run, const QRectF& area, const Style& style) {
    const QRectF plane = area.adjusted(MarginLeft, MarginTop, -MarginRight, -MarginBottom);
    // From the extremes each path kept when it was made: a paint goes
    // through no path to find them. The run decides the scale: a short one
    // fills the plane instead of shrinking to a dot inside its orbit, which
    // (like the equilibrium) is drawn as far as the plane reaches.
    LabRun::Extent e;
    e.add(run.params.x0, run.params.y0);
    e.add(run.extent);
    if (run.summary.disaster)
        e.add(run.summary.disaster->xBefore, run.summary.disaster->yBefore);
    if (style.compare)
        for (const LabRun::Extent& path : run.comparedExtents)
            e.add(path);
    return PhaseView(PhaseView::axis(e.x.min, e.x.max), PhaseView::axis(e.y.min, e.y.max), plane);
}

void LabPicture::paintPlane(QPainter& p, const QRectF& area, const LabRun& run, const Style& s,
                            const PhaseView* fixed) {
    p.save();
    p.setFont(s.font);
    p.fillRect(area, s.background);
    if (!run.problem.isEmpty()) {
        p.setPen(s.foreground);
        p.drawText(area.adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextWordWrap,
                   run.problem);
        p.restore();
        return;
    }
    const PhaseView view = fixed ? *fixed : LabPicture::view(run, area, s);
    const QRectF plane = view.plane();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setClipRect(plane.adjusted(-1, -1, 1, 1));
    const Trajectory::Rates rates = run.params.rates();
    QStringList notes;

    PhaseView::Field field;
    if (s.field) {
        field = view.field(rates, FieldColumns, FieldRows);
        p.setPen(QPen(QColor(0xB8, 0xB8, 0xB8), 1));
        for (const PhaseView::Arrow& a : field.arrows)
            paintArrow(p, a.from, a.to);
    }

    const auto& e = run.summary.equilibrium;
    if (e.has()) {
        p.setPen(QPen(rgb(PhasePlotter::NullclineColour), 1, Qt::DashLine));
        const QPointF at = view.at(e->x, e->y);
        p.drawLine(QPointF(at.x(), plane.top()), QPointF(at.x(), plane.bottom()));
        p.drawLine(QPointF(plane.left(), at.y()), QPointF(plane.right(), at.y()));
    } else {
        notes << e.reason;
    }
    if (run.orbit.has()) {
        QColor faint = rgb(PhasePlotter::OrbitColour);
        faint.setAlpha(120);
        p.setPen(QPen(faint, 1.5));
        const auto& c = *run.orbit;
        p.drawPolyline(screenPath(view, c.x.data(), c.y.data(), 0, c.x.size()));
    } else if (run.orbit.reason != e.reason) {
        notes << run.orbit.reason;
    }

    if (s.compare && !run.compared.empty()) {
        const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine};
        for (const LabRun::Path& path : run.compared) {
            p.setPen(QPen(methodColour(path.method), 1, styles[path.halving]));
            // Kept as drawn: some LabRun::DrawnPoints points of each.
            p.drawPolyline(screenPath(view, path.x.data(), path.y.data(), 0, path.x.size()));
        }
    } else {
        const std::size_t n = run.x.size();
        const int k = run.strike;
        // Thin pens: a width above one pixel strokes a long path as an
        // outline, some thirty times slower.
        p.setPen(QPen(rgb(GraphPlotter::XColour), 1));
        if (k >= 1 && run.summary.disaster) {
            const auto& d = *run.summary.disaster;
            QPolygonF before = screenPath(view, run.x.data(), run.y.data(), 0, std::size_t(k));
            before << view.at(d.xBefore, d.yBefore);
            p.drawPolyline(before);
            p.drawPolyline(screenPath(view, run.x.data(), run.y.data(), std::size_t(k), n));
            // The division itself: straight toward the origin.
            p.setPen(QPen(rgb(GraphPlotter::YColour), 2.5));
            p.drawLine(view.at(d.xBefore, d.yBefore), view.at(d.xAfter, d.yAfter));
        } else {
            p.drawPolyline(screenPath(view, run.x.data(), run.y.data(), 0, n));
        }
    }

    // The start, then the equilibrium with its coordinates.
    p.setPen(QPen(s.foreground, 1));
    p.setBrush(s.background);
    p.drawRect(QRectF(view.at(run.params.x0, run.params.y0) - QPointF(3.5, 3.5), QSizeF(7, 7)));
    if (e.has()) {
        const QPointF at = view.at(e->x, e->y);
        p.setBrush(s.foreground);
        p.drawEllipse(at, 3.5, 3.5);
        const QString label = QStringLiteral("E (%1; %2)").arg(brief(e->x), brief(e->y));
        const QFontMetricsF fm(s.font);
        QPointF where = at + QPointF(6, -6);
        if (where.x() + fm.horizontalAdvance(label) > plane.right())
            where.setX(at.x() - 6 - fm.horizontalAdvance(label));
        const QRectF box(where - QPointF(1, fm.ascent()),
                         QSizeF(fm.horizontalAdvance(label) + 2, fm.height()));
        QColor under = s.background;
        under.setAlpha(200);
        p.fillRect(box, under);
        p.drawText(where, label);
    }
    p.setBrush(Qt::NoBrush);
    if (s.field && field.fastest > 0)
        notes << QStringLiteral("Стрелки: самая длинная — скорость %1").arg(brief(field.fastest));
    if (!run.stopped.isEmpty())
        notes << run.stopped;
    LabKey::paint(p, view, run, s, paintNotes(p, plane, notes, s));
    p.setClipping(false);
    p.setRenderHint(QPainter::Antialiasing, false);
    paintAxes(p, view, s, true);
    p.restore();
}

void LabPicture::paintStrip(QPainter& p, const QRectF& area, const LabRun& run, const Style& s) {
    p.save();
    p.setFont(s.font);
    p.fillRect(area, s.background);
    const QFontMetricsF fm(s.font);
    const QRectF band = area.adjusted(MarginLeft, fm.height() + 6, -MarginRight, -fm.height() - 4);
    p.setPen(s.foreground);
    p.drawText(QPointF(band.left(), area.top() + 2 + fm.ascent()),
               QStringLiteral("ΔV при катастрофе на шаге n (делитель %1); выше нуля V растёт")
                   .arg(run.params.divisor));
    if (run.jumps.size() < 2 || !(band.width() > 0) || !(band.height() > 0)) {
        p.restore();
        return;
    }
    double low = 0, high = 0;
    // The scale holds every value the line below draws.
    for (std::size_t n = 0; n < run.jumps.size(); ++n) {
        if (const double v = run.jumps[n]; std::abs(v) <= PhaseView::Largest) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    if (high - low == 0)
        high = low + 1;
    const double lastT = double(run.jumps.size() - 1) * run.params.dt;
    auto at = [&](double n, double v) {
        return QPointF(band.left() + n / double(run.jumps.size() - 1) * band.width(),
                       band.bottom() - (v - low) / (high - low) * band.height());
    };
    p.setPen(QPen(s.foreground, 0));
    p.drawRect(band);
    p.setPen(QPen(rgb(PhasePlotter::NullclineColour), 1, Qt::DashLine));
    p.drawLine(at(0, 0), at(double(run.jumps.size() - 1), 0));
    p.setPen(s.foreground);
    for (const double v : {high, 0.0, low}) {
        if (v != 0 && std::abs(at(0, v).y() - at(0, 0).y()) < fm.height())
            continue; // would print over the zero
        const QString text = brief(v);
        const QPointF q = at(0, v);
        p.drawText(
            QPointF(band.left() - 6 - fm.horizontalAdvance(text), q.y() + fm.ascent() / 2 - 1),
            text);
    }
    const QString end = QStringLiteral("t = %1").arg(NumberText::fromDouble(lastT));
    p.drawText(QPointF(band.right() - fm.horizontalAdvance(end), band.bottom() + 2 + fm.ascent()),
               end);
    p.drawText(QPointF(band.left(), band.bottom() + 2 + fm.ascent()), QStringLiteral("t = 0"));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setClipRect(band.adjusted(-1, -1, 1, 1));
    QPolygonF line;
    QPointF kept(-1e9, -1e9);
    for (std::size_t n = 0; n < run.jumps.size(); ++n) {
        if (!(std::abs(run.jumps[n]) <= PhaseView::Largest))
            continue;
        const QPointF q = at(double(n), run.jumps[n]);
        if (std::abs(q.x() - kept.x()) < 0.5 && n + 1 != run.jumps.size())
            continue;
        line << q;
        kept = q;
    }
    p.setPen(QPen(rgb(PhasePlotter::OrbitColour), 1));
    p.drawPolyline(line);
    if (run.strike >= 1 && std::size_t(run.strike) < run.jumps.size()) {
        const double jump = run.jumps[std::size_t(run.strike)];
        const QPointF q = at(run.strike, std::abs(jump) <= PhaseView::Largest ? jump : 0.0);
        p.setPen(QPen(rgb(GraphPlotter::YColour), 2));
        p.drawLine(QPointF(q.x(), band.top()), QPointF(q.x(), band.bottom()));
        p.setBrush(rgb(GraphPlotter::YColour));
        if (std::abs(jump) <= PhaseView::Largest)
            p.drawEllipse(q, 3.5, 3.5);
    }
    p.restore();
}
