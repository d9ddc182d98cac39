// What a first-time user ran into: closing the loader or pressing a key
// while it waits, marks that darken the time numbers, and where the
// keyboard focus ends up after a run. (Qt's own options on the command
// line are among tst_startup's rows.)

#include "casetable.h"
#include "guitestutil.h"

#include "light/mainfrmlight.h"
#include "startup/loaderfrm.h"
#include "ui/drawinglayer.h"
#include "ui/graphmenu.h"
#include "ui/windowplacement.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>

namespace {
// Window, t, k1, then the messages the run shows; -1 draws the corrections
// graph after two runs instead.
const std::tuple<const char*, bool, const char*, const char*, int> focusCases[] = {
    {"light, run", false, "50", "0,1", 0},
    {"light, refused reading", false, "50", "abc", 1},
    {"light, error report", false, "0", "0,1", 1},
    {"full, run", true, "50", "0,1", 0},
    {"full, error report", true, "0", "0,1", 1},
    {"full, corrections graph", true, "50", "0,1", -1},
};

// Full window, pauses on, the slider (a pause is 4 ms plus 1 ms a unit), t,
// k1, the messages the run shows, and the frames the run makes on a clock
// that moves only by its pauses. With the progress bar on the full run
// makes three frames besides those of its drawing pass: the bar's second
// change in the calculation comes with no frame ever made, that is late;
// then the end of each pass. In the drawing pass a frame is due after
// ceil(33 / pause) pauses: t = 15 (150 steps) gives 150 / 9 = 16 at 4 ms,
// 150 / 3 = 50 at 11 ms (33 ms apart), one a step at 44 ms. With t = 5 the
// first step already moves the bar; the overflow's report makes the one frame.
// -1: the real clock, whose frames are not counted.
const std::tuple<const char*, bool, bool, int, const char*, const char*, int, int> frameCases[] = {
    {"full, pauses of 4 ms", true, true, 0, "15", "0,1", 0, 3 + 16},
    {"full, pauses of 11 ms", true, true, 7, "15", "0,1", 0, 3 + 50},
    {"full, pauses of 44 ms", true, true, 40, "15", "0,1", 0, 3 + 150},
    {"full, no pauses", true, false, 0, "15", "0,1", 0, 3},
    {"full, overflow reported", true, true, 0, "5", "1E+200", 1, 1},
    {"light", false, false, 0, "15", "0,1", 0, 0},
    {"light, real clock", false, false, 0, "15", "0,1", 0, -1},
    {"full, real clock", true, false, 0, "15", "0,1", 0, -1},
};

// Full window, k1, t, then the selection made in k2's "0,25": start and
// length, backwards when negative; last, whether the disaster button is
// pressed during the drawing pass ("Нет графика!"). "abc" and t = 0 end
// the run with a message box.
const std::tuple<const char*, bool, const char*, const char*, int, int, bool> selectionCases[] = {
    {"light, all", false, "0,1", "50", 0, 4, false},
    {"light, backwards", false, "0,1", "50", 3, -2, false},
    {"light, cursor alone", false, "0,1", "50", 2, 0, false},
    {"light, box, backwards", false, "abc", "50", 4, -4, false},
    {"light, box, forwards", false, "abc", "50", 1, 2, false},
    {"full, backwards", true, "0,1", "10", 3, -3, false},
    {"full, box, backwards", true, "0,1", "0", 3, -2, false},
    {"full, box, from the first character", true, "0,1", "0", 0, 3, false},
    {"full, box in the pauses, backwards", true, "0,1", "10", 3, -2, true},
    {"full, box in the pauses, forwards", true, "0,1", "10", 0, 3, true},
};

// What the screen shows of the window, against the window painted afresh.
QImage onScreen(QWidget* w) {
    return w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}
QImage painted(QWidget* w) {
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Acts on the loader once, inside the first pass over events of its wait.
class DuringWait : public QObject {
public:
    explicit DuringWait(std::function<void(LoaderFrm*)> act) : m_act(std::move(act)) {}

    bool eventFilter(QObject* o, QEvent* e) override {
        auto* loader = qobject_cast<LoaderFrm*>(o);
        if (loader && e->type() == QEvent::Show && m_act) {
            QPointer<LoaderFrm> guard(loader);
            later(loader, 1, [guard, act = std::exchange(m_act, nullptr)] {
                if (guard)
                    act(guard);
            });
        }
        return false;
    }

private:
    std::function<void(LoaderFrm*)> m_act;
};

QStringList openWindows() {
    QStringList names;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            names << w->objectName();
    names.sort();
    return names;
}

void closeAll() {
    for (QWidget* w : QApplication::topLevelWidgets())
        w->close();
    flushDeletes();
}

// The four texts at load give t = 50 and dt = 0.1; a mark at x = 4200.
void markOnce(MainFormBase* w) {
    w->MakeDisaster_Click();
    w->Form_MouseDown(Qt::LeftButton, Qt::NoModifier, 4200, 2000);
}
} // namespace

class TstRoughEdges : public QObject {
    Q_OBJECT
private slots:
    // The lab beside its main window, 4 pixels apart from its frame (2
    // pixels a side on the offscreen platform's 800-pixel screen): right
    // when the room there holds the least width, else left, narrowed to the
    // room, and left where it was when neither side has room.
    void placedBeside_data() {
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QRect>("placed");
        QTest::newRow("right") << QRect(20, 50, 300, 200) << QRect(326, 48, 400, 300);
        QTest::newRow("narrowed on the right")
            << QRect(20, 50, 500, 200) << QRect(526, 48, 270, 300);
        QTest::newRow("left") << QRect(450, 70, 300, 200) << QRect(40, 68, 400, 300);
        QTest::newRow("no room") << QRect(100, 50, 600, 200) << QRect(7, 9, 400, 300);
    }
    void placedBeside() {
        QFETCH(QRect, main);
        QFETCH(QRect, placed);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        if (screen.left() != 0 || screen.width() != 800 || screen.height() < 400)
            QSKIP("the rows are worked out for the offscreen platform's screen");
        QWidget beside, window;
        beside.setGeometry(main);
        beside.show();
        window.setGeometry(7, 9, 400, 300);
        WindowPlacement::beside(&window, &beside, 250);
        QCOMPARE(window.geometry(), placed);
    }

    // However the loader is dealt with during its wait, the start-up ends
    // with the full window and nothing else on screen.
    void loaderWait_data() {
        QTest::addColumn<QList<int>>("keys"); // empty: close the loader instead
        QTest::newRow("closed") << QList<int>{};
        QTest::newRow("Space") << QList<int>{Qt::Key_Space};
        QTest::newRow("Return") << QList<int>{Qt::Key_Return};
        QTest::newRow("Enter") << QList<int>{Qt::Key_Enter};
        QTest::newRow("Tab, Space") << QList<int>{Qt::Key_Tab, Qt::Key_Space};
        QTest::newRow("Tab, Tab, Space") << QList<int>{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Space};
    }
    void loaderWait() {
        QFETCH(QList<int>, keys);
        GuiFixture fx;
        // A wait of its own event loop, which deletes a window closed in it.
        PauseWithEvents::setScale(0.02);
        DuringWait during([keys](LoaderFrm* loader) {
            if (keys.isEmpty()) {
                loader->close();
                return;
            }
            loader->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(loader));
            for (int key : keys) {
                QWidget* target = QApplication::focusWidget();
                QTest::keyClick(target ? target : loader, Qt::Key(key));
            }
        });
        qApp->installEventFilter(&during);
        QPointer<QWidget> main = LoaderFrm::start(QStringLiteral("-Debug"));
        qApp->removeEventFilter(&during);
        flushDeletes();
        QVERIFY(qobject_cast<MainFrmFull*>(main));
        QVERIFY(main->isVisible());
        QCOMPARE(openWindows(), QStringList{"MainFrmFull"});
        // Nor a hidden loader left behind.
        const QWidgetList tops = QApplication::topLevelWidgets();
        QVERIFY(std::none_of(tops.begin(), tops.end(),
                             [](QWidget* t) { return qobject_cast<LoaderFrm*>(t); }));
        closeAll();
    }

    // Drawing the same thing again leaves the window's drawing and its saved
    // picture as they were: the time numbers a mark prints again, and a
    // number printed again over a curve.
    void drawnTwice_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("marks, light window") << 0;
        QTest::newRow("marks, full window") << 1;
        QTest::newRow("number over a segment") << 2;
    }
    void drawnTwice() {
        QFETCH(int, kind);
        GuiFixture fx;
        std::unique_ptr<MainFormBase> w;
        if (kind == 1) {
            auto* full = new MainFrmFull;
            full->Check1->setChecked(false);
            full->Check3->setChecked(false);
            w.reset(full);
        } else {
            w.reset(new MainFrmLight);
        }
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        DrawingLayer* layer = w->drawingLayer();
        std::function<void()> draw;
        if (kind == 2) {
            layer->line(1000, 1500, 1600, 1700, 0x00C000);
            draw = [layer] {
                layer->setTextPosition(1200, 1480);
                layer->printNumber(12.75);
            };
        } else {
            w->StartCount->click();
            QVERIFY(w->state().graphReady == -1);
            draw = [&w] { markOnce(w.get()); };
        }
        draw();
        const QImage once[] = {layer->image(), w->graphMenu()->picture()};
        QImage blank(once[0].size(), once[0].format());
        blank.fill(Qt::transparent);
        QVERIFY(once[0] != blank);
        for (int i = 0; i < 4; ++i)
            draw();
        const QImage fiveTimes[] = {layer->image(), w->graphMenu()->picture()};
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(fiveTimes[i].size(), once[i].size());
            int differing = 0;
            for (int y = 0; y < once[i].height(); ++y)
                for (int x = 0; x < once[i].width(); ++x)
                    differing += once[i].pixel(x, y) != fiveTimes[i].pixel(x, y);
            QCOMPARE(differing, 0);
        }
        if (auto* full = qobject_cast<MainFrmFull*>(w.get()))
            delete full->existingLogWindow();
    }

    // After a run, a refused reading or an error report the keyboard is
    // where it was before the click, and no input text got selected: a key
    // pressed next does not replace an input.
    void focusAfterRun_data() { addRows(focusCases); }
    void focusAfterRun() {
        const auto& [name, full, tText, k1Text, expectedMessages] = currentRow(focusCases);
        int messages = expectedMessages;
        GuiFixture fx;
        MainFormBase* w = full ? static_cast<MainFormBase*>(openFull())
                               : static_cast<MainFormBase*>(openShown(new MainFrmLight));
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->tInput->setText(QString::fromLatin1(tText));
        w->k1Input->setText(QString::fromLatin1(k1Text));
        const QString k2Before = w->k2Input->text();
        QPushButton* button = w->StartCount;
        if (messages < 0) {
            // Two statistics openings give the corrections to draw.
            auto* full = static_cast<MainFrmFull*>(w);
            full->StartCount_Click();
            full->StartCount_Click();
            button = full->DrawCorrect;
            messages = 0;
        }
        QTest::mouseClick(button, Qt::LeftButton);
        flushDeletes();
        QCOMPARE(fx.messages.size(), messages);
        QVERIFY(button->isEnabled());
        // A text the light window could not read takes the keyboard, all of
        // it selected, so that the next keys replace it.
        const bool refused = !full && k1Text[0] == 'a';
        QCOMPARE(QApplication::focusWidget(), refused ? w->k1Input : static_cast<QWidget*>(button));
        for (QLineEdit* e : w->findChildren<QLineEdit*>())
            QCOMPARE(e->selectedText(), refused && e == w->k1Input ? QString("abc") : QString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_7);
        QCOMPARE(w->k2Input->text(), k2Before);
        closeAll();
    }

    // The current values and the progress bar are painted once per frame
    // during a run, at most 30 a second; however the run ends, none is left
    // unable to paint, and what the screen shows once the last frame is due
    // is the whole run: curves, scale, current values, progress bar.
    void framesReleased_data() { addRows(frameCases); }
    void framesReleased() {
        const auto& [name, full, pauses, slider, tText, k1Text, messages, frames] =
            currentRow(frameCases);
        GuiFixture fx;
        MainFormBase* w = full ? static_cast<MainFormBase*>(openFull())
                               : static_cast<MainFormBase*>(openShown(new MainFrmLight));
        QVERIFY(QTest::qWaitForWindowExposed(w));
        FrameUpdates& paced = w->drawingLayer()->frames();
        // The full run's first pause, 4 ms, brings it to 0: a frame made at
        // the clock's 0 is a frame made, not none.
        qint64 now = -4;
        if (frames >= 0) {
            paced.setClock([&now] { return now; });
            PauseWithEvents::setObserver([&](double seconds) {
                now += std::llround(seconds * 1000);
                paced.advanced();
            });
        }
        QSignalSpy made(&paced, &FrameUpdates::frame);
        if (auto* f = qobject_cast<MainFrmFull*>(w)) {
            f->Check1->setChecked(false);
            f->Check3->setChecked(pauses);
            f->Slider1->setValue(slider);
        }
        w->tInput->setText(QString::fromLatin1(tText));
        w->k1Input->setText(QString::fromLatin1(k1Text));
        w->StartCount_Click();
        QCOMPARE(fx.messages.size(), messages);
        if (frames >= 0)
            QCOMPARE(made.size(), frames);
        QStringList held;
        for (QWidget* c : w->findChildren<QWidget*>())
            if (!c->updatesEnabled())
                held << c->objectName();
        QCOMPARE(held, QStringList());
        now += FrameUpdates::FrameMs;
        paced.advanced();
        QCoreApplication::processEvents();
        // On the real clock the last frame comes by the timer.
        QTRY_COMPARE(onScreen(w), painted(w));
        closeAll();
    }

    // Started from the keyboard, a run leaves the text box's cursor and
    // selection as they were, one made backwards (the cursor at its start)
    // and one from the first character included, also when the run shows a
    // real message box, which takes the focus and gives it back.
    void selectionKept_data() { addRows(selectionCases); }
    void selectionKept() {
        const auto& [name, full, k1Text, tText, start, length, inPass] = currentRow(selectionCases);
        GuiFixture fx;
        AppMessage::setHandler(nullptr);
        int boxes = 0;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&boxes] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++boxes;
                box->done(QMessageBox::Ok);
                box->parentWidget()->activateWindow();
            }
        });
        closer.start(10);
        MainFormBase* w = full ? static_cast<MainFormBase*>(openFull())
                               : static_cast<MainFormBase*>(openShown(new MainFrmLight));
        QVERIFY(QTest::qWaitForWindowActive(w));
        if (auto* f = qobject_cast<MainFrmFull*>(w)) {
            f->Check1->setChecked(false);
            if (inPass)
                atStage(f, QStringLiteral("Прорисовка"), [f] { f->MakeDisaster_Click(); });
        }
        w->k1Input->setText(QString::fromLatin1(k1Text));
        w->tInput->setText(QString::fromLatin1(tText));
        w->k2Input->setText("0,25");
        w->k2Input->setFocus();
        w->k2Input->setSelection(start, length);
        w->StartCount_Click();
        QCOMPARE(boxes, (k1Text[0] == 'a' || tText[0] == '0') + inPass);
        // Made active again as a window manager does when the box closes.
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        if (!full && k1Text[0] == 'a') {
            // The text that could not be read takes the keyboard instead.
            QCOMPARE(QApplication::focusWidget(), w->k1Input);
            QCOMPARE(w->k1Input->selectedText(), QStringLiteral("abc"));
            closeAll();
            return;
        }
        QCOMPARE(QApplication::focusWidget(), w->k2Input);
        QCOMPARE(w->k2Input->cursorPosition(), start + length);
        QCOMPARE(w->k2Input->selectionStart(), length ? std::min(start, start + length) : -1);
        QCOMPARE(w->k2Input->selectedText(),
                 QString("0,25").mid(std::min(start, start + length), std::abs(length)));
        closeAll();
    }
    // A frame paints what it releases there and then: the next step holds
    // the controls again before the event loop would get to them.
    void framePaintedAtOnce() {
        struct PaintCount : QObject {
            int n = 0;
            bool eventFilter(QObject*, QEvent* e) override {
                n += e->type() == QEvent::Paint;
                return false;
            }
        } count;
        MainFrmFull* w = openFull();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        FrameUpdates& frames = w->drawingLayer()->frames();
        w->xCur->installEventFilter(&count);
        for (int step = 1; step <= 3; ++step) {
            frames.hold(w->xCur);
            w->xCur->setText(QString::number(step));
            frames.release();
        }
        frames.hold(w->xCur);
        QCoreApplication::processEvents();
        frames.release();
        QCOMPARE(count.n, 4);
        closeAll();
    }

    // A choice the user makes during a run's pauses stands: the focus and
    // the selection stay where the user put them.
    void focusMovedDuringRun() {
        GuiFixture fx;
        MainFrmFull* w = openFull();
        w->Check1->setChecked(false);
        QVERIFY(QTest::qWaitForWindowActive(w));
        atStage(w, QStringLiteral("Прорисовка"), [w] {
            QTest::mouseClick(w->x0Input, Qt::LeftButton);
            w->x0Input->setSelection(0, 1);
        });
        QTest::mouseClick(w->StartCount, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), w->x0Input);
        QCOMPARE(w->x0Input->selectedText(), QString("0"));
        closeAll();
    }
};

QTEST_MAIN(TstRoughEdges)
#include "tst_roughedges.moc"
