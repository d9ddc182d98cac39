#include "export/labkey.h"

#include "plot/graphplotter.h"
#include "plot/phaseplotter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
QColor rgb(DrawSurface::Rgb c) {
    return QColor::fromRgb(QRgb(c));
}

// One entry of the key: how it is drawn, and what it is.
struct KeyEntry {
    enum Mark { Line, Dot, Square } mark;
    QPen pen;
    QString text;
};

std::vector<KeyEntry> keyEntries(const LabRun& run, const LabPicture::Style& s) {
    std::vector<KeyEntry> out;
    if (s.compare && !run.compared.empty()) {
        for (Integrator::Method m : Integrator::All)
            out.push_back(
                {KeyEntry::Line, QPen(LabPicture::methodColour(m), 2), LabPicture::methodName(m)});
        const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine};
        const char* const steps[] = {"шаг Δt", "шаг Δt/2", "шаг Δt/4"};
        for (int h = 0; h < 3; ++h)
            out.push_back(
                {KeyEntry::Line, QPen(s.foreground, 1.5, styles[h]), QString::fromUtf8(steps[h])});
    } else {
        out.push_back({KeyEntry::Line, QPen(rgb(GraphPlotter::XColour), 2),
                       QStringLiteral("расчёт: ") + LabPicture::methodName(run.params.method)});
        if (run.summary.disaster)
            out.push_back({KeyEntry::Line, QPen(rgb(GraphPlotter::YColour), 2.5),
                           QStringLiteral("катастрофа: деление на %1").arg(run.params.divisor)});
    }
    if (run.orbit.has()) {
        QColor faint = rgb(PhasePlotter::OrbitColour);
        faint.setAlpha(120);
        out.push_back({KeyEntry::Line, QPen(faint, 2), QStringLiteral("точная орбита V = V₀")});
    }
    if (run.summary.equilibrium.has()) {
        out.push_back({KeyEntry::Line, QPen(rgb(PhasePlotter::NullclineColour), 1, Qt::DashLine),
                       QStringLiteral("нуль-изоклины")});
        out.push_back({KeyEntry::Dot, QPen(s.foreground, 1), QStringLiteral("E — равновесие")});
    }
    out.push_back({KeyEntry::Square, QPen(s.foreground, 1), QStringLiteral("начало (x0; y0)")});
    return out;
}

// How much of what the plane shows lies under `box`: points of the paths
// and the orbit, sampled, and the marks, which count more.
int covered(const QRectF& box, const PhaseView& view, const LabRun& run,
            const LabPicture::Style& s) {
    int n = 0;
    const auto count = [&](const std::vector<double>& x, const std::vector<double>& y) {
        const std::size_t size = std::min(x.size(), y.size());
        const std::size_t stride = std::max<std::size_t>(1, size / 1500);
        for (std::size_t i = 0; i < size; i += stride)
            n += box.contains(view.at(x[i], y[i]));
    };
    if (s.compare)
        for (const LabRun::Path& path : run.compared)
            count(path.x, path.y);
    else
        count(run.x, run.y);
    if (run.orbit.has())
        count(run.orbit->x, run.orbit->y);
    if (run.summary.equilibrium.has())
        n += 500 * box.adjusted(-80, -20, 80, 20)
                       .contains(view.at(run.summary.equilibrium->x, run.summary.equilibrium->y));
    n += 500 * box.adjusted(-6, -6, 6, 6).contains(view.at(run.params.x0, run.params.y0));
    return n;
}

// The key in the corner of the plane that hides least of it, and none
// over the notes: a long note reaches the upper right corner too.
} // namespace

void LabKey::paint(QPainter& p, const PhaseView& view, const LabRun& run,
                   const LabPicture::Style& s, const QRectF& notes) {
    const std::vector<KeyEntry> entries = keyEntries(run, s);
    const QRectF plane = view.plane();
    const QFontMetricsF fm(s.font);
    const double row = fm.height() + 2;
    double width = 0;
    for (const KeyEntry& e : entries)
        width = std::max(width, fm.horizontalAdvance(e.text));
    const QSizeF size(width + 44, row * double(entries.size()) + 6);
    if (size.width() > plane.width() / 2 || size.height() > plane.height() * 0.6)
        return; // a plane too small to spare the room
    const double left = plane.left() + 6, right = plane.right() - 6 - size.width();
    const double top = plane.top() + 6, bottom = plane.bottom() - 6 - size.height();
    std::vector<QRectF> corners;
    for (const QRectF& corner :
         {QRectF(QPointF(right, top), size), QRectF(QPointF(right, bottom), size),
          QRectF(QPointF(left, bottom), size), QRectF(QPointF(left, top), size)})
        if (!corner.intersects(notes))
            corners.push_back(corner);
    if (corners.empty())
        return;
    QRectF box = corners.front();
    int least = covered(box, view, run, s);
    for (std::size_t i = 1; i < corners.size(); ++i)
        if (const int n = covered(corners[i], view, run, s); n < least) {
            least = n;
            box = corners[i];
        }
    QColor under = s.background;
    under.setAlpha(230);
    p.fillRect(box, under);
    p.setPen(QPen(s.foreground, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box);
    double y = box.top() + 3;
    for (const KeyEntry& e : entries) {
        const QPointF mid(box.left() + 17, y + row / 2);
        p.setPen(e.pen);
        switch (e.mark) {
        case KeyEntry::Line:
            p.drawLine(QPointF(box.left() + 4, mid.y()), QPointF(box.left() + 30, mid.y()));
            break;
        case KeyEntry::Dot:
            p.setBrush(s.foreground);
            p.drawEllipse(mid, 3.5, 3.5);
            p.setBrush(Qt::NoBrush);
            break;
        case KeyEntry::Square:
            p.setBrush(s.background);
            p.drawRect(QRectF(mid - QPointF(3.5, 3.5), QSizeF(7, 7)));
            p.setBrush(Qt::NoBrush);
            break;
        }
        p.setPen(s.foreground);
        p.drawText(QPointF(box.left() + 36, y + fm.ascent() + 1), e.text);
        y += row;
    }
}
