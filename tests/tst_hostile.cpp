#include "casetable.h"
#include "full/picturebox.h"
#include "guitestutil.h"
#include "light/mainfrmlight.h"
#include "ui/linewidget.h"

#include <QRandomGenerator>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>

// What a user can do to the windows while they pause: close them, mark a
// disaster, close the log window; and a long random sequence of all that.

// name, corrections graph instead of a run, when to close (after a status
// text, once a control is shown, or in the n-th pass after the click),
// corrections recorded before, the step drawn last
static const std::tuple<const char*, bool, const char*, int, int> closes[] = {
    {"clearing", false, "status:Инициализация", 0, 0},
    {"drawing", false, "status:Прорисовка", 0, 1},
    {"animation", false, "show:Shape4", 0, 20},
    {"statistics", false, "show:Label16", 1, 20},
    {"graph clearing", true, "pass:1", 0, 20},
    {"graph step", true, "pass:2", 0, 1},
    {"graph animation", true, "show:Shape4", 0, 2},
    {"graph statistics", true, "show:Label14", 1, 2},
};

// Each pass over pending events performs one random action, so actions land
// inside the pauses of runs, openings and marks as well as between them. The
// clock advances by the pass, so a seed replays exactly.
class Fuzzer {
public:
    Fuzzer(quint32 seed, int events) : m_rng(seed), m_left(events) {
        Clock::setSource([this] { return m_now += 1e-6; });
    }
    ~Fuzzer() {
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
        flushDeletes();
        qDeleteAll(QApplication::topLevelWidgets());
    }
    QString run() {
        tick();
        while (m_left > 0)
            QCoreApplication::processEvents();
        flushDeletes();
        return m_failure;
    }

private:
    int pick(int n) { return int(m_rng.bounded(n)); }
    template <class T> T pickOf(std::initializer_list<T> list) {
        return list.begin()[pick(int(list.size()))];
    }

    void tick() {
        if (m_left-- <= 0)
            return;
        ++m_event;
        m_now += 0.001;
        later(qApp, 1, [this] { tick(); });
        // A window closed in one of its own pauses lingers hidden until idle.
        if (!m_light || m_light->isHidden())
            m_light = new MainFrmLight;
        if (!m_full || m_full->isHidden())
            m_full = new MainFrmFull;
        for (QWidget* w : {(QWidget*)m_light, (QWidget*)m_full})
            if (!w->isVisible()) {
                w->setAttribute(Qt::WA_DeleteOnClose);
                w->show();
            }
        act(pick(2) ? (MainFormBase*)m_light : m_full, m_full);
        for (MainFormBase* w : {(MainFormBase*)m_light, (MainFormBase*)m_full})
            if (w && !w->isHidden())
                check(w, qobject_cast<MainFrmFull*>(w));
        if (!m_failure.isEmpty())
            m_left = 0;
    }

    void click(MainFormBase* w, QWidget* target, QPoint at = {}) {
        const bool run = target == w->StartCount && target->isEnabled();
        QPointer<MainFormBase> guard(w);
        m_runs[w] += run;
        QTest::mouseClick(target, Qt::LeftButton, {}, at);
        if (guard)
            m_runs[w] -= run;
    }

    QString text(const QString& field) {
        if (pick(10) == 0)
            return pickOf({"", "abc", "1e400", "-", "0", "32768", "1,2,3", " 7 "});
        if (field == "tInput")
            return QString::number(1 + pick(20));
        if (field == "dtInput")
            return pickOf({"0,1", "0,2", "0,25", "0,5", "1", "0,3"});
        return pickOf({"0,1", "0,2", "0,05", "0,5", "1", "0", "-0,1", "2,5"});
    }

    void act(MainFormBase* w, MainFrmFull* full) {
        switch (pick(14)) {
        case 0:
        case 1:
        case 2:
            return click(w, w->StartCount);
        case 3:
            return click(full, full->DrawCorrect);
        case 4:
        case 5:
            return pickOf({full->Check1, full->Check2, full->Check3, full->Check4, full->Check5})
                ->click();
        case 6: {
            auto* edit = pickOf({w->k1Input, w->k2Input, w->a1Input, w->a2Input, w->dtInput,
                                 w->tInput, w->x0Input, w->y0Input});
            return edit->setText(text(edit->objectName()));
        }
        case 7:
            return w->VScroll1->triggerAction(
                pickOf({QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
                        QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderToMinimum}));
        case 8:
            return click(full, full->Image1);
        case 9:
            return click(w, w->MakeDisaster);
        case 10:
        case 11: { // anywhere on the window, wherever the mouse lands
            const QPoint at(pick(w->width()), pick(w->height()));
            QWidget* target = w->childAt(at);
            return click(w, target ? target : w, target ? target->mapFrom(w, at) : at);
        }
        case 12:
            full->Slider1->setValue(pick(101));
            return pick(2) ? full->logWindow()->show() : full->logWindow()->Command1->click();
        default:
            if (pick(4) == 0)
                pickOf<QWidget*>({m_light, m_full, full->logWindow()})->close();
        }
    }

    void check(MainFormBase* w, MainFrmFull* full) {
        const auto fail = [&](const QString& what) {
            if (m_failure.isEmpty())
                m_failure =
                    QStringLiteral("event %1, %2: %3").arg(m_event).arg(w->objectName(), what);
        };
        if (m_runs.value(w) > 0 && w->StartCount->isEnabled())
            fail("a run in progress with its button enabled");
        if (!w->isBusy() &&
            !(w->StartCount->isEnabled() && (!full || full->DrawCorrect->isEnabled())))
            fail("idle with a button disabled");
        const int factor = w->state().disasterFactor;
        if (!(factor == 0 || factor == 1000 || (factor >= 2 && factor <= 8)))
            fail(QStringLiteral("disaster factor %1").arg(factor));
        if (w->ViewLine->x1() < 480 || w->ViewLine->x1() > 7920)
            fail(QStringLiteral("view line at %1").arg(w->ViewLine->x1()));
    }

    QRandomGenerator m_rng;
    int m_left;
    int m_event = 0;
    double m_now = 1.0;
    QPointer<MainFrmLight> m_light;
    QPointer<MainFrmFull> m_full;
    QHash<MainFormBase*, int> m_runs;
    QString m_failure;
};

class TstHostile : public QObject {
    Q_OBJECT
private slots:
    void closeDuringPause_data() { addRows(closes); }
    void closeDuringPause() {
        const auto& [name, graph, trigger, recorded, step] = currentRow(closes);
        GuiFixture f;
        QPointer<MainFrmFull> w = openFull();
        w->tInput->setText("2");
        for (int i = 0; graph && i < 3; ++i)
            w->StartCount->click();
        const auto status = recordStatus(w);
        const auto close = [w] { w->close(); };
        const QString how = QString(trigger).section(':', 0, 0),
                      what = QString(trigger).section(':', 1);
        if (how == "status")
            atStage(w, what, close);
        else if (auto* control = w->findChild<QWidget*>(what); how == "show") {
            QVERIFY(control);
            new AtShow(control, close);
        } else
            later(w, what.toInt(), close);
        const int records = w->state().correctionCount;
        (graph ? w->DrawCorrect : w->StartCount)->click();
        // The work ended where the window was closed; the window stays until
        // the deferred deletion.
        QVERIFY(f.messages.isEmpty() && w && w->isHidden());
        QVERIFY(!status->contains("Готово"));
        QCOMPARE(int(w->state().correctionCount), records + recorded);
        QCOMPARE(int(w->state().stepIndex), step);
        flushDeletes();
        QVERIFY(w.isNull());
    }

    void markDuringDrawing() {
        GuiFixture f;
        FullWindow w(openFull());
        w->Check1->setChecked(false);
        w->StartCount->click();
        bool marked = false;
        atStage(w.get(), "Прорисовка", [&] {
            w->MakeDisaster->click();
            w->Form_MouseDown(Qt::LeftButton, {}, 4200, 2000);
            marked = w->isBusy() && w->state().disasterX == 3720.0f;
        });
        const auto status = recordStatus(w.get());
        w->StartCount->click();
        QVERIFY(marked && f.messages.isEmpty());
        QVERIFY(status->last() == "Готово" && w->ViewLine->x1() == 4200);
        QCOMPARE(w->xCur->text(), QStringLiteral("1,49473442"));
    }

    void logClosedBetweenEntries() {
        GuiFixture f;
        FullWindow w(openFull());
        w->Check4->setChecked(true);
        QPointer<Form1> first;
        atStage(w.get(), "Прорисовка", [&] {
            first = w->existingLogWindow();
            first->close();
        });
        w->StartCount->click();
        flushDeletes();
        QVERIFY(first.isNull() && f.messages.isEmpty());
        Form1* next = w->existingLogWindow();
        QVERIFY(next && next->isHidden());
        // Every point entry, from the step whose pause saw the close on.
        QCOMPARE(next->List1->count(), 500 + 11);
        QVERIFY(next->entries()[0].startsWith("x1="));
    }

    void randomEvents() {
        const quint32 seed = quint32(fromEnvironment("MORVANE_FUZZ_SEED", 20240611));
        const int events = fromEnvironment("MORVANE_FUZZ_EVENTS", 2000);
        qInfo("seed %u, %d events", seed, events);
        GuiFixture f;
        QTemporaryDir dir;
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path()); // where the log window saves
        const QString failure = Fuzzer(seed, events).run();
        QDir::setCurrent(old);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        // Only the messages that bad input and the guards give.
        static const QRegularExpression known("^(Смотри, что пишешь!!|Нет графика!|Недостаточно "
                                              "данных!|Ошибка выполнения '(6|7|11|13)'.*)$");
        for (const Message& m : f.messages)
            QVERIFY2(known.match(m.text.section('\n', 0, 0)).hasMatch(), qPrintable(m.text));
    }
};

QTEST_MAIN(TstHostile)
#include "tst_hostile.moc"
