#include "ui/mainformbase.h"

#include "common/checkedmath.h"
#include "common/numbertext.h"
#include "common/pausewithevents.h"
#include "common/runerror.h"
#include "export/graphpicture.h"
#include "model/lastrun.h"
#include "model/trajectory.h"
#include "plot/disastermarker.h"
#include "plot/graphgeometry.h"
#include "ui/appmessage.h"
#include "ui/drawinglayer.h"
#include "ui/formbuilder.h"
#include "ui/graphmenu.h"
#include "ui/linewidget.h"
#include "ui/shapewidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <utility>

using FB = FormBuilder;

// The images live in the static windows library, whose resources are not
// registered on their own.
static void registerResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(morvane);
        return true;
    }();
    (void)done;
}

MainFormBase::MainFormBase(int widthTwips, int heightTwips, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    registerResources();
    setWindowTitle(QStringLiteral("Модель Катастроф"));
    setWindowIcon(QIcon(QStringLiteral(":/morvane/morvane.png")));
    setFixedSize(widthTwips / FB::TwipsPerPixel, heightTwips / FB::TwipsPerPixel);
    setFont(GraphPicture::windowFont());

    // Input row.
    FB::label(this, "Label2", QStringLiteral("Введите начальные значения:"), 2160, 120, 4455, 255,
              Qt::AlignHCenter | Qt::AlignTop);
    FB::label(this, "Label5", QStringLiteral("Δ"), 480, 480, 135, 255);
    FB::label(this, "Label4", QStringLiteral("t="), 600, 480, 135, 255);
    dtInput = FB::textBox(this, "dtInput", QStringLiteral("0,1"), 840, 480);
    FB::label(this, "Label6", QStringLiteral("x0="), 1440, 480, 255, 255);
    x0Input = FB::textBox(this, "x0Input", QStringLiteral("0,1"), 1800, 480);
    FB::label(this, "Label7", QStringLiteral("y0="), 2400, 480, 255, 255);
    y0Input = FB::textBox(this, "y0Input", QStringLiteral("0,1"), 2760, 480);
    FB::label(this, "Label1", QStringLiteral("k1="), 3360, 480, 375, 255);
    k1Input = FB::textBox(this, "k1Input", QStringLiteral("0,1"), 3720, 480);
    FB::label(this, "Label3", QStringLiteral("k2="), 4320, 480, 375, 255);
    k2Input = FB::textBox(this, "k2Input", QStringLiteral("0,1"), 4680, 480);
    FB::label(this, "Label8", QStringLiteral("α"), 5280, 480, 135, 255);
    FB::label(this, "Label9", QStringLiteral("1="), 5400, 480, 255, 255);
    a1Input = FB::textBox(this, "a1Input", QStringLiteral("0,1"), 5640, 480);
    FB::label(this, "Label10", QStringLiteral("α"), 6240, 480, 135, 255);
    FB::label(this, "Label11", QStringLiteral("2="), 6360, 480, 255, 255);
    a2Input = FB::textBox(this, "a2Input", QStringLiteral("0,1"), 6600, 480);
    FB::label(this, "tt", QStringLiteral("t="), 7200, 480, 255, 255);
    tInput = FB::textBox(this, "tInput", QStringLiteral("50"), 7440, 480);

    // Graph area.
    using namespace GraphGeometry;
    Graph = new ShapeWidget(this, QStringLiteral("Graph"), BoxLeft, BoxTop, BoxWidth, BoxHeight,
                            true, true);
    m_layer = new DrawingLayer(this);
    m_layer->setGeometry(rect());
    Line1 =
        new LineWidget(this, QStringLiteral("Line1"), AxisLeft, AxisBottom, AxisRight, AxisBottom);
    Line2 = new LineWidget(this, QStringLiteral("Line2"), AxisLeft, AxisBottom, AxisLeft, AxisTop);
    ViewLine =
        new LineWidget(this, QStringLiteral("ViewLine"), AxisLeft, AxisTop, AxisLeft, AxisBottom);
    const auto centred = Qt::AlignHCenter | Qt::AlignTop;
    Label12 = FB::label(this, "Label12", QStringLiteral("0"), 360, 4320, 135, 255, centred, true);
    FB::label(this, "Label13", QStringLiteral("x,y"), 360, 960, 255, 255, centred, true);
    FB::label(this, "tlabel", QStringLiteral("t"), 7920, 4200, 135, 255, centred, true);
    m_lastRun = new LastRun(this);
    m_graphMenu = new GraphMenu(this);
}

void MainFormBase::buildDisasterRow(QWidget* parent, int label31X, int label31Y, int label29X,
                                    int label29Y, int label30X, int label30Y, int catQuanX,
                                    int catQuanY, int scrollX, int scrollY, int makeX, int makeY,
                                    int makeHeight) {
    FB::label(parent, "Label31", QStringLiteral("Катастрофа будет при:"), label31X, label31Y, 1815,
              255, Qt::AlignLeft | Qt::AlignTop, true);
    Label29 = FB::label(parent, "Label29", QStringLiteral("Её нет!"), label29X, label29Y, 615, 255,
                        Qt::AlignRight | Qt::AlignTop, true);
    FB::label(parent, "Label30", QStringLiteral("1/"), label30X, label30Y, 255, 255);
    CatQuan = FB::textBox(parent, "CatQuan", QStringLiteral("2"), catQuanX, catQuanY, 255, 285);
    CatQuan->setEnabled(false);
    CatQuan->setFocusPolicy(Qt::NoFocus);
    VScroll1 = new QScrollBar(Qt::Vertical, parent);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setRange(0, 6);
    VScroll1->setSingleStep(1);
    VScroll1->setPageStep(1);
    VScroll1->setValue(6);
    VScroll1->setFocusPolicy(Qt::TabFocus);
    FB::place(VScroll1, scrollX, scrollY, 135, 285);
    FB::keepMouse(VScroll1);
    connect(VScroll1, &QScrollBar::valueChanged, this, &MainFormBase::VScroll1_Change);
    MakeDisaster = FB::button(parent, "MakeDisaster", QStringLiteral("Сделать катастрофу"), makeX,
                              makeY, 2295, makeHeight);
    connect(MakeDisaster, &QPushButton::clicked, this, &MainFormBase::MakeDisaster_Click);
}

void MainFormBase::finishLayout(const QStringList& backToFront, const QList<QWidget*>& tabOrder) {
    m_layer->lower();
    Graph->lower();
    for (const QString& name : backToFront) {
        if (auto* w = findChild<QWidget*>(name, Qt::FindDirectChildrenOnly))
            w->raise();
    }
    // The drawing sits right above the graph's background.
    m_layer->stackUnder(Shape1);
    // Windowed controls above every label, line and shape.
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPushButton*>(w) ||
            qobject_cast<QScrollBar*>(w) || w->property("windowed").toBool())
            w->raise();
    }
    for (int i = 0; i + 1 < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);
    connect(StartCount, &QPushButton::clicked, this, &MainFormBase::StartCount_Click);
    // Enter in a box runs, as the button would; a disabled button (a run
    // under way) ignores it as it ignores a click.
    for (QLineEdit* box : {k1Input, k2Input, a1Input, a2Input, dtInput, tInput, x0Input, y0Input})
        connect(box, &QLineEdit::returnPressed, StartCount, &QPushButton::click);
}

void MainFormBase::focusUnread(const InputReader::Failure& failure) {
    QLineEdit* box = nullptr;
    switch (failure.field()) {
    case InputReader::K1:
        box = k1Input;
        break;
    case InputReader::K2:
        box = k2Input;
        break;
    case InputReader::A1:
        box = a1Input;
        break;
    case InputReader::A2:
        box = a2Input;
        break;
    case InputReader::Dt:
        box = dtInput;
        break;
    case InputReader::T:
        box = tInput;
        break;
    // No series of t / dt steps: a step of 0 is the step's fault, a span of
    // the other sign or far too long the span's.
    case InputReader::StepCount:
        box = m_state.dt == 0 ? dtInput : tInput;
        break;
    case InputReader::X0:
        box = x0Input;
        break;
    case InputReader::Y0:
        box = y0Input;
        break;
    }
    if (!box || isClosing())
        return;
    // The handler's FocusScope hands it over when the handler ends.
    m_unread = box;
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

void MainFormBase::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_focusSet) {
        m_focusSet = true;
        k1Input->setFocus(Qt::OtherFocusReason);
    }
}

InputTexts MainFormBase::inputTexts() const {
    InputTexts t;
    t.k1 = k1Input->text();
    t.k2 = k2Input->text();
    t.a1 = a1Input->text();
    t.a2 = a2Input->text();
    t.dt = dtInput->text();
    t.t = tInput->text();
    t.x0 = x0Input->text();
    t.y0 = y0Input->text();
    return t;
}

MainFormBase::BusyScope::BusyScope(MainFormBase* form) : m_form(form) {
    ++m_form->m_busy;
}

MainFormBase::BusyScope::~BusyScope() {
    if (--m_form->m_busy == 0 && m_form->m_deleteWhenIdle)
        m_form->deleteLater();
}

MainFormBase::FocusScope::FocusScope(MainFormBase* form) : m_form(form) {
    QWidget* focused = form->focusWidget();
    if (!focused || focused == form)
        return;
    m_before = focused;
    if (const auto* edit = qobject_cast<QLineEdit*>(focused)) {
        m_cursor = edit->cursorPosition();
        m_selectionStart = edit->selectionStart();
        m_selectionLength = int(edit->selectedText().size());
    }
    form->setFocus(Qt::OtherFocusReason);
    m_watch = connect(qApp, &QApplication::focusChanged, form, [this](QWidget*, QWidget* now) {
        // A message box takes the focus away and gives it back to the
        // window; only a control of this window getting it is the user's.
        if (now && now != m_form && m_form->isAncestorOf(now))
            m_moved = true;
    });
}

MainFormBase::FocusScope::~FocusScope() {
    QObject::disconnect(m_watch);
    if (QPointer<QLineEdit> unread = std::exchange(m_form->m_unread, nullptr);
        unread && !m_form->isClosing() && unread->isEnabled()) {
        unread->setFocus(Qt::OtherFocusReason);
        unread->selectAll();
        return;
    }
    if (!m_before || m_moved || m_form->isClosing() || !m_before->isEnabled() ||
        !m_before->isVisible())
        return;
    m_before->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(m_before.data())) {
        if (m_selectionStart < 0)
            edit->setCursorPosition(m_cursor);
        else if (m_cursor == m_selectionStart)
            edit->setSelection(m_selectionStart + m_selectionLength, -m_selectionLength);
        else
            edit->setSelection(m_selectionStart, m_selectionLength);
    }
}

void MainFormBase::pause(double seconds) {
    PauseWithEvents::pause(seconds);
    if (m_closing)
        throw Aborted{};
}

void MainFormBase::closeEvent(QCloseEvent* event) {
    m_closing = true;
    if (m_busy > 0 && testAttribute(Qt::WA_DeleteOnClose)) {
        // A handler is still on the stack inside a pause: discarding the
        // window now would pull it from under that handler.
        setAttribute(Qt::WA_DeleteOnClose, false);
        m_deleteWhenIdle = true;
    }
    event->accept();
}

void MainFormBase::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (event->button() == Qt::RightButton && m_graphMenu->opensAt(at)) {
        event->accept();
        m_graphMenu->open(event->globalPosition().toPoint());
        return;
    }
    Form_MouseDown(event->button(), event->modifiers(), at.x() * FB::TwipsPerPixel,
                   at.y() * FB::TwipsPerPixel);
    event->accept();
}

void MainFormBase::MakeDisaster_Click() {
    if (!DisasterMarker::arm(m_state))
        AppMessage::show(this, AppMessage::Exclamation, QStringLiteral("Нет графика!"));
}

void MainFormBase::showMarkTime() {
    Label29->setText(DisasterMarker::markTime(m_state));
}

void MainFormBase::Form_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, double x, double y) {
    if (!DisasterMarker::press(m_state, x, y))
        return;
    BusyScope busy(this);
    try {
        showMarkTime();
        const int lineX = int(x);
        ViewLine->setPoints(lineX, GraphGeometry::AxisTop, lineX, GraphGeometry::AxisBottom);
        pause(0.01);
        // A run has cleared the graph and not yet drawn its curves (or was
        // refused): the state still holds the previous run, which must not
        // come back. The mark is only kept for the coming run.
        if (m_layer->record().ops().empty())
            m_state.disasterFactor = DisasterMarker::factorFor(VScroll1->value());
        else {
            m_layer->beginRepeat();
            try {
                DisasterMarker::redraw(m_state, *m_layer, VScroll1->value());
            } catch (...) {
                m_layer->endRepeat();
                throw;
            }
            m_layer->endRepeat();
        }
    } catch (const RunError& e) {
        AppMessage::report(this, e);
    } catch (const Aborted&) {
        return;
    }
    DisasterMarker::finish(m_state);
}

bool MainFormBase::runWith(const Scenario& scenario) {
    if (isBusy())
        return false;
    const auto text = [](double v) { return NumberText::fromDouble(v + 0.0); };
    k1Input->setText(text(scenario.k1));
    k2Input->setText(text(scenario.k2));
    a1Input->setText(text(scenario.a1));
    a2Input->setText(text(scenario.a2));
    dtInput->setText(text(scenario.dt));
    tInput->setText(text(scenario.span));
    x0Input->setText(text(scenario.x0));
    y0Input->setText(text(scenario.y0));
    const int divisor = Scenario::isDivisor(scenario.divisor) ? scenario.divisor : 2;
    VScroll1->setValue(8 - std::clamp(divisor, 2, 8));
    // Unmoved, the scroll bar says nothing; the picture's 1000 is no
    // position of it at all.
    m_state.disasterFactor =
        divisor == 1000 ? std::int16_t(1000) : DisasterMarker::factorFor(VScroll1->value());
    if (const Scenario::Strike strike = scenario.strike(); strike.ok()) {
        markStep(strike.step, scenario.span, scenario.dt);
    } else {
        m_state.disasterX = 0;
        ViewLine->setPoints(GraphGeometry::AxisLeft, GraphGeometry::AxisTop,
                            GraphGeometry::AxisLeft, GraphGeometry::AxisBottom);
        Label29->setText(QStringLiteral("Её нет!"));
    }
    QMetaObject::invokeMethod(this, &MainFormBase::StartCount_Click, Qt::QueuedConnection);
    return true;
}

void MainFormBase::markStep(int step, double t, double dt) {
    const double perStep = InputReader::twipsPerStep(CheckedMath::roundHalfEven(t), dt);
    m_state.disasterX = Trajectory::markFor(perStep, step);
    // The line stays on the graph; the last step of a span that is no whole
    // number of steps lies a little past its end.
    const int lineX = int(
        std::min<double>(DisasterMarker::BandLeft + m_state.disasterX, GraphGeometry::AxisRight));
    ViewLine->setPoints(lineX, GraphGeometry::AxisTop, lineX, GraphGeometry::AxisBottom);
    Label29->setText(NumberText::fromDouble(step * dt));
}

int MainFormBase::divisorInForce() const {
    return Scenario::isDivisor(m_state.disasterFactor)
               ? m_state.disasterFactor
               : DisasterMarker::factorFor(VScroll1->value());
}

void MainFormBase::VScroll1_Change() {
    m_state.disasterFactor = DisasterMarker::factorFor(VScroll1->value());
    CatQuan->setText(QString::number(8 - VScroll1->value()));
}
