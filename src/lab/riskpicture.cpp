#include "lab/riskpicture.h"

#include "analysis/labrun.h"
#include "common/numbertext.h"
#include "ui/graphmenu.h"
#include "ui/notice.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

namespace {
// The lab's colours for x and y, told apart under the common colour blindnesses.
const QColor XColour(213, 94, 0), YColour(0, 114, 178), StrikeColour(230, 159, 0);

double finiteOr(double v, double fallback) {
    return std::isfinite(v) ? v : fallback;
}
} // namespace

RiskPicture::RiskPicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("RiskPicture"));
    setMinimumSize(360, 240);
    // So that the menu key reaches its menu.
    setFocusPolicy(Qt::StrongFocus);
}

void RiskPicture::show(const std::optional<Extinction::Result>& result, const Scenario& scenario) {
    m_result = result;
    m_x.clear();
    m_y.clear();
    m_strike.reset();
    if (result && !result->grid.empty()) {
        m_strike = result->disasterTime;
        const LabRun run = LabRun::of(scenario, false);
        // The windows' path at the grid's times, its step nearest each.
        for (const double t : result->grid) {
            const double at = scenario.dt > 0 ? std::round(t / scenario.dt) : 0;
            const std::size_t i = std::size_t(std::clamp<double>(at, 0, double(run.x.size()) - 1));
            if (i < run.x.size() && i < run.y.size()) {
                m_x.push_back(run.x[i]);
                m_y.push_back(run.y[i]);
            }
        }
    }
    update();
}

void RiskPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paint(p, rect());
}

void RiskPicture::paint(QPainter& p, const QRect& area) const {
    p.fillRect(area, palette().color(QPalette::Base));
    p.setPen(palette().color(QPalette::WindowText));
    if (!m_result || m_result->grid.size() < 2 || m_result->withDisaster.runs == 0) {
        p.drawText(area, Qt::AlignCenter, QStringLiteral("Нарисую, когда прогоны будут сосчитаны"));
        return;
    }
    const Extinction::Result& r = *m_result;
    const Extinction::Side& w = r.withDisaster;
    const QFontMetrics fm(p.font());
    const int left = area.left() + fm.horizontalAdvance(QStringLiteral("100 %")) + 8;
    const int right = area.right() - 8;
    const int gap = fm.height() + 6;
    const int top = area.top() + gap;
    const int split = area.top() + int(area.height() * 0.62);
    const QRect curves(QPoint(left, top), QPoint(right, split - gap));
    const QRect risk(QPoint(left, split + gap), QPoint(right, area.bottom() - gap));
    const double span = r.grid.back() > 0 ? r.grid.back() : 1.0;
    const auto px = [&](double t) { return curves.left() + curves.width() * t / span; };

    double most = 0;
    for (const auto* v : {&w.x.p90, &w.y.p90, &m_x, &m_y})
        for (const double d : *v)
            most = std::max(most, finiteOr(d, 0));
    most = most > 0 ? most * 1.05 : 1.0;
    const auto py = [&](double v) {
        return curves.bottom() - curves.height() * std::clamp(finiteOr(v, 0) / most, 0.0, 1.0);
    };
    const auto line = [&](const std::vector<double>& v) {
        QPainterPath path;
        for (std::size_t i = 0; i < v.size() && i < r.grid.size(); ++i)
            i == 0 ? path.moveTo(px(r.grid[i]), py(v[i])) : path.lineTo(px(r.grid[i]), py(v[i]));
        return path;
    };
    p.setRenderHint(QPainter::Antialiasing);
    p.drawRect(curves);
    p.drawRect(risk);
    for (const auto& [band, exact, colour] :
         {std::tuple{&w.x, &m_x, XColour}, std::tuple{&w.y, &m_y, YColour}}) {
        QPainterPath fill = line(band->p90);
        const QPainterPath low = line(band->p10).toReversed();
        fill.connectPath(low);
        fill.closeSubpath();
        QColor faint = colour;
        faint.setAlpha(60);
        p.fillPath(fill, faint);
        p.setPen(QPen(colour, 2));
        p.drawPath(line(band->p50));
        p.setPen(QPen(colour, 1, Qt::DashLine));
        p.drawPath(line(*exact));
    }
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QPoint(area.left() + 2, curves.top() + fm.ascent()),
               NumberText::fromDouble(most, 3));
    p.drawText(QPoint(area.left() + 2, curves.bottom()), QStringLiteral("0"));
    p.drawText(QPoint(left, area.top() + fm.ascent()),
               QStringLiteral("x (жертвы) и y (хищники): медиана и 10–90 %% прогонов; пунктир — "
                              "уравнения")
                   .replace(QStringLiteral("%%"), QStringLiteral("%")));
    // The risk by moment, 0 to 100 %, under the same times.
    const auto ry = [&](double f) {
        return risk.bottom() - risk.height() * std::clamp(f, 0.0, 1.0);
    };
    p.drawText(QPoint(left, split + fm.ascent()),
               QStringLiteral("Доля вымерших при катастрофе в момент t; пунктир — без катастрофы"));
    p.drawText(QPoint(area.left() + 2, risk.top() + fm.ascent()), QStringLiteral("100 %"));
    p.drawText(QPoint(area.left() + 2, risk.bottom()), QStringLiteral("0 %"));
    p.drawText(QPoint(left, area.bottom() - 2), QStringLiteral("0"));
    const QString end = QStringLiteral("t = ") + NumberText::fromDouble(span, 6);
    p.drawText(QPoint(right - fm.horizontalAdvance(end), area.bottom() - 2), end);
    if (r.withoutDisaster.either.has()) {
        p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DashLine));
        const double y = ry(r.withoutDisaster.either.fraction);
        p.drawLine(QPointF(risk.left(), y), QPointF(risk.right(), y));
    }
    QPainterPath moments;
    bool first = true;
    p.setPen(QPen(palette().color(QPalette::WindowText), 2));
    for (const Extinction::Moment& m : r.byMoment) {
        if (!m.either.has())
            continue;
        const QPointF at(px(m.t), ry(m.either.fraction));
        first ? moments.moveTo(at) : moments.lineTo(at);
        first = false;
        p.drawEllipse(at, 2.5, 2.5);
    }
    p.drawPath(moments);
    if (m_strike) {
        p.setPen(QPen(StrikeColour, 2));
        for (const QRect& box : {curves, risk})
            p.drawLine(QPointF(px(*m_strike), box.top()), QPointF(px(*m_strike), box.bottom()));
    }
}

QImage RiskPicture::image(qreal scale) const {
    QImage image(size() * scale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(scale);
    QPainter p(&image);
    paint(p, rect());
    return image;
}

QByteArray RiskPicture::png() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image(2.0).save(&buffer, "PNG");
    return bytes;
}

QByteArray RiskPicture::svg() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size());
    generator.setViewBox(rect());
    generator.setTitle(QStringLiteral("Morvane: риск вымирания"));
    QPainter p(&generator);
    paint(p, rect());
    p.end();
    return bytes;
}

QByteArray RiskPicture::csv(CsvWriter::Style style) const {
    QByteArray out = CsvWriter::start(style);
    if (!m_result)
        return out;
    const char sep = style == CsvWriter::DecimalComma ? ';' : ',';
    const Extinction::Result& r = *m_result;
    const Extinction::Side& w = r.withDisaster;
    out += QByteArray("t;x_p10;x_p50;x_p90;y_p10;y_p50;y_p90\n").replace(';', sep);
    for (std::size_t i = 0; i < r.grid.size(); ++i) {
        CsvWriter::appendNumber(out, r.grid[i], style, 12);
        for (const auto* v : {&w.x.p10, &w.x.p50, &w.x.p90, &w.y.p10, &w.y.p50, &w.y.p90}) {
            out += sep;
            if (i < v->size())
                CsvWriter::appendNumber(out, (*v)[i], style);
        }
        out += '\n';
    }
    out += QByteArray("\nstrike_t;either;low;high\n").replace(';', sep);
    for (const Extinction::Moment& m : r.byMoment) {
        CsvWriter::appendNumber(out, m.t, style, 12);
        for (const double d : {m.either.fraction, m.either.low, m.either.high}) {
            out += sep;
            if (m.either.has())
                CsvWriter::appendNumber(out, d, style);
        }
        out += '\n';
    }
    return out;
}

void RiskPicture::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("RiskMenuPopup"));
    const auto [save, copy, values] = GraphMenu::addSaveItems(&menu, m_result.has_value());
    QAction* chosen = GraphMenu::execMenu(&menu, event->globalPos());
    if (!chosen || !chosen->isEnabled())
        return;
    QString path;
    if (chosen == save)
        path = GraphMenu::savePictureOf(
            this, QStringLiteral("morvane-risk.png"), [this] { return png(); },
            [this] { return svg(); });
    else if (chosen == values)
        path = GraphMenu::saveValuesOf(this, QStringLiteral("morvane-risk.csv"),
                                       [this](CsvWriter::Style s) { return csv(s); });
    if (chosen == copy) {
        QApplication::clipboard()->setImage(image(2.0));
        emit done(Notice::copied());
    } else if (!path.isEmpty()) {
        emit done(Notice::saved(path));
    }
}
