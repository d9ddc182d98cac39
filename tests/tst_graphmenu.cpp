// The graph's context menu in both windows: when it opens and with what,
// that marking comes first, and what its items save and copy.

#include "common/pausewithevents.h"
#include "eulerreference.h"
#include "export/exportcommand.h"
#include "full/mainfrmfull.h"
#include "light/mainfrmlight.h"
#include "ui/appmessage.h"
#include "ui/graphmenu.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// What the menu offered when it was shown.
struct Shown {
    QStringList texts;
    QList<bool> enabled;
};

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool curve(QRgb c) {
    return c == qRgb(0, 192, 0) || c == qRgb(255, 128, 0);
}
} // namespace

class TstGraphMenu : public QObject {
    Q_OBJECT
    MainFormBase* w = nullptr;
    MainFrmFull* full = nullptr;
    QList<Shown> menus;
    QStringList messages;
    // The item the next menu chooses, by its text; empty: none.
    QString choose;
    // The file the next dialog answers with, and the filter it reports.
    QString answer;
    QString answerFilter;
    QStringList dialogs;
    QTemporaryDir dir;

    void run() { w->StartCount->click(); }
    void rightPress(QPoint at) { QTest::mouseClick(w, Qt::RightButton, {}, at); }
    // Inside the graph box, away from every label.
    static QPoint inGraph() { return QPoint(280, 150); }
    void type(const QStringList& texts) {
        const char* names[] = {"k1Input", "k2Input", "a1Input", "a2Input",
                               "dtInput", "x0Input", "y0Input", "tInput"};
        for (int i = 0; i < texts.size(); ++i)
            w->findChild<QLineEdit*>(names[i])->setText(texts[i]);
    }
    void chooseItem(const QString& item, const QString& path, const QString& filter) {
        choose = item;
        answer = path;
        answerFilter = filter;
        rightPress(inGraph());
    }

private slots:
    void initTestCase_data() {
        QTest::addColumn<bool>("fullWindow");
        QTest::newRow("light") << false;
        QTest::newRow("full") << true;
    }
    void init() {
        QFETCH_GLOBAL(bool, fullWindow);
        PauseWithEvents::setScale(0.0);
        AppMessage::setHandler([this](AppMessage::Icon, const QString& t) { messages << t; });
        GraphMenu::setMenuHandler([this](QMenu* menu) -> QAction* {
            Shown s;
            QAction* chosen = nullptr;
            for (QAction* a : menu->actions()) {
                s.texts << a->text();
                s.enabled << a->isEnabled();
                if (a->text() == choose)
                    chosen = a;
            }
            menus << s;
            return chosen;
        });
        GraphMenu::setFileChooser([this](QWidget*, const QString& caption, const QString& suggested,
                                         const QString& filters, QString* selected) {
            dialogs << caption + '|' + QFileInfo(suggested).fileName() + '|' + filters;
            *selected = answerFilter;
            return answer;
        });
        full = fullWindow ? new MainFrmFull : nullptr;
        w = full ? static_cast<MainFormBase*>(full) : new MainFrmLight;
        if (full) {
            full->Check1->setChecked(false);
            full->Check3->setChecked(false);
        }
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        menus.clear();
        messages.clear();
        dialogs.clear();
        choose.clear();
    }
    void cleanup() {
        delete w;
        GraphMenu::setMenuHandler(nullptr);
        GraphMenu::setFileChooser(nullptr);
        AppMessage::setHandler(nullptr);
        PauseWithEvents::setScale(1.0);
    }

    void items() {
        const QStringList texts{"Сохранить график…", "Копировать график", "Сохранить значения…"};
        rightPress(inGraph());
        QCOMPARE(menus.size(), 1);
        QCOMPARE(menus[0].texts, texts);
        QCOMPARE(menus[0].enabled, (QList<bool>{false, false, false}));
        run();
        rightPress(inGraph());
        QCOMPARE(menus.size(), 2);
        QCOMPARE(menus[1].texts, texts);
        QCOMPARE(menus[1].enabled, (QList<bool>{true, true, true}));
        // Outside the graph box, and with the other buttons: no menu.
        rightPress(QPoint(200, 20));
        QTest::mouseClick(w, Qt::LeftButton, {}, inGraph());
        QTest::mouseClick(w, Qt::MiddleButton, {}, inGraph());
        QCOMPARE(menus.size(), 2);
        QVERIFY(messages.isEmpty());
        QCOMPARE(w->state().disasterX, 0.f);
    }

    // Marking armed: the right button marks, exactly where it is pressed.
    void markingComesFirst() {
        run();
        w->MakeDisaster->click();
        rightPress(QPoint(280, 150)); // 4200 twips: 3720 from the value axis
        QCOMPARE(menus.size(), 0);
        QCOMPARE(w->state().disasterX, 3720.f);
        QCOMPARE(w->state().disasterArmed, std::int16_t(0));
        // Marking over, the next right press opens the menu again.
        rightPress(inGraph());
        QCOMPARE(menus.size(), 1);
        QCOMPARE(w->state().disasterX, 3720.f);
    }

    // Values of the last run, its disaster included, in both styles.
    void saveValues_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<char>("separator");
        QTest::newRow("CSV") << GraphMenu::csvFilter() << ',';
        QTest::newRow("CSV for Excel") << GraphMenu::excelFilter() << ';';
    }
    void saveValues() {
        QFETCH(QString, filter);
        QFETCH(char, separator);
        type({"0,35", "0,25", "0,04", "0,015", "0,05", "3", "2", "30"});
        run();
        w->MakeDisaster->click();
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(280, 150)); // 3720 twips: half way
        run();
        const QString path = dir.filePath(QStringLiteral("values%1.csv").arg(separator));
        chooseItem("Сохранить значения…", path, filter);
        QCOMPARE(dialogs, QStringList{"Сохранить значения|morvane.csv|CSV (*.csv);;CSV для "
                                      "Excel (*.csv)"});
        QVERIFY(messages.isEmpty());
        const auto rows = csvFields(contents(path), separator);
        const EulerRows want = eulerReference({0.35, 0.25, 0.04, 0.015, 0.05, 3, 2, 30, 300, 2});
        QCOMPARE(rows.value(0), (QList<QByteArray>{"step", "t", "x", "y"}));
        QCOMPARE(rows.size(), 602);
        for (int i = 0; i <= 600; ++i)
            QVERIFY2(csvNumber(rows[i + 1][2]) == want.x[i] &&
                         csvNumber(rows[i + 1][3]) == want.y[i],
                     qPrintable(QString::number(i)));

        // A later failed run does not change what is saved.
        w->k1Input->setText("1E+200");
        run();
        QCOMPARE(messages.size(), 1);
        chooseItem("Сохранить значения…", path + ".again", filter);
        QCOMPARE(contents(path + ".again"), contents(path));
    }

    // The picture is the window's graph box, drawn again at twice the size:
    // the command draws the same run the same way, pixel for pixel.
    void savePicture() {
        const QStringList texts{"0,35", "0,25", "0,04", "0,015", "0,05", "3", "2", "30"};
        type(texts);
        run();
        const QString png = dir.filePath("graph.png");
        chooseItem("Сохранить график…", png, GraphMenu::pngFilter());
        QCOMPARE(dialogs.value(0), QString("Сохранить график|morvane.png|Изображение PNG "
                                           "(*.png);;Рисунок SVG (*.svg)"));
        const QImage saved(png);
        QCOMPARE(saved.size(), QSize(1074, 498));

        QByteArray out, err;
        QBuffer o(&out), e(&err);
        o.open(QIODevice::WriteOnly);
        e.open(QIODevice::WriteOnly);
        const QString command = dir.filePath("command.png");
        QCOMPARE(
            ExportCommand::run({"--k1=0,35", "--k2=0,25", "--a1=0,04", "--a2=0,015", "--dt=0,05",
                                "--x0=3", "--y0=2", "--t=30", "--png=" + command, "--scale=2"},
                               o, e),
            0);
        QCOMPARE(saved.convertToFormat(QImage::Format_ARGB32),
                 QImage(command).convertToFormat(QImage::Format_ARGB32));

        // At scale 1 the command's curves lie on the window's own pixels
        // (the full window's current values, in the curves' colours, are a
        // panel over the graph, not part of it).
        if (full)
            full->Check2->setChecked(false);
        QCOMPARE(ExportCommand::run({"--k1=0,35", "--k2=0,25", "--a1=0,04", "--a2=0,015",
                                     "--dt=0,05", "--x0=3", "--y0=2", "--t=30", "--png=" + command},
                                    o, e),
                 0);
        const QImage one = QImage(command).convertToFormat(QImage::Format_ARGB32);
        const QImage window =
            w->grab(QRect(8, 64, 537, 249)).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(one.size(), window.size());
        int curvePixels = 0;
        for (int y = 0; y < one.height(); ++y)
            for (int x = 0; x < one.width(); ++x) {
                QVERIFY2(curve(one.pixel(x, y)) == curve(window.pixel(x, y)),
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                curvePixels += curve(one.pixel(x, y));
            }
        QVERIFY(curvePixels > 500);

        // SVG by the name's type; a name without one takes the filter's.
        chooseItem("Сохранить график…", dir.filePath("graph.svg"), GraphMenu::pngFilter());
        QVERIFY(contents(dir.filePath("graph.svg")).startsWith("<?xml"));
        chooseItem("Сохранить график…", dir.filePath("plain"), GraphMenu::svgFilter());
        QVERIFY(contents(dir.filePath("plain.svg")).contains("<svg"));
        QVERIFY(messages.isEmpty());
    }

    void copyPicture() {
        run();
        chooseItem("Копировать график", QString(), QString());
        const QImage copied = QGuiApplication::clipboard()->image();
        QCOMPARE(copied.size(), QSize(1074, 498));
        QCOMPARE(copied.convertToFormat(QImage::Format_ARGB32),
                 w->graphMenu()->picture().convertToFormat(QImage::Format_ARGB32));
        QVERIFY(dialogs.isEmpty());
    }

    // A file that cannot be written: one message naming it, nothing made.
    void writeFails() {
        run();
        const QString path = dir.filePath("missing/graph.png");
        chooseItem("Сохранить график…", path, GraphMenu::pngFilter());
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(path), qPrintable(messages[0]));
        QVERIFY(!QFile::exists(path));
        // Cancelled: nothing at all.
        chooseItem("Сохранить значения…", QString(), GraphMenu::csvFilter());
        QCOMPARE(messages.size(), 1);
    }

    // After the corrections graph: its records, with their own header.
    void correctionValues() {
        if (!full)
            QSKIP("the corrections graph is the full window's");
        full->Check1->setChecked(true);
        run();
        run();
        full->DrawCorrect->click();
        const ModelState& s = full->state();
        // The graph showed two records; its own statistics opening added a third.
        QCOMPARE(s.correctionCount, std::int16_t(3));
        const QString path = dir.filePath("corrections.csv");
        chooseItem("Сохранить значения…", path, GraphMenu::csvFilter());
        const auto rows = csvFields(contents(path), ',');
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0], (QList<QByteArray>{"correction", "elapsed", "factor"}));
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(rows[i + 1][0].toInt(), i + 1);
            QCOMPARE(csvNumber(rows[i + 1][1]), double(s.elapsedHistory[i]));
            QCOMPARE(csvNumber(rows[i + 1][2]), double(s.factorHistory[i]));
        }
        // A run brings the series back.
        run();
        chooseItem("Сохранить значения…", path, GraphMenu::csvFilter());
        QCOMPARE(csvFields(contents(path), ',').value(0).value(0), QByteArray("step"));
    }
};

QTEST_MAIN(TstGraphMenu)
#include "tst_graphmenu.moc"
