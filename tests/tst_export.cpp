// morvane-export: its table against the formula, its pictures, its exit
// statuses and messages, and that a failure leaves every file as it was.

#include "eulerreference.h"
#include "export/exportcommand.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

namespace {
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

QStringList textArgs(const QStringList& texts) {
    static const char* names[] = {"k1", "k2", "a1", "a2", "dt", "x0", "y0", "t"};
    QStringList args;
    for (int i = 0; i < texts.size(); ++i)
        args << QStringLiteral("--%1=%2").arg(names[i], texts[i]);
    return args;
}

bool isGreen(QRgb c) {
    return qRed(c) == 0 && qGreen(c) == 192 && qBlue(c) == 0;
}
bool isOrange(QRgb c) {
    return qRed(c) == 255 && qGreen(c) == 128 && qBlue(c) == 0;
}
// The same hues blended with the white background, as an antialiasing
// renderer leaves them.
bool greenish(QRgb c) {
    return qGreen(c) > qRed(c) + 40 && qGreen(c) > qBlue(c) + 40;
}
bool orangeish(QRgb c) {
    return qRed(c) > qGreen(c) + 40 && qGreen(c) > qBlue(c) + 40;
}

// Whether a pixel of the colour lies within one pixel of (x, y).
bool near(const QImage& img, double x, double y, bool (*colour)(QRgb)) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint p(int(std::floor(x)) + dx, int(std::floor(y)) + dy);
            if (img.rect().contains(p) && colour(img.pixel(p)))
                return true;
        }
    return false;
}

int count(const QImage& img, bool (*colour)(QRgb)) {
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
} // namespace

class TstExport : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString file(const QString& name) { return dir.filePath(name); }

private slots:
    // Texts as typed, their values, the disaster's model time and divisor,
    // the step that time strikes, and the CSV style.
    void csvAgainstFormula_data() {
        QTest::addColumn<QStringList>("texts"); // k1 k2 a1 a2 dt x0 y0 t
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QString>("disaster");
        QTest::addColumn<int>("divisor");
        QTest::addColumn<int>("strike");
        QTest::addColumn<bool>("comma");
        const QStringList a{"0,3", "0,2", "0,05", "0,02", "0,05", "2,5", "1,5", "40"};
        const QList<double> av{0.3, 0.2, 0.05, 0.02, 0.05, 2.5, 1.5, 40};
        QTest::newRow("no disaster") << a << av << QString() << 2 << -1 << false;
        QTest::newRow("no disaster, Excel") << a << av << QString() << 2 << -1 << true;
        QTest::newRow("at 12.5, 1/3") << a << av << "12,5" << 3 << 250 << false;
        QTest::newRow("at 12.5, 1/3, Excel") << a << av << "12.5" << 3 << 250 << true;
        const QStringList b{"1.5E-1", "0,45", "0,012", "0,0075", "0,1", "7", "4", "60"};
        const QList<double> bv{0.15, 0.45, 0.012, 0.0075, 0.1, 7, 4, 60};
        QTest::newRow("points and exponent, 1/1000") << b << bv << "33" << 1000 << 330 << true;
        QTest::newRow("at the last step, 1/8") << b << bv << "60" << 8 << 600 << false;
        const QStringList c{"0,7", "0,4", "0,3", "0,2", "1", "1,25", "0,75", "10"};
        const QList<double> cv{0.7, 0.4, 0.3, 0.2, 1, 1.25, 0.75, 10};
        QTest::newRow("2.5 steps strike step 2") << c << cv << "2,5" << 5 << 2 << false;
        QTest::newRow("3.5 steps strike step 4") << c << cv << "3,5" << 6 << 4 << true;
        QTest::newRow("0.4 steps strike none") << c << cv << "0,4" << 7 << -1 << false;
        QTest::newRow("beyond the end strikes none") << c << cv << "10,6" << 7 << -1 << false;
    }
    void csvAgainstFormula() {
        QFETCH(QStringList, texts);
        QFETCH(QList<double>, values);
        QFETCH(QString, disaster);
        QFETCH(int, divisor);
        QFETCH(int, strike);
        QFETCH(bool, comma);
        QStringList args = textArgs(texts)
                           << "--csv=-" << QStringLiteral("--divisor=%1").arg(divisor);
        if (!disaster.isEmpty())
            args << "--disaster=" + disaster;
        if (comma)
            args << "--decimal-comma";
        const Result r = exportWith(args);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());

        const EulerRows want =
            eulerReference({values[0], values[1], values[2], values[3], values[4], values[5],
                            values[6], int(values[7]), strike, double(divisor)});
        const char sep = comma ? ';' : ',';
        QVERIFY(!r.out.contains('\r'));
        const auto rows = csvFields(r.out, sep);
        QCOMPARE(rows.value(0), (QList<QByteArray>{"step", "t", "x", "y"}));
        QCOMPARE(rows.size() - 1, int(want.x.size()));
        for (int i = 0; i < int(want.x.size()); ++i) {
            const auto& f = rows[i + 1];
            QCOMPARE(f.size(), 4);
            // Decimal commas only in the Excel style, points only in the other.
            QVERIFY(!f[1].contains(comma ? '.' : ',') && !f[2].contains(comma ? '.' : ','));
            QCOMPARE(f[0].toInt(), i);
            QCOMPARE(csvNumber(f[1]), i * values[4]);
            if (csvNumber(f[2]) != want.x[i] || csvNumber(f[3]) != want.y[i])
                QFAIL(qPrintable(QStringLiteral("step %1: %2 %3, want %4 %5")
                                     .arg(i)
                                     .arg(QString(f[2]), QString(f[3]))
                                     .arg(want.x[i], 0, 'g', 17)
                                     .arg(want.y[i], 0, 'g', 17)));
        }
    }

    // Numbers that only 17 digits tell apart from their neighbours.
    void csvDigits() {
        const Result r = exportWith({"--t=1", "--dt=1", "--x0=0,1", "--y0=0,3", "--csv=-"});
        QCOMPARE(r.status, 0);
        const auto rows = csvFields(r.out, ',');
        QCOMPARE(rows[1],
                 (QList<QByteArray>{"0", "0", "0.10000000000000001", "0.29999999999999999"}));
        // t = 0: the calculation alone, one row.
        const Result zero = exportWith({"--t=0", "--csv=-"});
        QCOMPARE(zero.status, 0);
        QCOMPARE(csvFields(zero.out, ',').size(), 2);
    }

    // The graph box as the light window draws it: the curves at the places
    // the mapping of the graph gives, at 1 and 2 times the size.
    void pictures_data() {
        QTest::addColumn<int>("scale");
        QTest::newRow("scale 1") << 1;
        QTest::newRow("scale 2") << 2;
        QTest::newRow("scale 4") << 4;
    }
    void pictures() {
        QFETCH(int, scale);
        const QStringList texts{"0,3", "0,2", "0,05", "0,02", "0,05", "2,5", "1,5", "40"};
        const QString png = file(QStringLiteral("graph%1.png").arg(scale));
        const QString svg = file(QStringLiteral("graph%1.svg").arg(scale));
        const Result r = exportWith(textArgs(texts) << "--png=" + png << "--svg=" + svg
                                                    << QStringLiteral("--scale=%1").arg(scale));
        QCOMPARE(r.status, 0);
        const QImage img(png);
        QCOMPARE(img.size(), QSize(537, 249) * scale);

        const EulerRows e = eulerReference({0.3, 0.2, 0.05, 0.02, 0.05, 2.5, 1.5, 40});
        const int steps = int(e.x.size()) - 1;
        double peak = 0;
        for (int i = 1; i <= steps; ++i)
            peak = std::max({peak, e.x[i], e.y[i]});
        // Window pixels: twips / 15; the box starts at (120, 960) twips.
        for (int i = 0; i <= steps; i += 37) {
            const double x = (480 + i * 7440.0 / steps) / 15 - 8;
            const double yx = (4320 - e.x[i] * 2240 / peak) / 15 - 64;
            const double yy = (4320 - e.y[i] * 2240 / peak) / 15 - 64;
            QVERIFY2(near(img, x * scale, yx * scale, isGreen), qPrintable(QString::number(i)));
            QVERIFY2(near(img, x * scale, yy * scale, isOrange), qPrintable(QString::number(i)));
        }
        // Nothing of the curves outside the span of the time axis.
        for (int y = 0; y < img.height(); ++y)
            for (int x : {0, 20 * scale, 530 * scale})
                QVERIFY(!isGreen(img.pixel(x, y)) && !isOrange(img.pixel(x, y)));

        QSvgRenderer renderer(contents(svg));
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.defaultSize(), QSize(537, 249));
        const QByteArray text = contents(svg);
        QVERIFY(text.contains("#00c000") && text.contains("#ff8000"));
        // Rendered, the SVG shows the curves too.
        QImage drawn(537, 249, QImage::Format_ARGB32);
        drawn.fill(Qt::white);
        QPainter p(&drawn);
        renderer.render(&p);
        p.end();
        QVERIFY(count(drawn, greenish) > 300 && count(drawn, orangeish) > 300);
    }

    // The phase portrait: the start marked, the disaster's jump in the y
    // colour, nothing of it without a disaster.
    void phasePortrait_data() {
        QTest::addColumn<QString>("disaster");
        QTest::addColumn<bool>("jump");
        QTest::newRow("with a disaster") << "20" << true;
        QTest::newRow("without") << QString() << false;
    }
    void phasePortrait() {
        QFETCH(QString, disaster);
        QFETCH(bool, jump);
        const QStringList texts{"0,3", "0,2", "0,05", "0,02", "0,05", "2,5", "1,5", "40"};
        QStringList args = textArgs(texts) << "--phase-png=" + file("phase.png")
                                           << "--phase-svg=" + file("phase.svg") << "--divisor=4";
        if (!disaster.isEmpty())
            args << "--disaster=" + disaster;
        QCOMPARE(exportWith(args).status, 0);
        const QImage img(file("phase.png"));
        QCOMPARE(img.size(), QSize(537, 249));
        QVERIFY(count(img, isGreen) > 200);
        QCOMPARE(count(img, isOrange) > 0, jump);
        const EulerRows e =
            eulerReference({0.3, 0.2, 0.05, 0.02, 0.05, 2.5, 1.5, 40, jump ? 400 : -1, 4});
        double xPeak = 0, yPeak = 0;
        for (std::size_t i = 0; i < e.x.size(); ++i) {
            xPeak = std::max(xPeak, std::fabs(e.x[i]));
            yPeak = std::max(yPeak, std::fabs(e.y[i]));
        }
        // y against x, each largest magnitude at the end of its axis.
        const auto at = [&](int i) {
            return QPointF((480 + e.x[i] * 7440 / xPeak) / 15 - 8,
                           (4320 - e.y[i] * 2240 / yPeak) / 15 - 64);
        };
        for (int i = 1; i < int(e.x.size()); i += 53)
            QVERIFY2(near(img, at(i).x(), at(i).y(), isGreen), qPrintable(QString::number(i)));
        if (jump) {
            // From the step before the disaster to the divided values.
            const QPointF mid = (at(399) + at(400)) / 2;
            QVERIFY(near(img, mid.x(), mid.y(), isOrange));
        }
        // The start: a small square of the foreground colour around (x0, y0),
        // 4 pixels from its centre to each side.
        const auto dark = [](QRgb c) { return qGray(c) < 60; };
        for (const QPointF side : {QPointF(-4, 0), QPointF(4, 0), QPointF(0, -4), QPointF(0, 4)}) {
            const QPointF p = at(0) + side;
            bool found = false;
            for (int d = -1; d <= 1 && !found; ++d)
                for (int f = -1; f <= 1 && !found; ++f)
                    found = dark(img.pixel(int(p.x()) + d, int(p.y()) + f));
            QVERIFY2(found, qPrintable(QStringLiteral("%1 %2").arg(p.x()).arg(p.y())));
        }
        QVERIFY(QSvgRenderer(contents(file("phase.svg"))).isValid());
    }

    // Arguments, the status, and a piece of the message on standard error.
    // Each also names an existing CSV file and a new PNG.
    void failures_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, QStringList args, int status, QString message) {
            QTest::newRow(name) << args << status << message;
        };
        row("k1 letters", {"--k1=abc"}, 2, "--k1=abc");
        row("a2 empty", {"--a2="}, 2, "--a2=:");
        row("t out of range", {"--t=40000"}, 2, "--t=40000");
        row("dt zero", {"--dt=0"}, 2, "--dt=0");
        row("negative span", {"--t=-50"}, 2, "--t=-50");
        row("x0 word", {"--x0=ten"}, 2, "--x0=ten");
        row("unknown option", {"--colour=red"}, 2, "--colour=red");
        row("no value", {"--k2"}, 2, "--k2");
        row("twice", {"--k2=1", "--k2=2"}, 2, "--k2");
        row("stray word", {"graph.png"}, 2, "graph.png");
        row("divisor 9", {"--divisor=9"}, 2, "--divisor=9");
        row("scale 5", {"--scale=5"}, 2, "--scale=5");
        row("disaster text", {"--disaster=soon"}, 2, "--disaster=soon");
        row("diverging", {"--k1=1E+200"}, 3, "Ошибка выполнения '6': Переполнение");
        row("t = 0 with a picture", {"--t=0"}, 3, "Ошибка выполнения '11': Деление на ноль");
        row("all zero with a picture", {"--x0=0", "--y0=0"}, 3, "Ошибка выполнения '11'");
        row("40000 steps", {"--t=4000"}, 3, "Ошибка выполнения '6'");
        row("picture cannot be written", {"--svg=/nonexistent/dir/g.svg"}, 3,
            "/nonexistent/dir/g.svg");
    }
    void failures() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir own;
        const QString csv = own.filePath("kept.csv");
        const QString png = own.filePath("new.png");
        {
            QFile f(csv);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("earlier contents\n");
        }
        QFile::remove(png);
        const Result r = exportWith(args << "--csv=" + csv << "--png=" + png);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.startsWith("morvane-export: ") && r.err.contains(message),
                 qPrintable(r.err));
        QVERIFY2(r.err.count('\n') <= 2, qPrintable(r.err));
        QCOMPARE(contents(csv), QByteArray("earlier contents\n"));
        QVERIFY(!QFile::exists(png));
        QVERIFY(r.out.isEmpty());
        // No temporary left behind either.
        QCOMPARE(QDir(own.path()).entryList(QDir::Files), QStringList{"kept.csv"});
    }

    // The installed program itself: no display, statuses, both streams.
    void program() {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        p.setProcessEnvironment(env);
        p.start(MORVANE_EXPORT_EXE, {"--t=2", "--dt=0,5", "--csv=-", "--decimal-comma"});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(p.readAllStandardError(), QByteArray());
        const QByteArray out = p.readAllStandardOutput();
        QVERIFY2(out.startsWith("step;t;x;y\n0;0;0,10000000000000001;0,10000000000000001\n1;0,5;"),
                 out.constData());
        QCOMPARE(out.count('\n'), 6);

        p.start(MORVANE_EXPORT_EXE, {"--k1=abc", "--csv=-"});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 2);
        QCOMPARE(p.readAllStandardOutput(), QByteArray());
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains("--k1=abc"));

        // Qt's own options are the command's unknown ones.
        p.start(MORVANE_EXPORT_EXE, {"--reverse", "--csv=-"});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 2);
    }
};

QTEST_MAIN(TstExport)
#include "tst_export.moc"
