#pragma once

// What both main windows share: the input row, the graph area with its axes
// and view line, the retained drawing layer and the disaster marking. The
// windows build their own disaster row and run button, then call
// finishLayout() with their stacking order. Everything is placed in twips at
// 15 twips per logical pixel on a fixed-size client area.

#include "model/inputreader.h"
#include "model/modelstate.h"
#include "model/scenario.h"

#include <QPointer>
#include <QWidget>

class DrawingLayer;
class GraphMenu;
class LastRun;
class LineWidget;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class ShapeWidget;

class MainFormBase : public QWidget {
    Q_OBJECT
public:
    MainFormBase(int widthTwips, int heightTwips, QWidget* parent = nullptr);

    ModelState& state() { return m_state; }
    const ModelState& state() const { return m_state; }
    DrawingLayer* drawingLayer() const { return m_layer; }
    // The graph's context menu: saving and copying what the graph shows.
    GraphMenu* graphMenu() const { return m_graphMenu; }
    // The last run that finished drawing, for the menu and whatever else
    // shows it; the window's own state is overwritten by the next run.
    LastRun* lastRun() const { return m_lastRun; }
    // True while a handler of this window is under way (it may be pausing).
    bool isBusy() const { return m_busy > 0; }
    // Writes a scenario into the input row, the divisor and the mark (at
    // the step its disaster strikes, or none), then runs as the button
    // would, once the caller has returned. False, with nothing changed,
    // while a handler is under way.
    bool runWith(const Scenario& scenario);
    // Marks the disaster at `step` of a run of t and dt, as a press there
    // would; a step past the graph's end, which no press reaches, too.
    void markStep(int step, double t, double dt);
    // The divisor the next mark would take: the picture's 1000 or the
    // scroll bar's.
    int divisorInForce() const;

public slots:
    virtual void StartCount_Click() = 0;
    void MakeDisaster_Click();
    void Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x, double y);
    void VScroll1_Change();

protected:
    // The work of a handler was abandoned because its window was closed.
    struct Aborted {};

    // Keeps the window alive while a handler (and any pause in it) runs; a
    // close during that time only hides the window, and it is discarded once
    // the last handler has returned.
    class BusyScope {
    public:
        explicit BusyScope(MainFormBase* form);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        MainFormBase* m_form;
    };

    // Keeps the keyboard where it was while a handler disables the control
    // that has it. Qt would hand the focus to the next control in the chain
    // and, for a text box, select all its text, so that the next key pressed
    // would replace it. Meanwhile the focus rests on the window itself,
    // where keys do nothing; it goes back, with any selection that control
    // had, once the handler ends, unless the user has put it on another
    // control in the meantime. Declare it after BusyScope, before disabling.
    class FocusScope {
    public:
        explicit FocusScope(MainFormBase* form);
        ~FocusScope();
        FocusScope(const FocusScope&) = delete;
        FocusScope& operator=(const FocusScope&) = delete;

    private:
        MainFormBase* m_form;
        QPointer<QWidget> m_before;
        int m_cursor = 0;
        int m_selectionStart = -1;
        int m_selectionLength = 0;
        bool m_moved = false;
        QMetaObject::Connection m_watch;
    };

    // PauseWithEvents that ends the handler when the window was closed.
    void pause(double seconds);
    bool isClosing() const { return m_closing; }
    InputTexts inputTexts() const;
    void buildDisasterRow(QWidget* parent, int label31X, int label31Y, int label29X, int label29Y,
                          int label30X, int label30Y, int catQuanX, int catQuanY, int scrollX,
                          int scrollY, int makeX, int makeY, int makeHeight);
    // Raises the named elements in back-to-front order and sets the tab order.
    void finishLayout(const QStringList& backToFront, const QList<QWidget*>& tabOrder);
    virtual void showMarkTime();
    // The box whose text a failed reading stopped at, focused with its text
    // selected, so that the next keys replace what could not be read.
    void focusUnread(const InputReader::Failure& failure);

    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

    ModelState m_state;
    DrawingLayer* m_layer = nullptr;
    GraphMenu* m_graphMenu = nullptr;
    LastRun* m_lastRun = nullptr;

public:
    QLineEdit* k1Input = nullptr;
    QLineEdit* k2Input = nullptr;
    QLineEdit* a1Input = nullptr;
    QLineEdit* a2Input = nullptr;
    QLineEdit* dtInput = nullptr;
    QLineEdit* tInput = nullptr;
    QLineEdit* x0Input = nullptr;
    QLineEdit* y0Input = nullptr;
    ShapeWidget* Graph = nullptr;
    ShapeWidget* Shape1 = nullptr;
    LineWidget* Line1 = nullptr;
    LineWidget* Line2 = nullptr;
    LineWidget* ViewLine = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label29 = nullptr;
    QLineEdit* CatQuan = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QPushButton* MakeDisaster = nullptr;
    QPushButton* StartCount = nullptr;

private:
    int m_busy = 0;
    bool m_closing = false;
    bool m_deleteWhenIdle = false;
    bool m_focusSet = false;
    QPointer<QLineEdit> m_unread;
};
