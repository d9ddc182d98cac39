#pragma once

// Shared by the window tests: pauses that only pass over pending events,
// message boxes answered and recorded, a clock that advances a fixed step at
// every reading, and ways to act at a given moment of a run.

#include "common/clock.h"
#include "common/pausewithevents.h"
#include "full/mainfrmfull.h"
#include "full/statusbar.h"
#include "ui/appmessage.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

struct Message {
    AppMessage::Icon icon;
    QString text;
};

class GuiFixture {
public:
    // clockStep < 0 keeps the real clock.
    explicit GuiFixture(double clockStep = -1) {
        PauseWithEvents::setScale(0.0);
        PauseWithEvents::setObserver([this](double seconds) { pauses << seconds; });
        AppMessage::setHandler([this](AppMessage::Icon i, const QString& t) {
            messages << Message{i, t};
        });
        if (clockStep >= 0) {
            auto now = std::make_shared<double>(1.0);
            Clock::setSource([now, clockStep] { return *now += clockStep; });
        }
    }
    ~GuiFixture() {
        AppMessage::setHandler(nullptr);
        PauseWithEvents::setObserver(nullptr);
        Clock::resetSource();
        PauseWithEvents::setScale(1.0);
    }
    QList<Message> messages;
    QList<double> pauses; // every pause asked for, in seconds
};

// Sets the named input boxes; false (and a failed row) for a missing one.
inline bool setTexts(QWidget* w, const QStringList& namesAndTexts) {
    for (int i = 0; i + 1 < namesAndTexts.size(); i += 2) {
        auto* box = w->findChild<QLineEdit*>(namesAndTexts[i]);
        if (!box) {
            QTest::qFail(qPrintable("no " + namesAndTexts[i]), __FILE__, __LINE__);
            return false;
        }
        box->setText(namesAndTexts[i + 1]);
    }
    return true;
}
// The unequal inputs of the tests: every coefficient, dt, t, x0 and y0
// differ, and y rises above x and falls below it again.
inline const QStringList unequalTexts = {"k1Input", "0,6", "k2Input", "0,5", "a1Input", "0,3",
                                         "a2Input", "0,4", "dtInput", "0,1", "tInput",  "15",
                                         "x0Input", "2",   "y0Input", "0,5"};

// A main window as the start-up opens it: shown, discarded when closed.
template <typename Window> Window* openShown(Window* w) {
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
    return w;
}
inline MainFrmFull* openFull() {
    return openShown(new MainFrmFull);
}

// One kept to the test's end, with any log window it left open.
struct FullDeleter {
    void operator()(MainFrmFull* w) const {
        delete w->existingLogWindow();
        delete w;
    }
};
using FullWindow = std::unique_ptr<MainFrmFull, FullDeleter>;

// Deletes what closing left for later.
inline void flushDeletes() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The texts of the second status panel, in order.
inline std::shared_ptr<QStringList> recordStatus(MainFrmFull* w) {
    auto texts = std::make_shared<QStringList>();
    QObject::connect(w->StatusWindow, &StatusBar::panelTextChanged, w,
                     [texts](int panel, const QString& text) {
                         if (panel == 2)
                             *texts << text;
                     });
    return texts;
}

// Queues act so that the depth-th pass over pending events from now on
// performs it: depth 1 is the next pause.
inline void later(QObject* context, int depth, std::function<void()> act) {
    QMetaObject::invokeMethod(
        context, depth <= 1 ? act : [=] { later(context, depth - 1, act); }, Qt::QueuedConnection);
}

// The first time the status starts with prefix, queues act for the next pause.
inline void atStage(MainFrmFull* w, const QString& prefix, std::function<void()> act) {
    auto conn = std::make_shared<QMetaObject::Connection>();
    *conn = QObject::connect(w->StatusWindow, &StatusBar::panelTextChanged, w,
                             [=](int panel, const QString& text) {
                                 if (panel == 2 && text.startsWith(prefix)) {
                                     QObject::disconnect(*conn);
                                     later(w, 1, act);
                                 }
                             });
}

// The first time the control is shown, queues act for the next pause.
class AtShow : public QObject {
public:
    AtShow(QWidget* control, std::function<void()> act) : QObject(control), m_act(std::move(act)) {
        control->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show && m_act)
            later(parent(), 1, std::exchange(m_act, nullptr));
        return false;
    }

private:
    std::function<void()> m_act;
};

// A randomized test's seed or size: the environment's value when set, so a
// longer or another run can be asked for, else the fixed default.
inline int fromEnvironment(const char* name, int fallback) {
    return qEnvironmentVariableIsSet(name) ? qEnvironmentVariableIntValue(name) : fallback;
}
