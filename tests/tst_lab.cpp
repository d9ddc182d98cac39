// The lab window: when it opens, that it follows the main window's runs and
// writes back only on request, its examples, its readout against figures
// worked out apart, and words instead of garbage where a figure is missing.

#include "casetable.h"
#include "common/numbertext.h"
#include "export/graphpicture.h"
#include "export/labfiles.h"
#include "full/mainfrmfull.h"
#include "guitestutil.h"
#include "lab/labexamples.h"
#include "lab/labreadout.h"
#include "lab/labscenarios.h"
#include "lab/phasefrm.h"
#include "lab/phaseplane.h"
#include "light/mainfrmlight.h"
#include "model/lastrun.h"
#include "strikerule.h"
#include "ui/graphmenu.h"
#include "ui/linewidget.h"
#include "ui/typeddisaster.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <array>

namespace {
// Two runs with unequal inputs, and their figures from a plain Euler loop
// and V written out from its formula (Python's floats and libm), rounded to
// the six digits the window shows.
const QStringList First{"k1Input", "0,35", "k2Input", "0,25", "a1Input", "0,04", "a2Input", "0,015",
                        "dtInput", "0,05", "tInput",  "30",   "x0Input", "3",    "y0Input", "2"};
const QStringList FirstReadout{"Равновесие: x = 16,6667; y = 8,75", "V₀ = -0,392255",
                               "V(T) = -0,337303", "Дрейф V(T) − V₀ = 0,0549511",
                               "Дрейф в единицу времени = 0,0018317"};
const QStringList Second{"k1Input", "0,6", "k2Input", "0,45", "a1Input", "0,05", "a2Input", "0,02",
                         "dtInput", "0,1", "tInput",  "20",   "x0Input", "10",   "y0Input", "4"};
const QStringList SecondReadout{"Равновесие: x = 22,5; y = 12", "V₀ = -1,46794", "V(T) = -1,22375",
                                "Дрейф V(T) − V₀ = 0,244194",
                                "Дрейф в единицу времени = 0,0122097"};

// The boxes dt, t, x0, y0, strike and divisor (k1..α2 are 0,9 0,6 0,3 0,2)
// and the effect.
using Example = std::tuple<const char*, QStringList, std::function<bool(const LabRun&)>>;
// ΔV at a strike with divisor 2 is 1,5·ln 2 − (α2·x + α1·y)/2: about +0,83
// at the trough (t = 7,07) and −0,82 at the peak (t = 11,76), found with
// the plain loop.
const Example Examples[] = {
    {"Euler's spiral",
     {"0,1", "60", "5", "2", "0", "2"},
     [](const LabRun& r) {
         return *r.summary.drift > 1 &&
                LabReadout::lines(r).filter("Период до катастрофы: ")[0].contains(
                    "(циклы растут: ");
     }},
    {"small orbits",
     {"0,005", "60", "3,2", "3", "0", "2"},
     [](const LabRun& r) { return std::abs(*r.summary.periodBefore - 8.55033220107909) < 0.05; }},
    {"strike at the trough",
     {"0,01", "30", "8", "1", "7,07", "2"},
     [](const LabRun& r) { return std::abs(*r.summary.disaster->jump - 0.8306835) < 1e-6; }},
    {"strike at the peak",
     {"0,01", "30", "8", "1", "11,76", "2"},
     [](const LabRun& r) { return std::abs(*r.summary.disaster->jump + 0.8192272) < 1e-6; }},
    {"too large a step", {"0,5", "6", "10", "1", "0", "2"}, [](const LabRun& r) {
         return LabReadout::lines(r).contains(
             "Популяция x стала неположительной на шаге 5 (t = 2,5)");
     }}};

// Where a figure or the whole run cannot be had: k1 k2 α1 α2 dt t x0 y0, and
// the words that say so.
const std::tuple<const char*, std::array<double, 8>, const char*> Undefined[] = {
    {"k1 zero", {0, 0.25, 0.04, 0.015, 0.05, 30, 3, 2}, "Равновесие: нет ("},
    {"α2 negative", {0.35, 0.25, 0.04, -0.015, 0.05, 30, 3, 2}, "Равновесие: нет ("},
    {"x0 zero", {0.35, 0.25, 0.04, 0.015, 0.05, 30, 0, 2}, "V₀ = нет ("},
    {"y0 negative", {0.35, 0.25, 0.04, 0.015, 0.05, 30, 3, -2}, "V₀ = нет ("},
    {"dt zero", {0.35, 0.25, 0.04, 0.015, 0, 30, 3, 2}, "Нет расчёта: Шаг Δt"},
    {"too many steps", {0.35, 0.25, 0.04, 0.015, 0.0001, 30, 3, 2}, "Нет расчёта: Шагов t/Δt"},
    {"overflow", {1e150, 0.25, 1e-150, 0.015, 0.5, 30, 1e150, 2}, "Переполнение на шаге"},
    {"α1 tiny", {0.35, 0.25, 1e-320, 0.015, 0.05, 30, 3, 2}, "Равновесие: нет ("},
    {"k1, k2 tiny",
     {1e-310, 2e-310, 0.04, 0.015, 0.05, 30, 3, 2},
     "Малый период 2π/√(k1·k2) = нет ("}};

QStringList labelTexts(QWidget* w) {
    QStringList out;
    for (auto* l : w->findChildren<QLabel*>())
        if (l->isVisible())
            out << l->text();
    for (auto* e : w->findChildren<QLineEdit*>())
        out << e->text();
    return out;
}
} // namespace

class TstLab : public QObject {
    Q_OBJECT
    std::unique_ptr<GuiFixture> fx;
    MainFormBase* w = nullptr;

    PhaseFrm* lab() const { return w->findChild<PhaseFrm*>(); }
    void run(const QStringList& texts) {
        setTexts(w, texts);
        w->StartCount->click();
    }
    void openLab() { QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier); }
    // Every line of the readout whole, however long its reason and however
    // many lines there are: scrolled to, never cut off nor covered.
    void readoutWhole() {
        auto* readout = lab()->findChild<QScrollArea*>("ReadoutPanel");
        const auto firstCut = [readout] {
            QList<const QLabel*> shown;
            for (const QLabel* line : readout->findChildren<QLabel*>())
                if (line->isVisible())
                    shown << line;
            for (const QLabel* line : shown) {
                if (line->height() < line->heightForWidth(line->width()) ||
                    line->geometry().bottom() >= readout->widget()->height())
                    return line->text();
                for (const QLabel* other : shown)
                    if (other != line && other->geometry().intersects(line->geometry()))
                        return line->text() + " / " + other->text();
            }
            return QString();
        };
        // Once the layout has settled: a cut line stays cut.
        QTRY_COMPARE_WITH_TIMEOUT(firstCut(), QString(), 2000);
    }
    void type(const char* box, const QString& text) {
        auto* e = lab()->findChild<QLineEdit*>(box);
        e->selectAll();
        QTest::keyClicks(e, text);
    }

private slots:
    void initTestCase_data() {
        QTest::addColumn<bool>("fullWindow");
        QTest::newRow("light") << false;
        QTest::newRow("full") << true;
    }
    void init() {
        QFETCH_GLOBAL(bool, fullWindow);
        fx = std::make_unique<GuiFixture>(0.01);
        GraphMenu::setLabOpener([](MainFormBase* m) { PhaseFrm::openFor(m); });
        auto* full = fullWindow ? new MainFrmFull : nullptr;
        if (full)
            for (QCheckBox* c : {full->Check1, full->Check2, full->Check3})
                c->setChecked(false);
        w = full ? static_cast<MainFormBase*>(full) : new MainFrmLight;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }
    void cleanup() {
        delete w;
        GraphMenu::setLabOpener(nullptr);
        fx.reset();
    }

    // Opens only after a run, once per window; follows the next run; leaves
    // the main window's picture as it was.
    void followsRuns() {
        openLab();
        QVERIFY(!lab());
        run(First);
        const QImage before = w->grab().toImage();
        openLab();
        QVERIFY(lab() && lab()->isVisible());
        QCOMPARE(lab()->windowTitle(), QStringLiteral("Фазовый портрет"));
        // Beside the light window on a screen 1280 pixels wide, 4 apart.
        QFETCH_GLOBAL(bool, fullWindow);
        if (!fullWindow)
            QVERIFY(lab()->minimumSizeHint().width() <= 1280 - w->frameGeometry().width() - 4);
        QCOMPARE(lab()->readout().mid(0, 5), FirstReadout);
        // Every digit, and what V is, in the tooltip.
        QVERIFY(lab()
                    ->findChild<QLabel*>("Readout2")
                    ->toolTip()
                    .startsWith("V₀ = -0,392254585363008\nV = α2·x − k2·ln x + α1·y − k1·ln y; на "
                                "точной орбите"));
        QCOMPARE(w->grab().toImage(), before);
        lab()->close();
        run(Second);
        // Again, from the graph's menu this time.
        GraphMenu::setMenuHandler([](QMenu* menu) { return menu->actions()[3]; });
        w->graphMenu()->openFromKeyboard();
        GraphMenu::setMenuHandler(nullptr);
        QVERIFY(lab()->isVisible());
        QCOMPARE(w->findChildren<PhaseFrm*>().size(), 1);
        QCOMPARE(lab()->readout().mid(0, 5), SecondReadout);
        QVERIFY(lab()->readout().contains("Малый период 2π/√(k1·k2) = 12,092"));
    }

    // The lab's values stay its own until "В главное окно" runs them there,
    // disaster and divisor included.
    void writesBackOnRequest() {
        run(First);
        openLab();
        auto* differs = lab()->findChild<QLabel*>("Differs");
        QVERIFY(differs->text().startsWith("Значения — те же"));
        type("k1Box", "0,5");
        type("dtBox", "0.1");
        lab()->findChild<QCheckBox*>("DisasterOn")->setChecked(true);
        type("StrikeBox", "12,3");
        type("DivisorBox", "3");
        QVERIFY(differs->text().startsWith("Значения отличаются"));
        QCOMPARE(w->k1Input->text(), QStringLiteral("0,35"));
        QCOMPARE(w->lastRun()->record().scenario.k1, 0.35);
        QVERIFY(lab()->readout().contains("Равновесие: x = 16,6667; y = 12,5"));
        QTest::mouseClick(lab()->findChild<QPushButton*>("ToMain"), Qt::LeftButton);
        QVERIFY(!differs->text().contains("ещё считает"));
        QTRY_COMPARE(w->lastRun()->record().scenario.k1, 0.5);
        // The view line moved to the strike: step 123 of 300 on the 7440
        // twips of the time axis, from its start at 480: 480 + 123·24,8.
        QCOMPARE(w->ViewLine->x1(), 3530);
        QCOMPARE(w->Label29->text(), QStringLiteral("12,3"));
        const RunRecord& r = w->lastRun()->record();
        QCOMPARE(w->k1Input->text(), QStringLiteral("0,5"));
        QCOMPARE(w->dtInput->text(), QStringLiteral("0,1"));
        QCOMPARE(r.x.size(), std::size_t(301));
        QCOMPARE(r.strike, 123);
        QCOMPARE(r.divisor, std::int16_t(3));
        QCOMPARE(w->CatQuan->text(), QStringLiteral("3"));
        QVERIFY(differs->text().startsWith("Значения — те же"));
    }

    // Each example fills the controls and shows its effect within one run.
    void examples_data() { addRows(Examples); }
    void examples() {
        const auto& [name, boxes, shows] = currentRow(Examples);
        run(First);
        openLab();
        auto* choice = lab()->findChild<QComboBox*>("Example");
        choice->setCurrentIndex(int(&currentRow(Examples) - Examples) + 1);
        emit choice->activated(choice->currentIndex());
        QStringList shown;
        for (const char* box : {"k1Box", "k2Box", "a1Box", "a2Box", "dtBox", "tBox", "x0Box",
                                "y0Box", "StrikeBox", "DivisorBox"})
            shown << lab()->findChild<QLineEdit*>(box)->text();
        QCOMPARE(shown, QStringList({"0,9", "0,6", "0,3", "0,2"}) + boxes);
        QVERIFY(shows(lab()->run()));
        readoutWhole();
    }

    // Words, never "nan" or "inf", on the window and its picture's notes.
    void undefinedInWords_data() { addRows(Undefined); }
    void undefinedInWords() {
        const auto& [name, v, words] = currentRow(Undefined);
        run(First);
        openLab();
        Scenario p{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]};
        lab()->setScenario(p);
        lab()->run();
        QVERIFY(!lab()->grab().isNull());
        readoutWhole();
        QStringList texts = labelTexts(lab());
        const QRegularExpression opening('^' +
                                         QRegularExpression::escape(QString::fromUtf8(words)));
        QVERIFY2(texts.filter(opening).size() == 1, qPrintable(texts.join('\n')));
        texts << QString::fromUtf8(
            LabFiles::csv(lab()->run(), LabReadout::rows(lab()->run()), CsvWriter::Plain));
        QVERIFY2(
            texts.filter(QRegularExpression("nan|inf", QRegularExpression::CaseInsensitiveOption))
                .isEmpty(),
            qPrintable(texts.join('\n')));
    }

    // Explicit Euler's drift halves with the step (order near 1), RK4's
    // falls sixteenfold (near 4).
    void comparedSteps() {
        run(First);
        openLab();
        QTest::mouseClick(lab()->findChild<QPushButton*>("CompareSteps"), Qt::LeftButton);
        auto* table = lab()->findChild<QTableWidget*>("CompareTable");
        QTRY_VERIFY(table->isVisible());
        QCOMPARE(table->rowCount(), 9);
        QCOMPARE(table->item(6, 0)->text(), QStringLiteral("Рунге–Кутта 4"));
        QVERIFY(std::abs(NumberText::toDouble(table->item(0, 3)->text()) - 1) < 0.1);
        QVERIFY(std::abs(NumberText::toDouble(table->item(6, 3)->text()) - 4) < 0.3);
        // The order of x, y at the end (Python's loop): six digits in one
        // cell across the method's rows, all of them in its tooltip.
        QCOMPARE(table->rowSpan(3, 4), 3);
        QCOMPARE(table->item(3, 4)->text(), QStringLiteral("1,14197"));
        QVERIFY(std::abs(NumberText::toDouble(table->item(6, 4)->toolTip()) - 3.86260553841786) <
                1e-9);
        // The overlaid paths: each from the start, 600, 1200 and 2400 steps;
        // the first is the run itself.
        const LabRun& run = lab()->run();
        QCOMPARE(run.compared.size(), std::size_t(9));
        for (const LabRun::Path& path : run.compared) {
            QCOMPARE(path.x.size(), std::size_t((600 << path.halving) + 1));
            QCOMPARE(QList<double>({path.x[0], path.y[0]}), QList<double>({3, 2}));
        }
        QVERIFY(run.compared[0].x == run.x && run.compared[0].y == run.y);
    }

    // The disaster's block, by the plain loop: the step into t = 7,07 from
    // (8; 1), then halved. A press on the strip moves the disaster there;
    // the values go out as CSV with the readout.
    void disasterBlockAndStrip() {
        run(First);
        openLab();
        auto* choice = lab()->findChild<QComboBox*>("Example");
        emit choice->activated(3);
        QCOMPARE(lab()->readout().mid(lab()->readout().size() - 3),
                 QStringList({"До катастрофы: x = 0,841145; y = 0,832818; V = 0,686515",
                              "После катастрофы: x = 0,420573; y = 0,416409; V = 1,5172",
                              "Скачок ΔV = 0,830683"}));
        // The strip: ΔV = (k1 + k2)·ln 2 − (α2·x + α1·y)/2 along the run
        // without the disaster, which a plain loop gives after it.
        const LabRun& r = lab()->run();
        double x = 8, y = 1;
        for (int n = 1; n <= 3000; ++n) {
            const double xn = ((x * 0.9) - (x * 0.3) * y) * 0.01 + x;
            y = ((x * 0.2) * y + (-0.6) * y) * 0.01 + y;
            x = xn;
            if (n == 706 || n == 2500)
                QCOMPARE(r.jumps[std::size_t(n)], 1.5 * std::log(2.0) - (0.2 * x + 0.3 * y) / 2);
        }
        QWidget* strip = lab()->findChild<QWidget*>("JumpStrip");
        QTest::mouseClick(strip, Qt::LeftButton, {},
                          QPoint(strip->width() * 3 / 4, strip->height() / 2));
        const double moved =
            NumberText::toDouble(lab()->findChild<QLineEdit*>("StrikeBox")->text());
        QVERIFY(moved > 20 && moved < 24);
        QCOMPARE(lab()->run().strike, int(std::lround(moved / 0.01)));

        QTemporaryDir dir;
        QString path = dir.filePath("lab.csv");
        GraphMenu::setMenuHandler([](QMenu* menu) { return menu->actions()[2]; });
        GraphMenu::setFileChooser(
            [&](QWidget*, const QString&, const QString&, const QString&, QString* filter) {
                *filter = GraphMenu::excelFilter();
                return path;
            });
        lab()->openMenu(QPoint());
        // The menu closed without a choice does nothing; the copy puts the
        // picture on the clipboard.
        GraphMenu::setMenuHandler([](QMenu*) { return nullptr; });
        lab()->openMenu(QPoint());
        QGuiApplication::clipboard()->clear();
        GraphMenu::setMenuHandler([](QMenu* menu) { return menu->actions()[1]; });
        lab()->openMenu(QPoint());
        QVERIFY(!QGuiApplication::clipboard()->image().isNull());
        // And the picture, as SVG by its name.
        GraphMenu::setMenuHandler([](QMenu* menu) { return menu->actions()[0]; });
        const QString svg = dir.filePath("lab.svg");
        path = svg;
        lab()->openMenu(QPoint());
        path = dir.filePath("lab.csv");
        GraphMenu::setMenuHandler(nullptr);
        GraphMenu::setFileChooser(nullptr);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split('\n');
        QCOMPARE(lines.mid(0, 2),
                 QStringList({"величина;значение;примечание", "метод;\"явный Эйлер\""}));
        // Parameters as typed; the step 707 of 0,01 as a person writes it.
        for (const char* pair : {"k1;0,9", "α2;0,2", "Δt;0,01", "t;30", "y0;1", "делитель;2"})
            QVERIFY2(lines.contains(QString::fromUtf8(pair)), pair);
        QCOMPARE(lines.filter(QRegularExpression("^\"Скачок ΔV\";-?\\d+,\\d+$")).size(), 1);
        QCOMPARE(lines.filter(QRegularExpression("^\\d+;")).size(), 3001);
        QVERIFY(lines.contains("шаг;t;x;y"));
        QFile picture(svg);
        QVERIFY(picture.open(QIODevice::ReadOnly));
        const QByteArray drawn = picture.readAll();
        QVERIFY(drawn.contains("E (3; 3)"));
        // The plane and the strip under it, as the window shows them.
        const QWidget* plane = lab()->findChild<QWidget*>("Plane");
        QVERIFY(drawn.contains(QStringLiteral("<svg width=\"%1\" height=\"%2\"")
                                   .arg(plane->width())
                                   .arg(plane->height() + strip->height() + 22)
                                   .toLatin1()));
    }

    // An example's disaster, with the divisor the window starts with.
    void writesBackExample() {
        run(First);
        openLab();
        emit lab()->findChild<QComboBox*>("Example")->activated(3);
        QTest::mouseClick(lab()->findChild<QPushButton*>("ToMain"), Qt::LeftButton);
        QTRY_COMPARE(w->lastRun()->record().scenario.k1, 0.9);
        QVERIFY(fx->messages.isEmpty());
        QCOMPARE(w->lastRun()->record().strike, 707);
        QCOMPARE(w->lastRun()->record().divisor, std::int16_t(2));
        QCOMPARE(w->Label29->text(), QStringLiteral("7,07"));
    }

    // The picture's graduation and what it overlays, read from its SVG: the
    // trough example's path reaches x ≈ 17,3 and y ≈ 13,6, so both axes run
    // from 0 in steps of 5, to 20 and to 15 (a third 0 is the strip's); the
    // compared steps replace the path (x colour) with the three methods' colours.
    void pictureContents() {
        LabPicture::Style style;
        style.font = GraphPicture::windowFont();
        const LabRun run = LabRun::of(LabExamples::all()[2].params, false);
        const auto texts = [&](bool compare) {
            style.compare = compare;
            const QString svg = QString::fromUtf8(
                LabFiles::svg(compare ? LabRun::of(run.params, true) : run, style, {700, 560}));
            QStringList found;
            for (const auto& m : QRegularExpression(">([^<]*)</text>").globalMatch(svg))
                found << m.captured(1).trimmed();
            // Long texts come in pieces: all of them, run together.
            found << QString(svg).remove(QRegularExpression("<[^>]*>|\\s"));
            for (const char* colour : {"#00c000", "#d55e00", "#cc79a7", "#202020"})
                if (svg.contains(QLatin1String(colour)))
                    found << colour;
            return found;
        };
        const QStringList plain = texts(false);
        for (const auto& [label, times] : {std::pair{"0", 3},
                                           {"5", 2},
                                           {"10", 2},
                                           {"15", 2},
                                           {"20", 1},
                                           {"x", 1},
                                           {"y", 1},
                                           {"t = 30", 1}})
            QVERIFY(plain.join('|').contains(
                QStringLiteral("k1 = 0,9; k2 = 0,6; α1 = 0,3; α2 = 0,2; Δt = 0,01; t = 30; x0 = 8; "
                               "y0 = 1; явный Эйлер; катастрофа при t = 7,07, делитель 2")
                    .remove(' ')));
        for (const char* key : {"расчёт: явный Эйлер", "катастрофа: деление на 2",
                                "точная орбита V = V₀", "нуль-изоклины", "E — равновесие"})
            QVERIFY2(plain.join('|').contains(QString::fromUtf8(key).remove(' ')), key);
        const QStringList compared = texts(true);
        QVERIFY(compared.contains("Рунге–Кутта 4") && !plain.contains("Рунге–Кутта 4"));
        for (const char* colour : {"#d55e00", "#cc79a7", "#202020"})
            QVERIFY2(compared.contains(colour), colour);
    }

    // A slider's tick is a round step of its span; a typed value outside
    // the span moves it; whole numbers are clamped and round ties to even.
    void slidersAndBoxes() {
        run(First);
        openLab();
        auto* slider = lab()->findChild<QSlider*>("k1Slider");
        auto* box = lab()->findChild<QLineEdit*>("k1Box");
        // The slider with the keyboard's focus is tinted, so that a keyboard
        // user sees which one the arrows move.
        const QImage unfocused = slider->grab().toImage();
        lab()->activateWindow();
        slider->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(slider->hasFocus());
        QVERIFY(slider->grab().toImage().pixel(1, 1) != unfocused.pixel(1, 1));
        slider->setValue(100); // k1 = 0,35: the span is 0..1 in steps of 0,005
        QCOMPARE(box->text(), QStringLiteral("0,5"));
        QCOMPARE(lab()->readout().first(), QStringLiteral("Равновесие: x = 16,6667; y = 12,5"));
        type("k1Box", "5");
        QCOMPARE(slider->value(), 100); // now 0..10 in steps of 0,05
        type("k1Box", "0,25");
        QCOMPARE(slider->value(), 125); // re-centred: 0..0,5 in steps of 0,002
        QCOMPARE(lab()->scenario().k1, 0.25);
        type("DivisorBox", "9");
        type("tBox", "12,5");
        QTest::keyClick(lab()->findChild<QLineEdit*>("tBox"), Qt::Key_Return);
        QCOMPARE(lab()->scenario().divisor, 8);
        type("DivisorBox", "3");
        auto* divisors = lab()->findChild<QSlider*>("DivisorSlider");
        QCOMPARE(divisors->value(), 1);
        // Every divisor a main window has, its scroll bar's and its picture's.
        QList<int> offered;
        for (int i = divisors->minimum(); i <= divisors->maximum(); ++i) {
            divisors->setValue(i);
            offered << lab()->scenario().divisor;
        }
        QCOMPARE(offered, (QList<int>{2, 3, 4, 5, 6, 7, 8, 1000}));
        QCOMPARE(lab()->scenario().span, 12.0);
        QCOMPARE(w->k1Input->text(), QStringLiteral("0,35"));
    }

    // A press on the plane moves the start there, and only in the lab.
    void pressMovesStart() {
        run(First);
        openLab();
        QWidget* plane = lab()->findChild<QWidget*>("Plane");
        const QString x0 = lab()->findChild<QLineEdit*>("x0Box")->text();
        QTest::mouseClick(plane, Qt::LeftButton, {}, plane->rect().center());
        QVERIFY(lab()->findChild<QLineEdit*>("x0Box")->text() != x0);
        QCOMPARE(lab()->scenario().x0,
                 NumberText::toDouble(lab()->findChild<QLineEdit*>("x0Box")->text()));
        QCOMPARE(w->x0Input->text(), QStringLiteral("3"));
    }

    // The same step struck by the lab's run, by writing back and by a time
    // typed into the main window, for every row of the rule.
    void strikeRuleEverywhere_data() { addRows(StrikeRule); }
    void strikeRuleEverywhere() {
        const auto& [name, dt, t, time, step] = currentRow(StrikeRule);
        run(First);
        Scenario s{0.35, 0.25, 0.04, 0.015, dt, t, 3, 2};
        s.disaster = true;
        s.strikeTime = time;
        QCOMPARE(LabRun::of(s, false).strike, step);
        QVERIFY(w->runWith(s));
        QTRY_COMPARE(w->lastRun()->record().scenario.dt, dt);
        QCOMPARE(w->lastRun()->record().strike, step);
        // Typed after a run of that span: marked where it strikes, or refused.
        s.disaster = false;
        QVERIFY(w->runWith(s));
        QTRY_VERIFY(!w->isBusy() && w->lastRun()->record().strike == -1);
        QStringList answers{NumberText::fromDouble(time)};
        TypedDisaster::setAsker([&answers](QWidget*, const QString&, const QString&, bool* ok) {
            return (*ok = !answers.isEmpty()) ? answers.takeFirst() : QString();
        });
        TypedDisaster::mark(w);
        TypedDisaster::setAsker(nullptr);
        QCOMPARE(fx->messages.size(), step >= 1 ? 0 : 1);
        w->StartCount->click();
        QTRY_VERIFY(!w->isBusy());
        QCOMPARE(w->lastRun()->record().strike, step);
    }

    // The full window's picture divides by 1000: the lab shows and computes
    // with 1000 and writes 1000 back.
    void divisor1000RoundTrip() {
        auto* full = qobject_cast<MainFrmFull*>(w);
        if (!full)
            QSKIP("the picture is the full window's");
        run(First);
        TypedDisaster::setAsker([](QWidget*, const QString&, const QString&, bool* ok) {
            *ok = true;
            return QStringLiteral("12");
        });
        TypedDisaster::mark(w);
        TypedDisaster::setAsker(nullptr);
        full->Image1_Click();
        w->StartCount->click();
        QTRY_VERIFY(!w->isBusy());
        QCOMPARE(w->lastRun()->record().divisor, std::int16_t(1000));
        openLab();
        QCOMPARE(lab()->findChild<QLineEdit*>("DivisorBox")->text(), QStringLiteral("1000"));
        QCOMPARE(lab()->run().params.divisor, 1000);
        QVERIFY(lab()->findChild<QLabel*>("Differs")->text().startsWith("Значения — те же"));
        QTest::mouseClick(lab()->findChild<QPushButton*>("ToMain"), Qt::LeftButton);
        QTRY_VERIFY(!w->isBusy() && fx->messages.isEmpty());
        QCOMPARE(w->lastRun()->record().divisor, std::int16_t(1000));
        QCOMPARE(w->lastRun()->record().strike, 240); // 12 / 0,05
        QCOMPARE(lab()->scenario().divisor, 1000);
    }

    // Ticking the disaster on a run without one strikes the middle of the
    // run; a typed huge value leaves no huge span behind; a press on a
    // plane whose run overflowed moves the start to a finite value.
    void tickHugeAndOverflow() {
        run(First); // 600 steps
        openLab();
        lab()->findChild<QCheckBox*>("DisasterOn")->setChecked(true);
        QCOMPARE(lab()->run().strike, 300);
        QCOMPARE(lab()->findChild<QLineEdit*>("StrikeBox")->text(), QStringLiteral("15"));
        auto* slider = lab()->findChild<QSlider*>("k1Slider");
        type("k1Box", "1e300");
        type("k1Box", "0,9");
        QCOMPARE(slider->value(), 90); // 0,9 of 0..2 in steps of 0,01
        slider->setValue(91);
        QCOMPARE(lab()->scenario().k1, 0.91);
        for (const QStringList& texts :
             {QStringList{"k1Box", "1", "k2Box", "0", "a1Box", "0", "a2Box", "0", "dtBox", "0,1",
                          "tBox", "3000", "x0Box", "3", "y0Box", "2"},
              QStringList{"x0Box", "1,5e308"}}) {
            for (int i = 0; i + 1 < texts.size(); i += 2)
                type(qPrintable(texts[i]), texts[i + 1]);
            QVERIFY(!lab()->run().stopped.isEmpty());
            auto* plane = lab()->findChild<QWidget*>("Plane");
            QTest::mouseClick(plane, Qt::LeftButton, {}, plane->rect().center());
            QVERIFY(std::isfinite(lab()->scenario().x0) && lab()->scenario().x0 < 1e300);
            QVERIFY(!lab()->grab().isNull());
        }
    }

    // The plane keeps its size when the readout grows by a disaster's
    // block, and a dragged start ends under the pointer.
    void planeHoldsStill() {
        run(First);
        openLab();
        auto* plane = lab()->findChild<QWidget*>("Plane");
        QTRY_VERIFY(plane->height() > 0);
        const int height = plane->height();
        lab()->findChild<QCheckBox*>("DisasterOn")->setChecked(true);
        lab()->run();
        QTest::qWait(20);
        QCOMPARE(plane->height(), height);
        QVERIFY(lab()->findChild<QWidget*>("JumpStrip")->geometry().top() >=
                plane->geometry().bottom());
        const QPoint from = plane->rect().center(), to = from + QPoint(-40, 30);
        QTest::mousePress(plane, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, plane->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(plane, &move);
        QTest::mouseRelease(plane, Qt::LeftButton, {}, to);
        const LabRun& r = lab()->run();
        QTest::qWait(20);
        const QPointF start =
            static_cast<PhasePlane*>(plane)->shownView().at(r.params.x0, r.params.y0);
        QVERIFY2((start - QPointF(to)).manhattanLength() < 2,
                 qPrintable(QStringLiteral("%1 %2").arg(start.x()).arg(start.y())));
        QCOMPARE(plane->height(), height);
    }

    // A burst of key presses ends with the run of the last one.
    void burstEndsOnLast() {
        run(First);
        openLab();
        QTest::mouseClick(lab()->findChild<QPushButton*>("CompareSteps"), Qt::LeftButton);
        auto* slider = lab()->findChild<QSlider*>("x0Slider");
        slider->setFocus();
        for (int i = 0; i < 30; ++i)
            QTest::keyClick(slider, Qt::Key_Right);
        QTest::qWait(0);
        const double x0 = lab()->scenario().x0;
        QCOMPARE(lab()->findChild<QLineEdit*>("x0Box")->text(), NumberText::fromDouble(x0));
        QTRY_COMPARE(lab()->run().params.x0, x0);
        QCOMPARE(x0, 4.5); // 3 + 30 ticks of 0,05 on 0..10
    }

    // Hostile values typed into every box and presses on the plane and the
    // strip never end the program nor show "nan" or "inf". The seed is
    // MORVANE_LAB_FUZZ_SEED if set, the rounds MORVANE_LAB_FUZZ_ROUNDS.
    void hostileValues() {
        run(First);
        openLab();
        const quint32 seed = quint32(fromEnvironment("MORVANE_LAB_FUZZ_SEED", 20261208));
        const int rounds = fromEnvironment("MORVANE_LAB_FUZZ_ROUNDS", 60);
        QRandomGenerator random(seed);
        const QStringList values{"0",      "-0",     "1e308", "-1,7e308", "1e-320", "4,9e-324",
                                 "32767",  "-32768", "1e5",   "0,0001",   "-1",     "2,5",
                                 "1e-200", "abc",    "1e300", "0,3",      "7",      "1000"};
        const QStringList boxes{"k1Box", "k2Box", "a1Box", "a2Box",     "x0Box",
                                "y0Box", "dtBox", "tBox",  "StrikeBox", "DivisorBox"};
        auto* plane = lab()->findChild<QWidget*>("Plane");
        auto* strip = lab()->findChild<QWidget*>("JumpStrip");
        for (int i = 0; i < rounds; ++i) {
            const QString box = boxes[int(random.bounded(boxes.size()))];
            const QString value = values[int(random.bounded(values.size()))];
            type(qPrintable(box), value);
            if (random.bounded(3) == 0)
                lab()->findChild<QCheckBox*>("DisasterOn")->toggle();
            if (random.bounded(4) == 0)
                QTest::mouseClick(lab()->findChild<QPushButton*>("CompareSteps"), Qt::LeftButton);
            const QPoint at(int(random.bounded(plane->width())),
                            int(random.bounded(plane->height())));
            QTest::mouseClick(plane, Qt::LeftButton, {}, at);
            QTest::mouseClick(strip, Qt::LeftButton, {},
                              QPoint(int(random.bounded(strip->width())), strip->height() / 2));
            lab()->run();
            QTest::qWait(0);
            const QString texts = labelTexts(lab()).join('\n');
            QVERIFY2(!texts.contains("nan", Qt::CaseInsensitive) &&
                         !texts.contains("inf", Qt::CaseInsensitive),
                     qPrintable(QStringLiteral("seed %1 round %2: %3 = %4\n%5")
                                    .arg(seed)
                                    .arg(i)
                                    .arg(box, value, texts)));
            QVERIFY(!lab()->grab().isNull());
        }
    }

    // A scenario saved from the lab and opened again gives the same values,
    // the divisor 1000 and the method included, and its title; a file this
    // version cannot read is refused with its reason and changes nothing.
    void scenarioFiles() {
        run(First);
        openLab();
        type("k1Box", "0,45");
        type("DivisorBox", "1000");
        lab()->findChild<QComboBox*>("Method")->setCurrentIndex(2);
        lab()->findChild<QCheckBox*>("DisasterOn")->setChecked(true);
        type("StrikeBox", "12,3");
        const Scenario saved = lab()->scenario();
        // The shipped examples, then the entry for a folder of one's own; an
        // edit after choosing one leaves the box naming none.
        auto* examples = lab()->findChild<QComboBox*>("Example");
        QCOMPARE(examples->count(), 7);
        QCOMPARE(examples->itemText(6), QStringLiteral("Папка со сценариями…"));
        emit examples->activated(2);
        examples->setCurrentIndex(2);
        lab()->findChild<QComboBox*>("Method")->setCurrentIndex(1);
        QCOMPARE(examples->currentIndex(), 0);
        lab()->setScenario(saved);
        QTemporaryDir dir;
        const QString path = dir.filePath("урок.morvane");
        GraphMenu::setFileChooser([&](QWidget*, const QString&, const QString&, const QString&,
                                      QString*) { return path; });
        lab()->saveScenario();
        GraphMenu::setFileChooser(nullptr);
        QCOMPARE(lab()->windowTitle(), QStringLiteral("Фазовый портрет — урок"));
        type("k1Box", "0,7");
        QString chosen = path;
        LabScenarios::setChooser([&](QWidget*) { return chosen; });
        lab()->askScenario();
        QVERIFY(lab()->scenario() == saved);
        QCOMPARE(saved.divisor, 1000);
        QCOMPARE(saved.method, StepMethod::RungeKutta4);
        QVERIFY(lab()->findChild<QLabel*>("Differs")->text().contains(
            QStringLiteral("те же, что в файле «урок.morvane»")));
        QFile newer(chosen = dir.filePath("new.morvane"));
        QVERIFY(newer.open(QIODevice::WriteOnly));
        QFile original(path);
        QVERIFY(original.open(QIODevice::ReadOnly));
        newer.write(original.readAll().replace("\"version\": 1", "\"version\": 2"));
        newer.close();
        type("k1Box", "0,7");
        lab()->askScenario();
        LabScenarios::setChooser(nullptr);
        QCOMPARE(fx->messages.size(), 1);
        QVERIFY(fx->messages[0].text.contains("более новой версией"));
        QCOMPARE(lab()->scenario().k1, 0.7);
        QCOMPARE(lab()->windowTitle(), QStringLiteral("Фазовый портрет — урок"));
    }
};

QTEST_MAIN(TstLab)
#include "tst_lab.moc"
