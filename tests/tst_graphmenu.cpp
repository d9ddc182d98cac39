// The graph's context menu in both windows: when it opens and with what,
// that marking comes first, and what its items save and copy.

#include "casetable.h"
#include "common/pausewithevents.h"
#include "export/exportcommand.h"
#include "full/mainfrmfull.h"
#include "light/mainfrmlight.h"
#include "ui/appmessage.h"
#include "ui/graphmenu.h"
#include "ui/notice.h"
#include "ui/shapewidget.h"

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
#include <QTimer>

namespace {
const char* const Texts = "0,35 0,25 0,04 0,015 0,05 3 2 30";
const QStringList Items{"Сохранить график…", "Копировать график", "Сохранить значения…"};
const QString Typed = QStringLiteral("Катастрофа при t = …");
const QString Lab = QStringLiteral("Фазовый портрет…");

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
// The pixels alone, whatever ratio the image was made for.
QImage argb(const QImage& image) {
    QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    pixels.setDevicePixelRatio(1);
    return pixels;
}
bool curve(QRgb c) {
    return c == qRgb(0, 192, 0) || c == qRgb(255, 128, 0);
}
// The command's picture of the run of Texts.
QImage commandPicture(const QString& path, int scale) {
    QByteArray out, err;
    QBuffer o(&out), e(&err);
    o.open(QIODevice::WriteOnly);
    e.open(QIODevice::WriteOnly);
    const QStringList args{"--k1=0,35",     "--k2=0,25",
                           "--a1=0,04",     "--a2=0,015",
                           "--dt=0,05",     "--x0=3",
                           "--y0=2",        "--t=30",
                           "--png=" + path, QStringLiteral("--scale=%1").arg(scale)};
    return ExportCommand::run(args, o, e) == 0 ? argb(QImage(path)) : QImage();
}
} // namespace

class TstGraphMenu : public QObject {
    Q_OBJECT
    MainFormBase* w = nullptr;
    MainFrmFull* full = nullptr;
    // The items of each menu shown, a disabled one after a "-".
    QList<QStringList> menus;
    QList<MainFormBase*> labs; // the windows the lab was opened for
    QStringList messages;
    QStringList dialogs;
    // The item the next menu chooses; the file and filter its dialog answers.
    QString choose, answer, answerFilter;
    QTemporaryDir dir;

    void run() { w->StartCount->click(); }
    void press(Qt::MouseButton button, QPoint at = QPoint(280, 150)) {
        QTest::mouseClick(w, button, {}, at);
    }
    void chooseItem(const QString& item, const QString& path, const QString& filter) {
        choose = item;
        answer = path;
        answerFilter = filter;
        press(Qt::RightButton);
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
        GraphMenu::setMenuHandler([this](QMenu* menu) {
            QStringList shown;
            QAction* chosen = nullptr;
            for (QAction* a : menu->actions()) {
                shown << (a->isEnabled() ? "" : "-") + a->text();
                chosen = a->text() == choose ? a : chosen;
            }
            menus << shown;
            return chosen;
        });
        GraphMenu::setFileChooser([this](QWidget*, const QString& caption, const QString& suggested,
                                         const QString& filters, QString* selected) {
            dialogs << caption + '|' + QFileInfo(suggested).fileName() + '|' + filters;
            *selected = answerFilter;
            return answer;
        });
        labs.clear();
        GraphMenu::setLabOpener([this](MainFormBase* form) { labs << form; });
        full = fullWindow ? new MainFrmFull : nullptr;
        w = full ? static_cast<MainFormBase*>(full) : new MainFrmLight;
        if (full)
            for (QCheckBox* c : {full->Check1, full->Check2, full->Check3})
                c->setChecked(false);
        const QStringList texts = typedRun(Texts).texts;
        const char* fields[] = {"k1Input", "k2Input", "a1Input", "a2Input",
                                "dtInput", "x0Input", "y0Input", "tInput"};
        for (int i = 0; i < 8; ++i)
            w->findChild<QLineEdit*>(fields[i])->setText(texts[i]);
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
        GraphMenu::setLabOpener(nullptr);
        AppMessage::setHandler(nullptr);
        PauseWithEvents::setScale(1.0);
    }

    void items() {
        // Before a run the lab is grey in the menu and Ctrl+F opens nothing;
        // a hint near the graph says a calculation comes first.
        press(Qt::RightButton);
        QVERIFY(Notice::current(w->Graph).isEmpty());
        QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(labs.isEmpty());
        QVERIFY(Notice::current(w->Graph).contains("сначала нажмите «Рассчитать»"));
        run();
        press(Qt::RightButton);
        QCOMPARE(menus, (QList<QStringList>{
                            {"-" + Items[0], "-" + Items[1], "-" + Items[2], "-" + Lab, Typed},
                            Items + QStringList{Lab, Typed}}));
        QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
        chooseItem(Lab, {}, {});
        QCOMPARE(labs, (QList<MainFormBase*>{w, w}));
        menus.removeLast();
        // Outside the graph box, and with the other buttons: no menu.
        press(Qt::RightButton, QPoint(200, 20));
        press(Qt::LeftButton);
        press(Qt::MiddleButton);
        // Nor during a run: a press in its first pause.
        QTimer::singleShot(0, this, [this] { press(Qt::RightButton); });
        run();
        QCOMPARE(menus.size(), 2);
        QVERIFY(messages.isEmpty());
        QCOMPARE(w->state().disasterX, 0.f);
    }

    // Marking armed: the right button marks, exactly where it is pressed,
    // (280, 150) being 4200 twips across, 3720 from the value axis.
    void markingComesFirst() {
        run();
        w->MakeDisaster->click();
        press(Qt::RightButton);
        QCOMPARE(menus.size(), 0);
        QCOMPARE(w->state().disasterX, 3720.f);
        QCOMPARE(w->state().disasterArmed, std::int16_t(0));
        // Marking over, the next right press opens the menu again.
        press(Qt::RightButton);
        QCOMPARE(menus.size(), 1);
        QCOMPARE(w->state().disasterX, 3720.f);
    }

    // Values of the last run, its disaster half way (step 300 of 600)
    // included, in both styles; after a failed run, nothing.
    void saveValues_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<char>("separator");
        QTest::newRow("CSV") << GraphMenu::csvFilter() << ',';
        QTest::newRow("CSV for Excel") << GraphMenu::excelFilter() << ';';
    }
    void saveValues() {
        QFETCH(QString, filter);
        QFETCH(char, separator);
        run();
        w->MakeDisaster->click();
        press(Qt::LeftButton);
        run();
        const QString path = dir.filePath(QStringLiteral("values%1.csv").arg(separator));
        chooseItem(Items[2], path, filter);
        // Under a decimal comma the spreadsheet's variant comes first.
        const bool comma = QLocale::system().decimalPoint() == ",";
        QCOMPARE(dialogs, QStringList{comma ? "Сохранить значения|morvane.csv|CSV для Excel "
                                              "(*.csv);;CSV (*.csv)"
                                            : "Сохранить значения|morvane.csv|CSV (*.csv);;CSV для "
                                              "Excel (*.csv)"});
        const QString mismatch = csvMismatch(contents(path), separator, typedRun(Texts, 300, 2));
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
        QCOMPARE(Notice::current(w->Graph),
                 QStringLiteral("Сохранено: values%1.csv").arg(separator));
        // A failed run leaves an empty box: nothing is offered, not even
        // the earlier run's values; a run refused at reading the same.
        for (const char* k1 : {"1E+200", "abc"}) {
            w->k1Input->setText(k1);
            run();
            chooseItem(Items[2], path + ".again", filter);
            // The lab keeps to the last run that finished.
            QCOMPARE(menus.last(),
                     (QStringList{"-" + Items[0], "-" + Items[1], "-" + Items[2], Lab, Typed}));
        }
        QCOMPARE(messages.size(), 2);
        QVERIFY(!QFile::exists(path + ".again"));
    }

    // The picture is the window's graph box drawn again at twice the size:
    // the command draws the same run the same way, pixel for pixel, and the
    // copy is the same picture.
    void savePicture() {
        run();
        const QString png = dir.filePath("graph.png");
        chooseItem(Items[0], png, GraphMenu::pngFilter());
        QCOMPARE(dialogs, QStringList{"Сохранить график|morvane.png|Изображение PNG "
                                      "(*.png);;Рисунок SVG (*.svg)"});
        const QImage saved = argb(QImage(png));
        QCOMPARE(saved.size(), QSize(1074, 498));
        QCOMPARE(saved, commandPicture(dir.filePath("command.png"), 2));
        chooseItem(Items[1], QString(), QString());
        QCOMPARE(argb(QGuiApplication::clipboard()->image()), saved);
        QCOMPARE(dialogs.size(), 1);

        // At scale 1 the command's curves lie on the window's own pixels
        // (the save's note over the graph put away).
        w->findChild<QLabel*>("Notice")->hide();
        const QImage one = commandPicture(dir.filePath("command.png"), 1);
        const QImage window = argb(w->grab(QRect(8, 64, 537, 249)).toImage());
        QCOMPARE(one.size(), window.size());
        int curvePixels = 0;
        for (int y = 0; y < one.height(); ++y)
            for (int x = 0; x < one.width(); ++x) {
                QVERIFY2(curve(one.pixel(x, y)) == curve(window.pixel(x, y)),
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                curvePixels += curve(one.pixel(x, y));
            }
        QVERIFY(curvePixels > 500);

        // The name's own type decides, in either case; a name without one
        // takes the filter's, another type the filter's content.
        const std::tuple<const char*, QString, const char*> named[] = {
            {"a.svg", GraphMenu::pngFilter(), "a.svg svg"},
            {"b.png", GraphMenu::svgFilter(), "b.png png"},
            {"c.SVG", GraphMenu::pngFilter(), "c.SVG svg"},
            {"d.PNG", GraphMenu::svgFilter(), "d.PNG png"},
            {"e", GraphMenu::svgFilter(), "e.svg svg"},
            {"f", GraphMenu::pngFilter(), "f.png png"},
            {"g.txt", GraphMenu::svgFilter(), "g.txt svg"},
            {"h.txt", GraphMenu::pngFilter(), "h.txt png"},
        };
        QTemporaryDir formats;
        QStringList want;
        for (const auto& [name, filter, made] : named) {
            chooseItem(Items[0], formats.filePath(name), filter);
            want << made;
        }
        QStringList got;
        for (const QString& file : QDir(formats.path()).entryList(QDir::Files)) {
            const QByteArray bytes = contents(formats.filePath(file));
            got << file + (bytes.startsWith("<?xml") && bytes.endsWith("</svg>\n")     ? " svg"
                           : QImage::fromData(bytes, "PNG").size() == QSize(1074, 498) ? " png"
                                                                                       : " ?");
        }
        QCOMPARE(got, want);
        QVERIFY(messages.isEmpty());
    }

    // A file that cannot be written: one message naming it, nothing made;
    // a cancelled dialog: nothing at all.
    void writeFails() {
        run();
        const QString path = dir.filePath("missing/graph.png");
        chooseItem(Items[0], path, GraphMenu::pngFilter());
        chooseItem(Items[2], QString(), GraphMenu::csvFilter());
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(path), qPrintable(messages[0]));
        QVERIFY(!QFile::exists(path));
        QVERIFY(Notice::current(w->Graph).isEmpty());
    }

    // After the corrections graph: its records, with their own header; a
    // run brings the series back.
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
        chooseItem(Items[2], path, GraphMenu::excelFilter());
        const QList<QByteArray> rows = contents(path).split('\n');
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[0], "\xEF\xBB\xBF"
                          "correction;elapsed;factor");
        for (int i = 0; i < 2; ++i) {
            const QList<QByteArray> f = QByteArray(rows[i + 1]).replace(',', '.').split(';');
            QCOMPARE(f.size(), 3);
            QCOMPARE(f[0].toInt(), i + 1);
            QCOMPARE(f[1].toDouble(), double(s.elapsedHistory[i]));
            QCOMPARE(f[2].toDouble(), double(s.factorHistory[i]));
        }
        run();
        chooseItem(Items[2], path, GraphMenu::csvFilter());
        QVERIFY(contents(path).startsWith("step,t,x,y\n"));
    }
};

QTEST_MAIN(TstGraphMenu)
#include "tst_graphmenu.moc"
