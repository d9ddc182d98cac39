#include "casetable.h"
#include "guitestutil.h"

#include "full/picturebox.h"
#include "light/mainfrmlight.h"
#include "ui/drawinglayer.h"
#include "ui/linewidget.h"

#include <QScrollBar>

static std::vector<double> values(const Series& s) {
    return {s.data(), s.data() + s.size()};
}

// Every case runs against both windows: the global table picks the window.
class TstMarking : public QObject {
    Q_OBJECT
    std::unique_ptr<GuiFixture> fx;
    MainFormBase* w = nullptr;
    MainFrmFull* full = nullptr;

    ModelState& s() { return w->state(); }
    void run() { w->StartCount->click(); }
    void mark(double x, double y = 3000) {
        w->MakeDisaster->click();
        w->Form_MouseDown(Qt::LeftButton, {}, x, y);
    }
    std::vector<double> xs() { return values(s().xSeries); }
    std::vector<double> ys() { return values(s().ySeries); }
    QLine viewLine() {
        return QLine(w->ViewLine->x1(), w->ViewLine->y1(), w->ViewLine->x2(), w->ViewLine->y2());
    }
    void unmarked() {
        QCOMPARE(s().disasterX, 0.f);
        QCOMPARE(viewLine(), QLine(480, 1200, 480, 4320));
        QCOMPARE(w->Label29->text(), QString("Её нет!"));
    }
    void scroll(QAbstractSlider::SliderAction action, int times) {
        for (int i = 0; i < times; ++i)
            w->VScroll1->triggerAction(action);
    }

private slots:
    void initTestCase_data() {
        QTest::addColumn<bool>("fullWindow");
        QTest::newRow("light") << false;
        QTest::newRow("full") << true;
    }
    void init() {
        QFETCH_GLOBAL(bool, fullWindow);
        fx = std::make_unique<GuiFixture>();
        full = fullWindow ? new MainFrmFull : nullptr;
        w = full ? static_cast<MainFormBase*>(full) : new MainFrmLight;
        if (full) {
            full->Check1->setChecked(false);
            full->Check3->setChecked(false);
        }
        openShown(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }
    void cleanup() {
        w->close();
        flushDeletes();
        fx.reset();
    }

    void noGraph() {
        mark(4200);
        QCOMPARE(fx->messages.size(), 1);
        QCOMPARE(fx->messages[0].icon, AppMessage::Exclamation);
        QCOMPARE(fx->messages[0].text, QString("Нет графика!"));
        unmarked();
    }

    void press_data() {
        QTest::addColumn<bool>("armed");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("inside") << true << QPoint(4200, 3000) << true;
        QTest::newRow("top left corner") << true << QPoint(481, 1041) << true;
        QTest::newRow("bottom right corner") << true << QPoint(7919, 4279) << true;
        QTest::newRow("left edge") << true << QPoint(480, 3000) << false;
        QTest::newRow("right edge") << true << QPoint(7920, 3000) << false;
        QTest::newRow("top edge") << true << QPoint(4200, 1040) << false;
        QTest::newRow("bottom edge") << true << QPoint(4200, 4280) << false;
        QTest::newRow("idle") << false << QPoint(4200, 3000) << false;
    }
    void press() {
        QFETCH(bool, armed);
        QFETCH(QPoint, at);
        QFETCH(bool, accepted);
        run();
        fx->pauses.clear();
        if (armed)
            w->MakeDisaster->click();
        w->Form_MouseDown(Qt::LeftButton, {}, at.x(), at.y());
        QCOMPARE(s().disasterArmed, std::int16_t(0));
        QVERIFY(fx->messages.isEmpty());
        // An accepted press lets the moved line repaint for 0.01 s.
        QCOMPARE(fx->pauses, accepted ? QList<double>{0.01} : QList<double>{});
        if (accepted) {
            QCOMPARE(s().disasterX, float(at.x() - 480));
            QCOMPARE(viewLine(), QLine(at.x(), 1200, at.x(), 4320));
            return;
        }
        // Marking mode is over: the next press inside the band is ignored.
        w->Form_MouseDown(Qt::LeftButton, {}, 4200, 3000);
        unmarked();
    }

    void scrollBar() {
        scroll(QAbstractSlider::SliderSingleStepSub, 6);
        QCOMPARE(w->CatQuan->text(), QString("8"));
        QCOMPARE(s().disasterFactor, std::int16_t(8));
        scroll(QAbstractSlider::SliderSingleStepSub, 2);
        QCOMPARE(w->CatQuan->text(), QString("8"));
        scroll(QAbstractSlider::SliderSingleStepAdd, 9);
        QCOMPARE(w->CatQuan->text(), QString("2"));
        QCOMPARE(s().disasterFactor, std::int16_t(2));
    }

    // A mark at X = 4200 is t = 25, step 250 of the texts at load.
    void divisor_data() {
        QTest::addColumn<int>("stepsUp");
        QTest::addColumn<bool>("imageFirst");
        QTest::addColumn<bool>("imageAfter");
        QTest::addColumn<int>("factor");
        QTest::newRow("scroll bar at load") << 0 << false << false << 2;
        QTest::newRow("scroll bar up two") << 2 << false << false << 4;
        QTest::newRow("Image1 then mark") << 0 << true << false << 2;
        QTest::newRow("mark then Image1") << 0 << false << true << 1000;
    }
    void divisor() {
        QFETCH(int, stepsUp);
        QFETCH(bool, imageFirst);
        QFETCH(bool, imageAfter);
        QFETCH(int, factor);
        if ((imageFirst || imageAfter) && !full)
            QSKIP("only the full window has Image1");
        run();
        const auto x0 = xs(), y0 = ys();
        scroll(QAbstractSlider::SliderSingleStepSub, stepsUp);
        if (imageFirst)
            QTest::mouseClick(full->Image1, Qt::LeftButton);
        mark(4200);
        if (imageAfter)
            QTest::mouseClick(full->Image1, Qt::LeftButton);
        QCOMPARE(w->Label29->text(), QString("25"));
        QCOMPARE(int(s().disasterFactor), factor);
        QCOMPARE(w->CatQuan->text(), QString::number(2 + stepsUp));
        run();
        QCOMPARE(xs()[250], x0[250] / factor);
        QCOMPARE(ys()[250], y0[250] / factor);
        QVERIFY(qAbs(x0[250] / 2 - 0.539310316) < 1e-8);
    }

    // Unequal inputs: 49.6 twips a step, so X = 3704 is t = 6.5, shown as 6
    // (ties to even), and strikes step 65 with the divisor 3.
    void unequal() {
        QVERIFY(setTexts(w, unequalTexts));
        run();
        scroll(QAbstractSlider::SliderSingleStepSub, 1);
        mark(3704);
        QCOMPARE(w->Label29->text(), QString("6"));
        run();
        const Plain p = plainEuler(0.6, 0.5, 0.3, 0.4, 0.1, 150, 2, 0.5, 65, 3);
        const auto x = xs(), y = ys();
        QVERIFY(fx->messages.isEmpty());
        for (int i = 0; i <= 150; ++i)
            QVERIFY2(nearlyEqual(x[i], p.x[i]) && nearlyEqual(y[i], p.y[i]),
                     qPrintable(QString::number(i)));
    }

    void stepZero() {
        run();
        const auto x0 = xs(), y0 = ys();
        mark(487);
        QCOMPARE(s().disasterX, 7.f);
        QCOMPARE(w->Label29->text(), QString("0"));
        run();
        QVERIFY(xs() == x0 && ys() == y0);
    }

    void newSpan() {
        w->tInput->setText("100");
        run();
        const auto x0 = xs();
        w->tInput->setText("50");
        run();
        mark(4200);
        w->tInput->setText("100");
        run();
        // The mark is a place on the axis: half the span, now step 500.
        QCOMPARE(xs()[500], x0[500] / 2);
        QCOMPARE(viewLine(), QLine(4200, 1200, 4200, 4320));
    }

    // A mark in the pause after a run has cleared the graph only sets the
    // mark: the previous run's curves do not come back under the new ones.
    void markWhileClearing() {
        run();
        w->tInput->setText("20");
        w->MakeDisaster->click();
        later(w, 1, [this] { w->Form_MouseDown(Qt::LeftButton, {}, 4200, 3000); });
        run();
        // 200 steps: two curves of 200 segments and the scale's 20 ticks.
        QCOMPARE(w->drawingLayer()->record().segmentCount(), std::size_t(2 * 200 + 20));
        QCOMPARE(s().disasterX, 3720.f);
    }

    // Marks redraw what is there already: the record does not grow.
    void recordAfterMarks() {
        w->tInput->setText("3276");
        run();
        const auto& record = w->drawingLayer()->record();
        // 32760 steps: two curves, the scale's 20 ticks and 20 numbers.
        QCOMPARE(record.ops().size(), std::size_t(2 * 32760 + 40));
        for (int i = 0; i < 20; ++i)
            mark(1000 + 300 * i);
        QCOMPARE(record.ops().size(), std::size_t(2 * 32760 + 40));
    }

    // Presses delivered through the window, so that whatever lies at the
    // point receives them as it would from the user.
    void routing_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("reaches");
        QTest::newRow("surface") << "" << int(Qt::LeftButton) << true;
        QTest::newRow("surface, right button") << "" << int(Qt::RightButton) << true;
        QTest::newRow("graph shape") << "Graph" << int(Qt::LeftButton) << true;
        QTest::newRow("time axis") << "Line1" << int(Qt::MiddleButton) << true;
        QTest::newRow("label") << "Label13" << int(Qt::LeftButton) << false;
        QTest::newRow("transparent label") << "Label29" << int(Qt::LeftButton) << false;
        QTest::newRow("text box") << "k1Input" << int(Qt::LeftButton) << false;
        QTest::newRow("picture") << "Image2" << int(Qt::LeftButton) << false;
        QTest::newRow("frame") << "Frame1" << int(Qt::LeftButton) << false;
        QTest::newRow("status bar") << "StatusWindow" << int(Qt::LeftButton) << false;
    }
    void routing() {
        QFETCH(QString, target);
        QFETCH(int, button);
        QFETCH(bool, reaches);
        QPoint at(280, 200); // 4200, 3000 twips: inside the band
        if (!target.isEmpty()) {
            auto* t = w->findChild<QWidget*>(target);
            if (!t)
                QSKIP("not in this window");
            at = t->mapTo(w, QPoint(2, t->height() / 2));
        }
        run();
        w->MakeDisaster->click();
        QTest::mouseClick(w->windowHandle(), Qt::MouseButton(button), {}, at);
        // A press that reaches the window always ends marking mode.
        QCOMPARE(s().disasterArmed, std::int16_t(reaches ? 0 : -1));
        if (target.isEmpty())
            QCOMPARE(s().disasterX, 3720.f);
    }
};

QTEST_MAIN(TstMarking)
#include "tst_marking.moc"
