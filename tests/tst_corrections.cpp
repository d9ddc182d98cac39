#include "casetable.h"
#include "diag/corrections.h"
#include "guitestutil.h"
#include "ui/drawinglayer.h"
#include "ui/shapewidget.h"

// The timed opening of the statistics panel, its corrections, the
// corrections graph, and the two panels' check boxes.
static void runs(MainFrmFull* w, int count) { // ten steps each
    w->tInput->setText("1");
    for (int i = 0; i < count; ++i)
        w->StartCount->click();
}

static bool shown(const QList<QWidget*>& group, bool visible) {
    return std::all_of(group.begin(), group.end(),
                       [&](QWidget* c) { return c->isVisible() == visible; });
}

static QList<QWidget*> statisticsPanel(MainFrmFull* w) {
    return {w->Shape4, w->Shape2, w->Label14, w->Label15, w->Label16, w->Label17, w->Label18};
}

// name, clock step (every reading advances by it; an opening reads twice),
// openings, Label23, Label24
static const std::tuple<const char*, double, int, const char*, const char*> openings[] = {
    {"0.5 s", 0.5, 1, "0,5", "5"},
    {"0.25 s", 0.25, 1, "0,25", "2,5"},
    {"five decimals", 0.123456, 1, "0,12346", "1,23456"},
    {"0.06 s", 0.06, 1, "0,06", "0,6"},
    {"0.03 s", 0.03, 1, "0,03", "0,6"},
    {"no time", 0.0, 1, "0", "0,6"},
    {"0.5 s twice", 0.5, 2, "0,5", "25"},
    {"0.05 s at 0.6, thrice", 0.05, 3, "0,05", "0,6"},
};

// name, records before, Check1
static const std::tuple<const char*, int, bool> graphs[] = {
    {"none", 0, true},
    {"one", 1, true},
    {"two", 2, true},
    {"three", 3, true},
    {"statistics off", 3, false},
};

class TstCorrections : public QObject {
    Q_OBJECT
private slots:
    void labels_data() { addRows(openings); }
    void labels() {
        const auto& [name, step, count, elapsed, factor] = currentRow(openings);
        GuiFixture f(step);
        FullWindow w(openFull());
        runs(w.get(), count);
        QCOMPARE(w->Label23->text(), elapsed);
        QCOMPARE(w->Label24->text(), factor);
        QCOMPARE(w->Label28->text(), QString::number(count));
        QCOMPARE(w->Label26->text(), QStringLiteral("Включена"));
        QCOMPARE(w->Label26->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        QCOMPARE(w->Shape2->heightTwips(), 1095.0f);
    }

    // A day after start one step of a single-precision reading is 7.8 ms:
    // a 3 ms opening must still measure 3 ms, not 0.
    void aDayAfterStart() {
        GuiFixture f;
        auto now = std::make_shared<double>(86400.0);
        Clock::setSource([now] { return *now += 0.003; });
        FullWindow w(openFull());
        runs(w.get(), 1);
        QCOMPARE(w->Label23->text(), QStringLiteral("0,003"));
    }

    // The corrections graph has scales of its own: a mark made after it
    // reads the run's time axis, 500 steps of 14.88 twips.
    void markAfterGraph() {
        GuiFixture f;
        FullWindow w(openFull());
        w->StartCount->click();
        w->StartCount->click();
        w->DrawCorrect->click();
        w->MakeDisaster->click();
        w->Form_MouseDown(Qt::LeftButton, {}, 4200, 3000);
        QCOMPARE(w->Label29->text(), QStringLiteral("25"));
    }

    // The graph's scale reaches the largest value of any record, the first
    // included, elapsed time or factor.
    void scaleFromEveryRecord() {
        for (const auto& [elapsed, factors, peak] :
             {std::tuple{std::vector<float>{5, 2, 3}, std::vector<float>{1, 4, 0.5}, 5.0},
              std::tuple{std::vector<float>{1, 2, 3}, std::vector<float>{6, 4, 0.5}, 6.0}}) {
            ModelState s;
            s.elapsedHistory = elapsed;
            s.factorHistory = factors;
            s.correctionCount = 3;
            QVERIFY(Corrections::beginGraph(s));
            QCOMPARE(s.correctionScales.peakValue, peak);
        }
    }

    void graph_data() { addRows(graphs); }
    void graph() {
        const auto& [name, records, statistics] = currentRow(graphs);
        GuiFixture f(0.03125); // elapsed 1/32 s exactly and factor 0.6: two horizontal lines
        FullWindow w(openFull());
        runs(w.get(), records);
        w->Check1->setChecked(statistics);
        w->DrawCorrect->click();
        const ModelState& s = w->state();
        QVERIFY(w->DrawCorrect->isEnabled() && w->StartCount->isEnabled());
        if (records < 2) {
            QCOMPARE(f.messages.size(), 1);
            QCOMPARE(f.messages[0].icon, AppMessage::Exclamation);
            QCOMPARE(f.messages[0].text, QStringLiteral("Недостаточно данных!"));
            QVERIFY(w->Label12->text() == "0" && s.correctionCount == records);
            return;
        }
        QVERIFY(f.messages.isEmpty());
        QCOMPARE(w->Label12->text(), QStringLiteral("1"));
        QCOMPARE(w->xCur->text() + ' ' + w->yCur->text(), "0,03125 0,6");
        const QImage image = w->drawingLayer()->image();
        for (const QColor colour : {QColor(0, 192, 0), QColor(255, 128, 0)}) {
            int left = image.width(), right = -1;
            QSet<int> rows;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixelColor(x, y).rgb() == colour.rgb()) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                        rows.insert(y);
                    }
            QVERIFY(left == 32 && right == 528);
            QCOMPARE(rows.size(), 1); // nothing of the runs' curves is left
        }
        const int after = records + (statistics ? 1 : 0);
        QVERIFY(s.correctionCount == after && w->Label28->text() == QString::number(after));
        QVERIFY(shown(statisticsPanel(w.get()), statistics));
        // The largest elapsed time and factor of the records drawn (0.6 as a
        // single, written with the digits of a double).
        if (statistics)
            QVERIFY(w->Label16->text() == "0,03125" && w->Label18->text() == "0,600000023841858");
    }

    void panels_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("clicks");
        QTest::newRow("statistics off") << "Check1" << 1;
        QTest::newRow("statistics off and on") << "Check1" << 2;
        QTest::newRow("current values off") << "Check2" << 1;
        QTest::newRow("current values off and on") << "Check2" << 2;
    }
    void panels() {
        QFETCH(QString, box);
        QFETCH(int, clicks);
        GuiFixture f;
        FullWindow w(openFull());
        for (int i = 0; i < clicks; ++i)
            w->findChild<QCheckBox*>(box)->click();
        const QList<QWidget*> current = {w->Label19, w->Label20, w->xCur, w->yCur, w->Shape3};
        QVERIFY(shown(box == "Check1" ? statisticsPanel(w.get()) : current, clicks == 2));
        QCOMPARE(w->Shape2->heightTwips(), 1095.0f);
        QVERIFY(w->Label16->text().isEmpty() && w->xCur->text().isEmpty());
        // A run opens the statistics panel only when asked to, and writes the
        // current values whether they are shown or not.
        runs(w.get(), 1);
        QVERIFY(shown(statisticsPanel(w.get()), w->Check1->isChecked()));
        QVERIFY(shown(current, w->Check2->isChecked()));
        QCOMPARE(w->xCur->text() + ' ' + w->yCur->text(), "0,10941615 0,09139424");
        QCOMPARE(int(w->state().correctionCount), w->Check1->isChecked() ? 1 : 0);
    }
};

QTEST_MAIN(TstCorrections)
#include "tst_corrections.moc"
