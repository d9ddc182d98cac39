// morvane-export --sweep: every row against the single --summary (and
// --extinction) of its point, whatever the threads; the grid's order; a
// failing point among good ones; the refusals; Ctrl+C.

#include "casetable.h"
#include "exportwith.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <charconv>
#include <csignal>

namespace {
const char* const Fixed = "--k2=0,45 --a1=0,012 --a2=0,0075 --dt=0,1 --x0=7 --y0=4 --t=60";
const char* const Trough = "--k1=0,9 --k2=0,6 --a1=0,3 --a2=0,2 --dt=0,01 --t=30 --y0=1 "
                           "--disaster=7,07";
const QString Risk = " --runs=30 --omega=20";

// The figure a column names, from the JSON of the single run.
QJsonValue figure(const QJsonObject& summary, const QJsonObject& risk, const QString& column) {
    const QStringList path = column.split('.');
    if (path[0] == "order") {
        const int method = QStringList{"euler", "semi-implicit", "rk4"}.indexOf(path[1]);
        return summary["compareSteps"][method * 3 + (path[2] == "dt/2")]["order"];
    }
    if (path[0] == "stateOrder")
        return summary["stateOrder"][column.mid(11)];
    QJsonValue v = path[0].startsWith("with") ? risk : summary;
    for (const QString& key : path)
        v = v[key];
    return v;
}
} // namespace

class TstSweep : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    // Fixed options, the sweeps and additions, then the points' values as a
    // person works them out ("name=value name=value|…").
    void againstSingle_data() {
        QTest::addColumn<QString>("fixed");
        QTest::addColumn<QString>("sweep");
        QTest::addColumn<QString>("points");
        QTest::newRow("k1") << Fixed << "--sweep=k1=0,1:0,2:5"
                            << "k1=0.1|k1=0.125|k1=0.15|k1=0.175|k1=0.2";
        QTest::newRow("divisor, compared steps") << QString(Fixed) + " --k1=0,3 --disaster=20"
                                                 << "--sweep=divisor=2:8:4 --compare-steps"
                                                 << "divisor=2|divisor=4|divisor=6|divisor=8";
        QTest::newRow("dt downwards, x negative")
            << "--k1=2 --k2=0,45 --a1=0,5 --a2=0,0075 --x0=7 --y0=4 --t=6"
            << "--sweep=dt=1,2:0,4:3"
            << "dt=1.2|dt=0.8|dt=0.4";
        // Rows by the first parameter, then the second; one in the middle
        // has more steps than the windows count.
        QTest::newRow("grid, a failing point")
            << "--k1=0,3 --k2=0,45 --a1=0,012 --a2=0,0075 --x0=7 --y0=4"
            << "--sweep=t=50:10:2 --sweep=dt=0,1:0,001:2"
            << "t=50 dt=0.1|t=50 dt=0.001|t=10 dt=0.1|t=10 dt=0.001";
        QTest::newRow("refused in the middle") << QString(Fixed) + " --k1=0,3 --disaster=20"
                                               << "--sweep=divisor=8:1000:3"
                                               << "divisor=8|divisor=504|divisor=1000";
        QTest::newRow("risks") << Trough << "--sweep=x0=8:2:3 --extinction" + Risk
                               << "x0=8|x0=5|x0=2";
    }
    void againstSingle() {
        QFETCH(QString, fixed);
        QFETCH(QString, sweep);
        QFETCH(QString, points);
        const auto [status, table] = exportWith(fixed + ' ' + sweep + " --table=-");
        QCOMPARE(status, 0);
        QCOMPARE(exportWith(fixed + ' ' + sweep + " --table=- --threads=3").second, table);
        QStringList rows = QString::fromUtf8(table).split('\n');
        QCOMPARE(rows.takeLast(), QString());
        const QStringList columns = rows.takeFirst().split(',');
        const QStringList wanted = points.split('|');
        QCOMPARE(rows.size(), wanted.size());
        const bool compare = sweep.contains("--compare-steps");
        const bool risk = sweep.contains("--extinction");
        for (int p = 0; p < rows.size(); ++p) {
            const QString given = ' ' + QString(wanted[p]).replace(' ', " --").prepend("--");
            const auto [one, json] =
                exportWith(fixed + given + " --summary=-" + (compare ? " --compare-steps" : ""));
            const QJsonObject summary = QJsonDocument::fromJson(json).object();
            const QJsonObject ensemble =
                risk ? QJsonDocument::fromJson(
                           exportWith(fixed + given + Risk + " --extinction=-").second)
                           .object()
                     : QJsonObject();
            // The swept values first, the reason last, quoted.
            const QStringList cells = rows[p].split(',');
            const QStringList values = wanted[p].split(' ');
            for (int k = 0; k < values.size(); ++k)
                QCOMPARE(columns[k] + '=' + cells[k], values[k]);
            const QString reason = rows[p].section(',', columns.size() - 1);
            if (one != 0) {
                const QString said = QString::fromUtf8(json).mid(16).section('\n', 0, 0);
                QVERIFY2(reason.startsWith('"' + said.chopped(said.endsWith("!!") ? 22 : 0)),
                         qPrintable(reason));
                QCOMPARE(cells.mid(values.size(), columns.size() - values.size() - 1).join(""),
                         QString());
                continue;
            }
            QCOMPARE(reason, QString());
            for (int c = int(values.size()); c < columns.size() - 1; ++c) {
                const QJsonValue v = figure(summary, ensemble, columns[c]);
                double cell = 0;
                const QByteArray text = cells[c].toLatin1();
                std::from_chars(text.begin(), text.end(), cell);
                QVERIFY2(
                    v.isDouble() ? !text.isEmpty() && cell == v.toDouble() : text.isEmpty(),
                    qPrintable(QStringLiteral("%1 %2: %3").arg(wanted[p], columns[c], cells[c])));
            }
        }
    }

    // Exit 2 with the reason, and no file.
    void refusals_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("said");
        const QList<std::pair<const char*, const char*>> rows = {
            {"--sweep=q=1:2:3", "--sweep=q=1:2:3: «q» — не входной параметр"},
            {"--sweep=k1=a:1:3", "«a»: это не число"},
            {"--sweep=k1=0,3:0,3:5", "начало и конец перебора совпадают"},
            {"--sweep=k1=0,1:0,5:1", "точек N должно быть целое число от 2 до 1000000"},
            {"--sweep=k1=0:1:1001 --sweep=k2=0:1:1000", "точек в переборе больше 1000000"},
            {"--sweep=t=10:20:4", "t перебирается целыми числами"},
            {"--sweep=k1=0:1:3 --sweep=k1=1:2:3", "k1 перебирается дважды"},
            {"--sweep=k1=0:1:3 --k1=0,5", "--k1 задан и перебирается"},
            {"--sweep=k1=0:1:3 --k2=abc", "--k2=abc: это не число. Смотри, что пишешь!!"},
            {"--sweep=divisor=2:8:7", "без --disaster делитель ничего не меняет"},
            {"--sweep=k1=0:1:3 --sweep-png=p.png --plot=V1", "--plot=V1: нет показателя «V1»"},
            {"--sweep=k1=0:1:3 --sweep-svg=p.svg --plot=V0,stateOrder.rk4",
             "«stateOrder.rk4» есть в таблице только с --compare-steps"},
            {"--sweep=k1=0:1:3 --sweep=k2=0:1:3 --sweep-svg=p.svg --plot=V0,drift",
             "по одному показателю"},
            {"--sweep=k1=0:1:3 --sweep-png=p.png", "рисуют показатели из --plot"},
            {"--sweep=k1=0:1:3 --csv=c.csv", "--csv описывает один прогон"},
            {"--sweep=k1=0:1:3 --svg=g.svg", "--svg описывает один прогон"},
            {"--sweep=k1=0:1:3 --extinction --by-moment=4", "--by-moment не входит"},
            {"--extinction", "параметру --extinction нужно значение"},
            {"--sweep=k1=0:1:3 --threads=1025", "--threads=1025: нужно целое число от 0 до 1024"},
        };
        for (const auto& [args, said] : rows)
            QTest::newRow(args) << QString::fromUtf8(args) << QString::fromUtf8(said);
        QTest::newRow("a table without a sweep") << "--k1=1"
                                                 << "--table дополняет --sweep";
    }
    void refusals() {
        QFETCH(QString, args);
        QFETCH(QString, said);
        QTemporaryDir own;
        const QString before = QDir::currentPath();
        QDir::setCurrent(own.path());
        const auto [status, err] = exportWith(args + " --table=t.csv");
        QDir::setCurrent(before);
        QCOMPARE(status, 2);
        QVERIFY2(err.startsWith("morvane-export: ") && err.contains(said.toUtf8()) &&
                     err.count('\n') == 1,
                 err.constData());
        QCOMPARE(QDir(own.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // The pictures: as large as --scale says, the legend and the caption
    // with the fixed parameters as typed.
    void pictures() {
        const QString args = Trough + Risk + " --sweep=divisor=2:8:4 --extinction --plot=" +
                             "withDisaster.predators.fraction,periodBefore --sweep-svg=-";
        const auto [status, svg] = exportWith(args);
        QCOMPARE(status, 0);
        // The generator writes a text in pieces, one per script.
        for (const char* text : {">withDisaster.predators.fraction", ">periodBefore", "интервал",
                                 ">делитель<", "k1 = 0,9;", "t = 7,07<", ">0,8<", ">8<"})
            QVERIFY2(svg.contains(text), text);
        // Each figure in a colour of its own, blue then vermilion, the same in
        // its legend.
        for (const char* colour : {"stroke=\"#0072b2\"", "stroke=\"#d55e00\""})
            QVERIFY2(svg.count(colour) >= 2, colour);
        const QString png = dir.filePath("s.png");
        QCOMPARE(exportWith(QString(args).replace("--sweep-svg=-", "--scale=2 --sweep-png=" + png))
                     .first,
                 0);
        QCOMPARE(QImage(png).width(), 1280);
        const QByteArray grid =
            exportWith("--sweep=k1=0,1:0,5:3 --sweep=k2=0,2:0,6:3 --plot=drift --sweep-svg=-")
                .second;
        QVERIFY(grid.contains(">k2<") && grid.contains(">k1<") && grid.contains("drift<"));
        // Its nine cells tile the frame: each reaches halfway to its
        // neighbours, and the outer ones as far past their values.
        static const QRegularExpression box(
            R"re(<rect x="([\d.]+)" y="([\d.]+)" width="([\d.]+)" height="([\d.]+)"/>)re");
        QList<QRectF> boxes;
        for (const QRegularExpressionMatch& m : box.globalMatch(QString::fromUtf8(grid)))
            if (m.captured(1) != "0")
                boxes << QRectF(m.captured(1).toDouble(), m.captured(2).toDouble(),
                                m.captured(3).toDouble(), m.captured(4).toDouble());
        const QRectF frame = *std::max_element(boxes.begin(), boxes.end(), [](auto a, auto b) {
            return a.width() * a.height() < b.width() * b.height();
        });
        QRectF tiled;
        int cells = 0;
        for (const QRectF& b : boxes)
            if (std::abs(b.width() * 3 - frame.width()) < 0.01 &&
                std::abs(b.height() * 3 - frame.height()) < 0.01)
                tiled |= b, ++cells;
        QCOMPARE(cells, 9);
        QCOMPARE(tiled, frame);
    }

    // Each dot where the graduations put its value, inside the frame: the
    // axes read back from their ticks and numbers.
    void dotsOnScale() {
        const QString args = QString(Fixed) + " --sweep=k1=0,2:0,04:5";
        const auto [status, svg] = exportWith(args + " --plot=minY --sweep-svg=-");
        QCOMPARE(status, 0);
        QStringList rows = QString::fromUtf8(exportWith(args + " --table=-").second).split('\n');
        static const QRegularExpression item(
            R"re(<rect x="(\d+)" y="(\d+)" width="(\d+)" height="(\d+)"/>|points="([\d.]+),([\d.]+) ([\d.]+),([\d.]+) "|x="[\d.]+" y="[\d.]+"[^>]*>([-\d,]+)</text>|<circle cx="([\d.]+)" cy="([\d.]+)")re");
        QRectF frame;
        QLineF tick;
        QList<std::pair<double, double>> across, up; // value, pixel
        QList<QPointF> dots;
        for (const QRegularExpressionMatch& m : item.globalMatch(QString::fromUtf8(svg))) {
            const auto n = [&m](int i) { return m.captured(i).replace(',', '.').toDouble(); };
            if (m.hasCaptured(1) && n(1) > 0)
                frame = QRectF(n(1), n(2), n(3), n(4));
            else if (m.hasCaptured(5))
                tick = QLineF(n(5), n(6), n(7), n(8));
            else if (m.hasCaptured(9) && tick.dy() == 4)
                across << std::pair{n(9), tick.x1()};
            else if (m.hasCaptured(9) && tick.dx() == 4)
                up << std::pair{n(9), tick.y1()};
            else if (m.hasCaptured(10))
                dots << QPointF(n(10), n(11));
        }
        QVERIFY(across.size() >= 3 && up.size() >= 3);
        const auto pixel = [](const QList<std::pair<double, double>>& ticks, double v) {
            const auto [v0, p0] = ticks.first();
            const auto [v1, p1] = ticks.last();
            return p0 + (v - v0) / (v1 - v0) * (p1 - p0);
        };
        QCOMPARE(dots.size(), 5);
        for (int i = 0; i < 5; ++i) {
            const QStringList cells = rows[i + 1].split(',');
            const QPointF want(pixel(across, cells[0].toDouble()), pixel(up, cells[5].toDouble()));
            QVERIFY2((dots[i] - want).manhattanLength() < 0.5 &&
                         frame.adjusted(-0.5, -0.5, 0.5, 0.5).contains(dots[i]),
                     qPrintable(rows[i + 1]));
        }
    }

    // Ctrl+C while the points run: the program ends by the signal and
    // leaves no file behind, not even a temporary one.
    void interrupted() {
        QTemporaryDir own;
        QProcess p;
        p.start(MORVANE_EXPORT_EXE, QString(Trough).split(' ')
                                        << "--sweep=x0=1:9:400"
                                        << "--extinction"
                                        << "--runs=3000"
                                        << "--table=" + own.filePath("t.csv"));
        QVERIFY(p.waitForStarted());
        QTest::qWait(700);
        QVERIFY2(p.state() == QProcess::Running && p.processId() > 0, p.readAllStandardError());
        ::kill(pid_t(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        QVERIFY(p.readAllStandardError().contains("прервано"));
        QCOMPARE(QDir(own.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(TstSweep)
#include "tst_sweep.moc"
