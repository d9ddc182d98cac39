#include "export/sweeppicture.h"

#include "common/runerror.h"
#include "export/graphpicture.h"
#include "export/labpicture.h"
#include "export/sweepaxes.h"
#include "export/sweepheatmap.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {
// Told apart under the common colour blindnesses (Okabe and Ito).
const QRgb Colours[] = {0x0072B2, 0xD55E00, 0x009E73, 0xCC79A7, 0xE69F00, 0x56B4E9, 0x000000};
constexpr double Left = 72, Right = 20, Top = 14, Bottom = 46;
constexpr double Margin = 6, MarkWidth = 22, Gap = 5;
using Scale = SweepAxes::Scale;
using Axis = SweepAxes::Axis;

QString typed(const QString& text) {
    return QString(text).trimmed().replace(QLatin1Char('.'), QLatin1Char(','));
}

bool isShare(const QString& figure) {
    return figure.endsWith(QLatin1String(".fraction"));
}

struct Entry {
    QColor colour;
    QString text;
    bool box = false;
};

QList<Entry> legendOf(const SweepRunner::Results& r, const QList<int>& columns, bool grid) {
    QList<Entry> entries;
    if (grid)
        return {{SweepHeatMap::colour(0.5), QStringLiteral("цвет: ") + r.figures[columns.value(0)],
                 true},
                {SweepHeatMap::Missing, QStringLiteral("нет значения"), true}};
    for (int i = 0; i < columns.size(); ++i) {
        const QString& name = r.figures[columns[i]];
        bool any = false;
        for (long long p = 0; p < r.points && !any; ++p)
            any = r.has(p, columns[i]);
        entries << Entry{QColor(Colours[i % 7]),
                         name + (!any ? QStringLiteral(" (нет ни в одной точке)")
                                 : isShare(name) ? QStringLiteral(" и его 95 % интервал")
                                                 : QString())};
    }
    return entries;
}

// Where the legend's entries and the caption's lines go under the plot.
struct Layout {
    QList<QPointF> marks;
    QStringList lines;
    double captionTop = 0, height = 0;
};

Layout layoutOf(const QList<Entry>& entries, const QString& caption) {
    const QFontMetricsF fm(GraphPicture::windowFont());
    const double row = std::ceil(fm.height()) + 4;
    Layout k;
    double x = Margin, y = SweepPicture::PlotHeight;
    for (const Entry& e : entries) {
        const double wide = MarkWidth + Gap + fm.horizontalAdvance(e.text);
        if (x > Margin && x + wide > SweepPicture::Width - Margin) {
            x = Margin;
            y += row;
        }
        k.marks << QPointF(x, y + row / 2);
        x += wide + 3 * Gap;
    }
    k.captionTop = y + row + 2;
    // Broken only between items, so that a number is never split.
    QString line;
    const QStringList items = caption.split(QStringLiteral("; "));
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString item = items[i] + (i + 1 < items.size() ? QStringLiteral(";") : QString());
        const QString longer = line.isEmpty() ? item : line + QLatin1Char(' ') + item;
        if (!line.isEmpty() && fm.horizontalAdvance(longer) > SweepPicture::Width - 2 * Margin) {
            k.lines << line;
            line = item;
        } else {
            line = longer;
        }
    }
    k.lines << line;
    k.height =
        std::ceil(k.captionTop + double(k.lines.size()) * (std::ceil(fm.height()) + 1) + Margin);
    return k;
}

void paintLines(QPainter& p, const QRectF& plot, const SweptInput& s, const SweepRunner::Results& r,
                const QList<int>& columns) {
    double low = INFINITY, high = -INFINITY;
    for (const int c : columns)
        for (long long i = 0; i < r.points; ++i)
            for (int k = 0; k < (isShare(r.figures[c]) ? 3 : 1); ++k)
                if (r.has(i, c + k)) {
                    low = std::min(low, r.at(i, c + k));
                    high = std::max(high, r.at(i, c + k));
                }
    if (low > high)
        low = 0, high = 1;
    const Scale x{Axis::of(std::min(s.from, s.to), std::max(s.from, s.to), false), plot.left(),
                  plot.right()};
    const Scale y{Axis::of(low, high, true), plot.bottom(), plot.top()};
    SweepAxes::paint(p, plot, x, y, SweepAxes::shown(s.name), true);
    p.save();
    p.setClipRect(plot.adjusted(-4, -4, 4, 4));
    p.setRenderHint(QPainter::Antialiasing);
    for (int n = 0; n < columns.size(); ++n) {
        const int c = columns[n];
        const QColor colour(Colours[n % 7]);
        QPainterPath path;
        bool open = false;
        for (long long i = 0; i < r.points; ++i) {
            if (!r.has(i, c)) {
                open = false;
                continue;
            }
            const QPointF at(x.at(s.value(i)), y.at(r.at(i, c)));
            open ? path.lineTo(at) : path.moveTo(at);
            open = true;
        }
        p.setPen(QPen(colour, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        if (r.points > 200 && !isShare(r.figures[c]))
            continue;
        p.setPen(QPen(colour, 1));
        p.setBrush(colour);
        for (long long i = 0; i < r.points; ++i) {
            if (!r.has(i, c))
                continue;
            const double at = x.at(s.value(i));
            if (isShare(r.figures[c]) && r.has(i, c + 1) && r.has(i, c + 2)) {
                const double lo = y.at(r.at(i, c + 1)), hi = y.at(r.at(i, c + 2));
                p.drawLine(QPointF(at, lo), QPointF(at, hi));
                p.drawLine(QPointF(at - 3, lo), QPointF(at + 3, lo));
                p.drawLine(QPointF(at - 3, hi), QPointF(at + 3, hi));
            }
            p.drawEllipse(QPointF(at, y.at(r.at(i, c))), 2.5, 2.5);
        }
    }
    p.restore();
}

} // namespace

QString SweepPicture::caption(const ExportOptions& o, const std::vector<SweptInput>& swept) {
    QStringList items;
    QStringList names;
    for (const SweptInput& s : swept) {
        names << s.name;
        items << QStringLiteral("%1 от %2 до %3, точек: %4")
                     .arg(SweepAxes::shown(s.name), typed(s.text(0)), typed(s.text(s.count - 1)))
                     .arg(s.count);
    }
    const std::pair<const char*, const QString*> inputs[] = {
        {"k1", &o.texts.k1}, {"k2", &o.texts.k2}, {"a1", &o.texts.a1}, {"a2", &o.texts.a2},
        {"dt", &o.texts.dt}, {"t", &o.texts.t},   {"x0", &o.texts.x0}, {"y0", &o.texts.y0}};
    for (const auto& [name, text] : inputs)
        if (!names.contains(QLatin1String(name)))
            items << QStringLiteral("%1 = %2").arg(SweepAxes::shown(QLatin1String(name)),
                                                   typed(*text));
    if (const auto method = Integrator::fromName(o.method))
        items << LabPicture::methodName(*method);
    const bool when = names.contains(QStringLiteral("disaster")),
               divisor = names.contains(QStringLiteral("divisor"));
    if (!o.marked() && !when)
        items << QStringLiteral("без катастрофы");
    else
        items << QStringLiteral("катастрофа%1%2")
                     .arg(when ? QString() : QStringLiteral(" при t = ") + typed(o.disasterTime),
                          divisor ? QString() : QStringLiteral(", делитель ") + o.divisor);
    return items.join(QStringLiteral("; "));
}

QSize SweepPicture::size(const SweepRunner::Results& results, const QList<int>& columns,
                         const QString& caption, bool grid) {
    return QSize(Width, int(layoutOf(legendOf(results, columns, grid), caption).height));
}

void SweepPicture::paint(QPainter& p, const std::vector<SweptInput>& swept,
                         const SweepRunner::Results& r, const QList<int>& columns,
                         const QString& caption) {
    const bool grid = swept.size() == 2;
    const QList<Entry> entries = legendOf(r, columns, grid);
    const Layout k = layoutOf(entries, caption);
    p.fillRect(QRectF(0, 0, Width, k.height), Qt::white);
    p.setFont(GraphPicture::windowFont());
    const QRectF plot(Left, Top, Width - Left - (grid ? SweepHeatMap::ScaleRoom : Right),
                      PlotHeight - Top - Bottom);
    if (grid)
        SweepHeatMap::paint(p, plot, swept, r, columns.value(0));
    else
        paintLines(p, plot, swept[0], r, columns);
    const QFontMetricsF fm(p.font());
    for (int i = 0; i < entries.size(); ++i) {
        const QPointF at = k.marks[i];
        if (entries[i].box) {
            p.fillRect(QRectF(at + QPointF(4, -5), QSizeF(14, 10)), entries[i].colour);
        } else {
            p.setPen(QPen(entries[i].colour, 2));
            p.drawLine(at, at + QPointF(MarkWidth, 0));
        }
        p.setPen(Qt::black);
        p.drawText(at + QPointF(MarkWidth + Gap, fm.ascent() / 2 - 1), entries[i].text);
    }
    for (int i = 0; i < k.lines.size(); ++i)
        p.drawText(QPointF(Margin, k.captionTop + fm.ascent() + i * (std::ceil(fm.height()) + 1)),
                   k.lines[i]);
}

QByteArray SweepPicture::png(const std::vector<SweptInput>& swept, const SweepRunner::Results& r,
                             const QList<int>& columns, const QString& caption, int scale) {
    const QSize whole = size(r, columns, caption, swept.size() == 2);
    QImage image(whole * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    {
        QPainter p(&image);
        paint(p, swept, r, columns, caption);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "PNG");
    // Only memory can run out here; a picture cut short must not be saved.
    if (!writer.write(image))
        throw RunError(RunError::OutOfMemory, QStringLiteral("PNG: ") + writer.errorString());
    return bytes;
}

QByteArray SweepPicture::svg(const std::vector<SweptInput>& swept, const SweepRunner::Results& r,
                             const QList<int>& columns, const QString& caption) {
    return GraphPicture::svgOf(size(r, columns, caption, swept.size() == 2),
                               QStringLiteral("Morvane"),
                               [&](QPainter& p) { paint(p, swept, r, columns, caption); });
}
