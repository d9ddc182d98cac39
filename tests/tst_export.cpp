// morvane-export: its table against the formula, its pictures, its exit
// statuses and messages, and that a failure leaves every file as it was.

#include "casetable.h"
#include "export/exportcommand.h"
#include "export/graphpicture.h"
#include "export/labfiles.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <array>

namespace {
const char* const Texts = "0,3 0,2 0,05 0,02 0,05 2,5 1,5 40";

struct Result {
    int status;
    QByteArray out;
    QString err;
};
Result exportWith(const QStringList& args) {
    QByteArray out, err;
    QBuffer o(&out), e(&err);
    o.open(QIODevice::WriteOnly);
    e.open(QIODevice::WriteOnly);
    const int status = ExportCommand::run(args, o, e);
    return {status, out, QString::fromUtf8(err)};
}
QStringList argsOf(const TypedRun& run) {
    static const char* names[] = {"k1", "k2", "a1", "a2", "dt", "x0", "y0", "t"};
    QStringList args;
    for (int i = 0; i < 8; ++i)
        args << QStringLiteral("--%1=%2").arg(names[i], run.texts[i]);
    return args;
}
QStringList split(const char* args) {
    return QString::fromUtf8(args).split(u' ', Qt::SkipEmptyParts);
}

using Colour = bool (*)(QRgb);
const Colour green = [](QRgb c) { return c == qRgb(0, 192, 0); };
const Colour orange = [](QRgb c) { return c == qRgb(255, 128, 0); };
const Colour dark = [](QRgb c) { return qGray(c) < 60; };
// The hues blended with the background, as an antialiasing renderer leaves them.
const Colour greenish = [](QRgb c) {
    return qGreen(c) > qRed(c) + 40 && qGreen(c) > qBlue(c) + 40;
};
const Colour orangeish = [](QRgb c) {
    return qRed(c) > qGreen(c) + 40 && qGreen(c) > qBlue(c) + 40;
};
// Whether a pixel of the colour lies within one pixel of p.
bool near(const QImage& img, QPointF p, Colour colour) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint q(int(std::floor(p.x())) + dx, int(std::floor(p.y())) + dy);
            if (img.rect().contains(q) && colour(img.pixel(q)))
                return true;
        }
    return false;
}
int count(const QImage& img, Colour colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += colour(img.pixel(x, y));
    return n;
}
QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
// A valid SVG of 537 x 249 pixels that, rendered, shows both colours.
bool showsBoth(const QByteArray& svg, Colour first, Colour second) {
    QSvgRenderer renderer(svg);
    QImage drawn(537, 249, QImage::Format_ARGB32);
    drawn.fill(Qt::white);
    QPainter p(&drawn);
    renderer.render(&p);
    return renderer.isValid() && renderer.defaultSize() == QSize(537, 249) &&
           count(drawn, first) > 200 && count(drawn, second) > 0;
}

// An SVG picture's segments and rectangles by colour and its texts, in
// window pixels.
struct SvgItems {
    QMap<QString, QList<QLineF>> lines;
    QMap<QString, QList<QRectF>> rects;
    QList<std::pair<QPointF, QString>> texts;
    QStringList fonts;
};
SvgItems svgItems(const QByteArray& svg) {
    static const QRegularExpression item(
        R"re(stroke="([^"]+)"|points="([-\d.]+),([-\d.]+) ([-\d.]+),([-\d.]+) "|<text [^>]* x="([-\d.]+)")re"
        R"re( y="([-\d.]+)" font-family="([^"]+)" font-size="([\d.]+)"[^>]*>([^<]*)</text>)re"
        R"re(|<rect (?:vector-effect="[a-z-]+" )?x="([-\d.]+)" y="([-\d.]+)" width="([\d.]+)" height="([\d.]+)")re");
    SvgItems items;
    QString colour;
    for (const QRegularExpressionMatch& m : item.globalMatch(QString::fromUtf8(svg))) {
        const auto n = [&m](int i) { return m.captured(i).toDouble(); };
        if (m.hasCaptured(1))
            colour = m.captured(1);
        else if (m.hasCaptured(2))
            items.lines[colour] << QLineF(n(2), n(3), n(4), n(5));
        else if (m.hasCaptured(11))
            items.rects[colour] << QRectF(n(11), n(12), n(13), n(14));
        else {
            items.texts << std::pair{QPointF(n(6), n(7)), m.captured(10).trimmed()};
            items.fonts << m.captured(8) + ' ' + m.captured(9);
        }
    }
    return items;
}
bool same(const QLineF& a, const QLineF& b) {
    return std::max({std::fabs(a.x1() - b.x1()), std::fabs(a.y1() - b.y1()),
                     std::fabs(a.x2() - b.x2()), std::fabs(a.y2() - b.y2())}) < 0.002;
}
// A number on a scale: rounded to the decimals given, ties to even, with a
// decimal comma.
QString scaleNumber(double v, int decimals) {
    const double unit = std::pow(10.0, decimals);
    return QString::number(std::nearbyint(v * unit) / unit).replace(u'.', u',');
}

// Texts, the disaster's model time, divisor, the step that time strikes and
// the decimal comma.
const std::tuple<const char*, const char*, const char*, int, int, bool> CsvRows[] = {
    {"no disaster", Texts, "", 2, -1, false},
    {"no disaster, Excel", Texts, "", 2, -1, true},
    {"at 12.5, 1/3", Texts, "12,5", 3, 250, false},
    {"at 12.5, 1/3, Excel", Texts, "12.5", 3, 250, true},
    {"points, exponent, 1/1000", "1.5E-1 0,45 0,012 0,0075 0,1 7 4 60", "33", 1000, 330, true},
    {"at the last step, 1/8", "1.5E-1 0,45 0,012 0,0075 0,1 7 4 60", "60", 8, 600, false},
    {"2.5 steps strike step 2", "0,7 0,4 0,3 0,2 1 1,25 0,75 10", "2,5", 5, 2, false},
    {"3.5 steps strike step 4", "0,7 0,4 0,3 0,2 1 1,25 0,75 10", "3,5", 6, 4, true},
    {"0.4 steps strike none", "0,7 0,4 0,3 0,2 1 1,25 0,75 10", "0,4", 7, -1, false},
    {"beyond the end strikes none", "0,7 0,4 0,3 0,2 1 1,25 0,75 10", "10,6", 7, -1, false},
    {"t = 0: one row, no scale", "0,3 0,2 0,05 0,02 0,05 2,5 1,5 0", "", 2, -1, false},
};

// Extra arguments (each run also names an existing CSV file and a new PNG),
// the status and a piece of the message.
const std::tuple<const char*, const char*, int, const char*> FailureRows[] = {
    {"k1 letters", "--k1=abc", 2, "--k1=abc: это не число. Смотри, что пишешь!!"},
    {"k2 beyond a double", "--k2=1E+400", 2, "--k2=1E+400: число вне допустимого диапазона"},
    {"a2 empty", "--a2=", 2, "--a2=:"},
    {"t out of range", "--t=40000", 2, "--t=40000: нужно целое число от -32768 до 32767"},
    {"dt zero", "--dt=0", 2, "--t=50 --dt=0: шаг dt равен нулю"},
    {"negative span", "--t=-50", 2, "--t=-50 --dt=0,1: число шагов t / dt отрицательно"},
    {"x0 word", "--x0=ten", 2, "--x0=ten: это не число"},
    {"y0 beyond a double", "--y0=-1e999", 2, "--y0=-1e999: число вне допустимого диапазона"},
    {"too many steps", "--dt=1E-300", 2, "--t=50 --dt=1E-300: число шагов t / dt слишком велико"},
    {"unknown option", "--colour=red", 2, "--colour=red"},
    {"no value", "--k2", 2, "--k2"},
    {"twice", "--k2=1 --k2=2", 2, "--k2"},
    {"stray word", "graph.png", 2, "graph.png"},
    {"divisor 9", "--divisor=9", 2, "--divisor=9: делитель должен быть от 2 до 8 или 1000"},
    {"scale 5", "--scale=5", 2, "--scale=5: масштаб должен быть от 1 до 4"},
    {"disaster text", "--disaster=soon", 2, "--disaster=soon: это не число"},
    {"diverging", "--k1=1E+200", 3, "Ошибка выполнения '6': Переполнение"},
    {"t = 0 with a picture", "--t=0", 3, "Ошибка выполнения '11': Деление на ноль"},
    {"all zero with a picture", "--x0=0 --y0=0", 3, "Ошибка выполнения '11'"},
    {"40000 steps", "--t=4000", 3, "Ошибка выполнения '6'"},
    {"picture cannot be written", "--svg=/nonexistent/dir/g.svg", 3, "/nonexistent/dir/g.svg"},
};

// Arguments, given in an empty folder: the status, a piece of the message
// (none: nothing said), the start of standard output and the files the
// folder holds afterwards, each the kind its name says.
const std::tuple<const char*, const char*, int, const char*, const char*, const char*>
    ContractRows[] = {
        {"help", "--help", 0, "", "Использование: morvane-export [--dt=ТЕКСТ]", ""},
        {"version", "--version", 0, "", "morvane-export " MORVANE_VERSION "\n", ""},
        {"help among outputs", "--csv=v.csv --help", 0, "", "Использование", ""},
        {"help given a value", "--help=yes", 2, "параметр --help пишется без значения", "", ""},
        {"flag given a value", "--csv=v.csv --decimal-comma=1", 2,
         "--decimal-comma пишется без значения", "", ""},
        {"empty file name", "--csv=v.csv --png=", 2, ": --png=: не указан файл", "", ""},
        {"standard output twice", "--csv=- --svg=-", 2, "только один результат", "", ""},
        {"same file twice", "--csv=g.svg --svg=g.svg", 2, "«g.svg» задан для двух", "", ""},
        {"no output", "--t=5", 2, "нечего сохранять", "", ""},
        {"no argument", "", 2, "нечего сохранять", "", ""},
        {"unknown method later", "--csv=v.csv --t=5 --method=heun", 2,
         "--method=heun: метод должен быть euler, semi-implicit или rk4", "", ""},
        {"output without value", "--png", 2, "параметру --png нужно значение", "", ""},
        {"a lone dash", "--csv=v.csv -", 2, "лишний аргумент «-»", "", ""},
        {"a lone double dash", "-- --csv=v.csv", 2, "лишний аргумент «--»", "", ""},
        {"every output", "--csv=v.csv --png=g.png --svg=g.svg --phase-png=p.png --phase-svg=p.svg",
         0, "", "", "g.png g.svg p.png p.svg v.csv"},
        {"table to standard output", "--png=g.png --csv=-", 0, "", "step,t,x,y\n0,0,0.1", "g.png"},
        {"picture to standard output", "--csv=v.csv --png=-", 0, "", "\x89PNG\r\n", "v.csv"},
        {"vectors to standard output", "--phase-svg=- --svg=g.svg", 0, "", "<?xml", "g.svg"},
};

// Arguments (each with --csv=-), the status and all that standard error
// says, a line each: a fault's message first, then what was changed or
// left out.
const std::tuple<const char*, const char*, int, const char*> RemarkRows[] = {
    {"t not whole, to even", "--t=2,5", 0,
     "--t=2,5: t читается как целое число (половина — к чётному), взято t = 2"},
    {"too many steps, disaster past the end", "--dt=0,0001 --disaster=60", 3,
     "Ошибка выполнения '6': Переполнение\n"
     "Шагов t/Δt больше 32767: увеличьте Δt или уменьшите t\n"
     "--disaster=60: Катастрофа при t = 60 приходится после последнего шага (500000), она не "
     "применена"},
};
// Extra arguments (each run takes Texts and --legend), the key's entries
// drawn as a line or a cross as "text=colour|...", and the caption's tail.
const std::tuple<const char*, const char*, const char*, const char*> LegendRows[] = {
    {"graph", "--svg=-", "x=#00c000|y=#ff8000", "явный Эйлер; без катастрофы"},
    {"graph, disaster", "--svg=- --disaster=20 --divisor=4 --method=rk4", "x=#00c000|y=#ff8000",
     "Рунге–Кутта 4; катастрофа при t = 20, делитель 4"},
    {"phase, bare", "--phase-svg=-", "путь (x; y)=#00c000", "явный Эйлер; без катастрофы"},
    {"phase, all", "--phase-svg=- --disaster=20 --nullclines --exact-orbit",
     "путь (x; y)=#00c000|скачок при катастрофе=#ff8000|точная орбита V = V₀=#2040c0|"
     "нуль-изоклины=#808080|E — равновесие=#000000",
     "явный Эйлер; катастрофа при t = 20, делитель 2"},
};

// Lab runs, k1 k2 α1 α2 Δt t x0 y0, the disaster's moment (0: none) and
// whether the steps are compared. A large step takes y, then x, below zero.
const std::tuple<const char*, std::array<double, 8>, double, bool> LabRows[] = {
    {"y below zero", {0.9, 1.3, 0.3, 0.2, 1, 10, 0.5, 4}, 4, false},
    {"x below zero", {0.9, 0.6, 0.3, 0.2, 0.5, 6, 10, 1}, 0, false},
    {"compared steps", {0.35, 0.25, 0.04, 0.015, 0.05, 30, 3, 2}, 12, true},
};

} // namespace

class TstExport : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void csvAgainstFormula_data() { addRows(CsvRows); }
    void csvAgainstFormula() {
        const auto& [name, texts, disaster, divisor, strike, comma] = currentRow(CsvRows);
        const TypedRun run = typedRun(texts, strike, divisor);
        QStringList args = argsOf(run) << "--csv=-" << QStringLiteral("--divisor=%1").arg(divisor);
        if (*disaster)
            args << QStringLiteral("--disaster=") + disaster;
        if (comma)
            args << "--decimal-comma";
        const Result r = exportWith(args);
        QCOMPARE(r.status, 0);
        // A disaster given that strikes no step is said so, the table aside.
        const bool unapplied = strike < 0 && *disaster;
        QCOMPARE(r.err.count('\n'), int(unapplied));
        QCOMPARE(r.err.contains(", она не применена\n"), unapplied);
        const QString mismatch = csvMismatch(r.out, comma ? ';' : ',', run);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    }

    // Numbers that only 17 digits tell apart from their neighbours.
    void csvDigits() {
        const Result r = exportWith(split("--t=1 --dt=1 --x0=0,1 --y0=0,3 --csv=-"));
        QCOMPARE(r.out.split('\n').value(1), "0,0,0.10000000000000001,0.29999999999999999");
    }

    // The graph box as the light window draws it, the curves where the
    // graph's mapping puts them, at 1, 2 and 4 times the size; the phase
    // portrait, y against x, with its start marked and the disaster's jump
    // in the y colour.
    void pictures_data() {
        QTest::addColumn<bool>("phase");
        QTest::addColumn<int>("scale");
        QTest::addColumn<int>("strike");
        QTest::addColumn<QString>("texts");
        for (int scale : {1, 2, 4})
            QTest::addRow("graph, scale %d", scale) << false << scale << -1 << Texts;
        QTest::newRow("graph, disaster at 20") << false << 2 << 400 << Texts;
        QTest::newRow("phase, disaster at 20") << true << 1 << 400 << Texts;
        QTest::newRow("phase") << true << 2 << -1 << Texts;
        // Both populations fall from the start: each largest is the first.
        QTest::newRow("phase, largest first")
            << true << 1 << -1 << "0,1 0,2 0,5 0,02 0,05 6 1,5 10";
    }
    void pictures() {
        QFETCH(bool, phase);
        QFETCH(int, scale);
        QFETCH(int, strike);
        QFETCH(QString, texts);
        const TypedRun run = typedRun(qPrintable(texts), strike, 4);
        const QString kind = phase ? "phase-" : "";
        const QString png = dir.filePath(QStringLiteral("%1%2.png").arg(QTest::currentDataTag()));
        const QString svg = dir.filePath(QStringLiteral("%1%2.svg").arg(QTest::currentDataTag()));
        QStringList args = argsOf(run) << "--" + kind + "png=" + png << "--" + kind + "svg=" + svg
                                       << QStringLiteral("--scale=%1").arg(scale) << "--divisor=4";
        if (strike > 0)
            args << "--disaster=20";
        // Euler's outward spiral holds the orbit inside its own extent, so
        // the orbit leaves the scales as they are.
        const bool orbit = phase && texts == Texts;
        if (orbit)
            args << "--exact-orbit";
        QCOMPARE(exportWith(args).status, 0);
        const QImage img(png);
        QCOMPARE(img.size(), QSize(537, 249) * scale);

        // Window pixels are twips / 15; the box starts at (120, 960) twips.
        // The graph: time across, the largest value at the top of the value
        // axis; the portrait: each largest magnitude at the end of its axis.
        const Plain& e = run.want;
        const int steps = int(e.x.size()) - 1;
        double xPeak = 0, yPeak = 0;
        for (int i = 0; i <= steps; ++i) {
            xPeak = std::max(xPeak, std::fabs(e.x[i]));
            yPeak = std::max(yPeak, std::fabs(e.y[i]));
        }
        const auto at = [&](double across, double up, double acrossPeak, double upPeak) {
            return QPointF((480 + across * 7440 / acrossPeak) / 15 - 8,
                           (4320 - up * 2240 / upPeak) / 15 - 64) *
                   scale;
        };
        for (int i = 1; i <= steps; i += 37) {
            const QString step = QString::number(i);
            if (phase) {
                QVERIFY2(near(img, at(e.x[i], e.y[i], xPeak, yPeak), green), qPrintable(step));
                continue;
            }
            QVERIFY2(near(img, at(i, e.x[i], steps, e.peak), green), qPrintable(step));
            QVERIFY2(near(img, at(i, e.y[i], steps, e.peak), orange), qPrintable(step));
        }
        if (phase) {
            QCOMPARE(count(img, orange) > 0, strike > 0);
            // From the step before the disaster to the divided values.
            if (strike > 0)
                QVERIFY(near(
                    img,
                    (at(e.x[399], e.y[399], xPeak, yPeak) + at(e.x[400], e.y[400], xPeak, yPeak)) /
                        2,
                    orange));
            // The start: a small square in the foreground colour, 4 pixels
            // from its centre to each side.
            for (const QPointF side :
                 {QPointF(-4, 0), QPointF(4, 0), QPointF(0, -4), QPointF(0, 4)})
                QVERIFY(near(img, at(e.x[0], e.y[0], xPeak, yPeak) + side * scale, dark));
        } else {
            // Nothing of the curves outside the span of the time axis.
            for (int y = 0; y < img.height(); ++y)
                for (int x : {0, 20 * scale, 530 * scale})
                    QVERIFY(!green(img.pixel(x, y)) && !orange(img.pixel(x, y)));
        }
        // The frame's four edges and the axes in the foreground; the view
        // line where the mark puts it (model time 20 of 40: 4200 twips).
        const auto darkRun = [&](QPoint from, QPoint to) {
            const QPoint step = (to - from) / (to - from).manhattanLength();
            for (QPoint q = from; q != to + step; q += step)
                if (!dark(img.pixel(q * scale)))
                    return false;
            return true;
        };
        QVERIFY(darkRun({0, 0}, {536, 0}) && darkRun({0, 248}, {536, 248}) &&
                darkRun({0, 0}, {0, 248}) && darkRun({536, 0}, {536, 248}));
        QVERIFY(darkRun({24, 224}, {520, 224}) && darkRun({24, 16}, {24, 224}));
        QCOMPARE(darkRun({272, 16}, {272, 224}), strike > 0 && !phase);
        QVERIFY(!darkRun({272, 15}, {272, 15})); // no higher than the value axis

        const QByteArray text = contents(svg);
        QVERIFY(text.contains(R"re(<rect x="8" y="64" width="536" height="248"/>)re"));
        QVERIFY(showsBoth(text, greenish, phase ? dark : orangeish));
        // Both ends of every segment, on the window's pixels.
        const SvgItems items = svgItems(text);
        const auto onWindow = [&](int i, const std::vector<double>& up) {
            return (phase ? at(e.x[i], e.y[i], xPeak, yPeak) : at(i, up[i], steps, e.peak)) /
                       scale +
                   QPointF(8, 64);
        };
        QList<QLineF> greens, oranges;
        for (int i = 1; i <= steps; ++i) {
            (phase && i == strike ? oranges : greens)
                << QLineF(onWindow(i - 1, e.x), onWindow(i, e.x));
            if (!phase)
                oranges << QLineF(onWindow(i - 1, e.y), onWindow(i, e.y));
        }
        for (const auto& [colour, want] :
             {std::pair{"#00c000", greens}, std::pair{"#ff8000", oranges}}) {
            const QList<QLineF> got = items.lines.value(colour);
            QCOMPARE(got.size(), want.size());
            for (int i = 0; i < got.size(); ++i)
                QVERIFY2(same(got[i], want[i]),
                         qPrintable(QStringLiteral("%1 %2").arg(colour).arg(i)));
        }
        // The exact orbit, closed, of as many segments as its points allow.
        if (orbit) {
            const QList<QLineF> exact = items.lines.value("#2040c0");
            QVERIFY2(exact.size() >= 360, qPrintable(QString::number(exact.size())));
            QVERIFY((exact.first().p1() - exact.last().p2()).manhattanLength() < 0.01);
        }
        // A tick at each tenth of the time or x axis, 30 twips either side;
        // the graph ends its time axis with a longer mark at t instead.
        QList<QLineF> all;
        for (const QList<QLineF>& lines : items.lines)
            all += lines;
        for (int k = 1; k <= (phase ? 10 : 9); ++k) {
            const double x = (480 + 744 * k) / 15.0;
            QVERIFY2(std::any_of(all.begin(), all.end(),
                                 [x](const QLineF& l) {
                                     return same(l, QLineF(x, 4290 / 15.0, x, 4350 / 15.0)) ||
                                            same(l, QLineF(x, 4350 / 15.0, x, 4290 / 15.0));
                                 }),
                     qPrintable(QString::number(k)));
        }
        // The scale's numbers at their ticks, eight points of the window's
        // font (10.6667 pixels), the top of each text at its position.
        QList<std::pair<QPointF, QString>> numbers;
        for (int k = 1; k <= 10; ++k) {
            const QString across = phase ? scaleNumber(k * xPeak / 10, 2)
                                         : scaleNumber(k * run.texts[7].toDouble() / 10, 2);
            // The portrait's last tick ends its axis without a number.
            if (k < 10 || !phase)
                numbers << std::pair{QPointF((744 * k + 380) / 15.0, 292), across};
            numbers << std::pair{QPointF(140 / 15.0, (4220 - 224 * k) / 15.0),
                                 scaleNumber(k * (phase ? yPeak : e.peak) / 10, 1)};
        }
        for (const auto& [top, number] : numbers)
            QVERIFY2(std::any_of(items.texts.begin(), items.texts.end(),
                                 [&](const auto& t) {
                                     return t.second == number &&
                                            std::fabs(t.first.x() - top.x()) < 0.5 &&
                                            t.first.y() - top.y() > 8 && t.first.y() - top.y() < 11;
                                 }),
                     qPrintable(number));
        QStringList captions;
        for (const auto& [where, said] : items.texts)
            captions << said;
        for (const char* caption : {"0", phase ? "x" : "t", phase ? "y" : "x,y"})
            QVERIFY(captions.contains(caption));
        QCOMPARE(captions.size(), numbers.size() + 3);
        QCOMPARE(items.fonts, QStringList(items.fonts.size(), "Liberation Sans 10.6667"));
    }

    // Read back from the SVG: each entry's text with a segment of its colour
    // just left of it on its row; the caption's lines, the parameters as typed.
    void legend_data() { addRows(LegendRows); }
    void legend() {
        const auto& [name, extra, entries, tail] = currentRow(LegendRows);
        const QStringList args = argsOf(typedRun(Texts, -1, 2)) + split(extra);
        const Result plain = exportWith(args);
        const Result keyed = exportWith(QStringList(args) << "--legend");
        QCOMPARE(keyed.status, 0);
        const SvgItems items = svgItems(keyed.out);
        const QSize size = QSvgRenderer(keyed.out).defaultSize();
        QVERIFY(size.width() == 537 && size.height() > 249 + 30);
        // The generator writes a text in pieces, one per script, blanks lost.
        QStringList texts;
        for (const auto& [at, text] : items.texts)
            texts << QString(text).remove(u' ');
        const auto find = [&texts](QString wanted) {
            wanted.remove(u' ');
            for (qsizetype i = 0; i < texts.size(); ++i)
                if (wanted.startsWith(texts[i]) && !texts[i].isEmpty() &&
                    texts.mid(i).join(QString()).startsWith(wanted))
                    return i;
            return qsizetype(-1);
        };
        for (const QString& entry : QString::fromUtf8(entries).split(u'|')) {
            const QString text = entry.section(u'=', 0, -2), colour = entry.section(u'=', -1);
            const qsizetype i = find(text);
            QVERIFY2(i >= 0, qPrintable(text));
            const QPointF at = items.texts[i].first;
            bool marked = false;
            // A line, or the cross of a point, on the text's row and wholly before it.
            for (const QLineF& l : items.lines.value(colour)) {
                const double end = std::max(l.x1(), l.x2());
                marked |= end < at.x() && at.x() - end < 15 && std::abs(l.y1() - at.y()) < 8 &&
                          std::abs(l.y2() - at.y()) < 8;
            }
            QVERIFY2(marked, qPrintable(entry));
        }
        // Wrapped or not, the caption reads on; without the flag nothing of it.
        QVERIFY2(find(QStringLiteral("k1 = 0,3; k2 = 0,2; α1 = 0,05; α2 = 0,02; Δt = 0,05; "
                                     "t = 40; x0 = 2,5; y0 = 1,5; ") +
                      QString::fromUtf8(tail)) >= 0,
                 qPrintable(texts.join(u'/')));
        QVERIFY(!plain.out.contains("k1 = ") && !plain.out.contains("начало"));
    }

    // The lab's picture read back from its SVG: each scale numbered from edge
    // to edge of the plane, under ticks outside it, its numbers beside
    // them; each axis through the other's zero; the key holding its last
    // entry; the strip's zero line apart from its frame; and no pixel of the
    // picture left transparent.
    void labPicture_data() { addRows(LabRows); }
    void labPicture() {
        const auto& [name, v, strikeTime, compare] = currentRow(LabRows);
        Scenario s;
        s.k1 = v[0], s.k2 = v[1], s.a1 = v[2], s.a2 = v[3], s.dt = v[4], s.span = v[5];
        s.x0 = v[6], s.y0 = v[7], s.disaster = strikeTime > 0, s.strikeTime = strikeTime;
        LabPicture::Style style;
        style.compare = compare;
        style.font = GraphPicture::windowFont();
        const QByteArray svg = LabFiles::svg(LabRun::of(s, compare), style, {700, 560});
        QSvgRenderer renderer(svg);
        QImage shown(renderer.defaultSize(), QImage::Format_ARGB32);
        shown.fill(Qt::transparent);
        QPainter painter(&shown);
        renderer.render(&painter);
        painter.end();
        for (int y = 0; y < shown.height(); ++y)
            QVERIFY(qAlpha(shown.pixel(0, y)) == 255 &&
                    qAlpha(shown.pixel(shown.width() - 1, y)) == 255);

        const SvgItems items = svgItems(svg);
        const QList<QLineF> ink = items.lines.value("#000000");
        QRectF plane, strip, key;
        for (const QRectF& r : items.rects.value("#000000"))
            if (r.width() * r.height() > plane.width() * plane.height())
                plane = r;
        for (const QRectF& r : items.rects.value("#000000"))
            if (r != plane && r.width() > 30)
                (r.top() > plane.bottom() ? strip : key) = r;
        const auto eq = [](double a, double b) { return std::abs(a - b) < 0.01; };
        // A segment of `in` from edge to edge of `r` at x (vertical) or y.
        const auto across = [&](const QList<QLineF>& in, const QRectF& r, double x, double y) {
            return std::any_of(in.begin(), in.end(), [&](const QLineF& l) {
                const QRectF got = QRectF(l.p1(), l.p2()).normalized();
                return std::isnan(x) ? eq(got.left(), r.left()) && eq(got.right(), r.right()) &&
                                           std::abs(got.top() - y) < 2 && got.height() == 0
                                     : eq(got.top(), r.top()) && eq(got.bottom(), r.bottom()) &&
                                           eq(got.left(), x) && got.width() == 0;
            });
        };
        // The scales' numbers, value -> its tick: under the plane, each
        // centred on a tick out of the plane downwards; left of it, each with
        // the middle of its digits at the end of a tick out to the left.
        const QFontMetricsF fm(style.font);
        QMap<double, double> under, left;
        for (const auto& [at, text] : items.texts) {
            bool number = false;
            const double value = QString(text).replace(u',', u'.').toDouble(&number);
            const double width = fm.horizontalAdvance(text), x = at.x() + width / 2;
            const double y = at.y() - fm.capHeight() / 2;
            const bool down =
                at.y() - fm.ascent() > plane.bottom() && at.y() < plane.bottom() + 2 * fm.height();
            if (!number || (!down && !(at.x() + width < plane.left() && y < plane.bottom() + 2)))
                continue;
            double tick = qQNaN();
            for (const QLineF& l : ink)
                if (down ? l.dx() == 0 && std::abs(l.x1() - x) < 0.5 &&
                               eq(l.y1(), plane.bottom()) && l.y2() > l.y1()
                         : l.dy() == 0 && eq(l.x2(), plane.left()) && l.x1() < l.x2() &&
                               std::abs(l.y1() - y) < 2)
                    tick = down ? l.x1() : l.y1();
            QVERIFY2(!std::isnan(tick), qPrintable(text));
            (down ? under : left)[value] = tick;
        }
        // Each scale in even steps of value and of pixels, edge to edge.
        for (const auto& [scale, first, last] : {std::tuple{&under, plane.left(), plane.right()},
                                                 std::tuple{&left, plane.bottom(), plane.top()}}) {
            const QList<double> values = scale->keys(), at = scale->values();
            QVERIFY(values.size() >= 3 && eq(at.first(), first) && eq(at.last(), last));
            for (qsizetype i = 2; i < values.size(); ++i)
                QVERIFY(std::abs(values[i] - values[i - 1] - (values[1] - values[0])) <
                            1e-9 * (values[1] - values[0]) &&
                        std::abs(at[i] - at[i - 1] - (at[1] - at[0])) < 0.02);
        }
        // Each axis through the other's zero; at the plane's edge the frame
        // is that axis.
        QVERIFY(under.contains(0) && left.contains(0));
        QVERIFY(eq(left[0], plane.bottom()) || across(ink, plane, qQNaN(), left[0]));
        QVERIFY(eq(under[0], plane.left()) || across(ink, plane, under[0], 0));
        // The key holds its last entry, the start's, whole.
        const QString start = QStringLiteral("начало (x0; y0)");
        QVERIFY(std::any_of(items.texts.begin(), items.texts.end(), [&](const auto& t) {
            return start.startsWith(t.second) && !t.second.isEmpty() &&
                   key.contains(QRectF(t.first.x(), t.first.y() - fm.ascent(),
                                       fm.horizontalAdvance(start), fm.height()));
        }));
        // The strip's zero: a line across it at its number, apart from the frame's colour.
        bool zero = false;
        for (const auto& [at, text] : items.texts)
            for (const QString& colour : items.lines.keys())
                zero |= text == "0" && at.y() > strip.top() && colour != "#000000" &&
                        across(items.lines[colour], strip, qQNaN(), at.y() - fm.capHeight() / 2);
        QVERIFY(zero);
    }

    void failures_data() { addRows(FailureRows); }
    void failures() {
        const auto& [name, extra, status, message] = currentRow(FailureRows);
        QTemporaryDir own;
        const QString csv = own.filePath("kept.csv");
        const QString png = own.filePath("new.png");
        QFile f(csv);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("earlier\n") == 8);
        f.close();
        // The outputs named first: a failure after they are made keeps them too.
        const Result r = exportWith(QStringList{"--csv=" + csv, "--png=" + png} << split(extra));
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.startsWith("morvane-export: ") &&
                     r.err.contains(QString::fromUtf8(message)) && r.err.count('\n') <= 2,
                 qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QCOMPARE(contents(csv), "earlier\n");
        // No new picture, and no temporary left behind.
        QCOMPARE(QDir(own.path()).entryList(QDir::Files), QStringList{"kept.csv"});
    }

    void remarks_data() { addRows(RemarkRows); }
    void remarks() {
        const auto& [name, args, status, said] = currentRow(RemarkRows);
        const Result r = exportWith(split(args) << "--csv=-");
        QCOMPARE(r.status, status);
        QCOMPARE(r.err, QString::fromUtf8(said).replace(
                            QRegularExpression("^", QRegularExpression::MultilineOption),
                            "morvane-export: ") +
                            '\n');
    }

    void contract_data() { addRows(ContractRows); }
    void contract() {
        const auto& [name, args, status, message, out, files] = currentRow(ContractRows);
        QTemporaryDir own;
        const QString before = QDir::currentPath();
        QDir::setCurrent(own.path());
        const Result r = exportWith(split(args));
        QDir::setCurrent(before);
        QCOMPARE(r.status, status);
        QVERIFY2(*message ? r.err.startsWith("morvane-export: ") &&
                                r.err.contains(QString::fromUtf8(message)) && r.err.count('\n') == 1
                          : r.err.isEmpty(),
                 qPrintable(r.err));
        QVERIFY2(*out ? r.out.startsWith(out) : r.out.isEmpty(), r.out.left(60).constData());
        const QStringList made = QDir(own.path()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(made.join(' '), QString::fromLatin1(files));
        for (const QString& file : made) {
            const QByteArray text = contents(own.filePath(file));
            QVERIFY2(file.endsWith(".csv") ? text.startsWith("step,t,x,y\n0,0,0.1")
                     : file.endsWith(".png")
                         ? QImage::fromData(text, "PNG").size() == QSize(537, 249)
                         : text.startsWith("<?xml") && text.endsWith("</svg>\n"),
                     qPrintable(file));
        }
    }

    // The built program itself: no display, statuses, both streams; Qt's
    // own options are unknown ones to it.
    void program_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("comma CSV") << "--t=1 --dt=0,5 --csv=- --decimal-comma" << 0
                                   << QByteArray("\xEF\xBB\xBF"
                                                 "step;t;x;y\n0;0;0,10000000000000001;"
                                                 "0,10000000000000001\n1;0,5;0,10450000000000001;"
                                                 "0,095500000000000002\n2;1;")
                                   << QString();
        QTest::newRow("bad text") << "--k1=abc --csv=-" << 2 << QByteArray() << "--k1=abc";
        QTest::newRow("Qt's option") << "--reverse --csv=-" << 2 << QByteArray() << "--reverse";
        // Standard output on a full disk: the table is lost, and said so.
        QTest::newRow("full disk")
            << "--csv=- --full" << 3 << QByteArray() << "--csv=-: Ошибка выполнения '61'";
    }
    void program() {
        QFETCH(QString, args);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QString, err);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        p.setProcessEnvironment(env);
        if (args.endsWith(" --full"))
            p.setStandardOutputFile(QStringLiteral("/dev/full"));
        p.start(MORVANE_EXPORT_EXE, args.chopped(7 * args.endsWith(" --full")).split(u' '));
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), status);
        QVERIFY(p.readAllStandardOutput().startsWith(out));
        const QString said = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(err.isEmpty() ? said.isEmpty() : said.contains(err), qPrintable(said));
    }

    // Every byte checked, standard output's too: a disk that is full, or
    // fills up part-way through a file, gives 61 and keeps the old files;
    // a file that cannot be created gives another code.
    void writeFailures_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("said");
        // Small outputs too, which a buffer would take whole and lose at exit.
        QTest::newRow("table to a full device") << "exec \"$2\" --t=5 --csv=- >/dev/full"
                                                << "--csv=-: Ошибка выполнения '61': Диск заполнен";
        QTest::newRow("summary to a full device") << "exec \"$2\" --summary=- >/dev/full"
                                                  << "--summary=-: Ошибка выполнения '61'";
        QTest::newRow("summary to a closed output") << "exec \"$2\" --summary=- >&-"
                                                    << "--summary=-: Ошибка выполнения '61'";
        QTest::newRow("help to a full device") << "exec \"$2\" --help >/dev/full"
                                               << "Ошибка выполнения '61': Диск заполнен";
        QTest::newRow("no such folder") << "exec \"$2\" --svg=/nonexistent/g.svg"
                                        << "--svg=/nonexistent/g.svg: Ошибка выполнения '75'";
        // 12 kB left: the phase SVG (13 kB) is cut short, and named.
        QTest::newRow("disk fills up")
            << "mount -t tmpfs -o size=64k tmpfs \"$1\" || exit 99\n"
               "head -c 52000 /dev/zero >\"$1/filler\"\n"
               "printf old >\"$1/a.svg\"; printf old >\"$1/b.png\"\n"
               "\"$2\" --t=3 --phase-svg=\"$1/a.svg\" --png=\"$1/b.png\"\n"
               "s=$?; ls \"$1\"; cat \"$1/a.svg\" \"$1/b.png\"; exit $s"
            << "a.svg: Ошибка выполнения '61': Диск заполнен";
    }
    void writeFailures() {
        QFETCH(QString, script);
        QFETCH(QString, said);
        QTemporaryDir own;
        QProcess p;
        const QStringList sh = {"sh", "-c", script, "sh", own.path(), MORVANE_EXPORT_EXE};
        const bool small = script.contains("tmpfs");
        // A file system of its own, in a namespace of its own.
        p.start(small ? "unshare" : "sh", small ? QStringList{"-rm"} + sh : sh.mid(1));
        QVERIFY(p.waitForFinished(30000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        if (p.exitCode() == 99 || err.startsWith("unshare"))
            QSKIP("no small file system to be had");
        QVERIFY2(p.exitCode() == 3 && err.contains(said), qPrintable(err));
        if (small)
            QCOMPARE(p.readAllStandardOutput(), "a.svg\nb.png\nfiller\noldold");
    }
};

QTEST_MAIN(TstExport)
#include "tst_export.moc"
