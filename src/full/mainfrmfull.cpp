#include "mainfrmfull.h"

#include "appmessage.h"
#include "checkedmath.h"
#include "clock.h"
#include "corrections.h"
#include "drawinglayer.h"
#include "form1.h"
#include "formbuilder.h"
#include "graphplotter.h"
#include "linewidget.h"
#include "logentries.h"
#include "numbertext.h"
#include "picturebox.h"
#include "runerror.h"
#include "shapewidget.h"
#include "statusbar.h"
#include "trajectory.h"
#include "wrapcheckbox.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <cmath>

using FB = FormBuilder;

namespace {
const auto Transparent = true;
const auto TopLeft = Qt::AlignLeft | Qt::AlignTop;
const auto Centred = Qt::AlignHCenter | Qt::AlignTop;
} // namespace

MainFrmFull::MainFrmFull(QWidget* parent) : MainFormBase(10860, 5430, parent) {
    setObjectName(QStringLiteral("MainFrmFull"));
    StartCount = FB::button(this, "StartCount", QStringLiteral("Рассчитать"), 120, 4800, 8055, 255);
    Shape1 = new ShapeWidget(this, QStringLiteral("Shape1"), 0, 0, 10815, 5175, false, false);
    buildPanels();

    StatusWindow =
        new StatusBar(this, QStringLiteral("StatusWindow"), 0, 5130, 10860, 300, 700, 5440);
    StatusWindow->setProperty("windowed", true);
    StatusWindow->setPanelText(1, QStringLiteral("Статус:"));
    ProgBar = new QProgressBar(this);
    ProgBar->setObjectName(QStringLiteral("ProgBar"));
    ProgBar->setRange(0, 100);
    ProgBar->setValue(0);
    ProgBar->setTextVisible(false);
    ProgBar->setProperty("windowed", true);
    FB::place(ProgBar, 6240, 5160, 4575, 255);
    FB::keepMouse(ProgBar);

    buildFrame();

    finishLayout(
        {"Graph",   "Shape1",  "Label1",  "Label2",   "Label3",  "Label4",       "Label5",
         "Label6",  "Label7",  "Label8",  "Label9",   "Label10", "Label11",      "tt",
         "Line1",   "Line2",   "tlabel",  "Label13",  "Shape3",  "Label19",      "Label20",
         "xCur",    "yCur",    "Label12", "ViewLine", "Shape4",  "Shape2",       "Label15",
         "Label16", "Label18", "Label17", "Label14",  "Frame1",  "StatusWindow", "ProgBar"},
        {k1Input, StartCount, k2Input, dtInput, x0Input, y0Input, a1Input, a2Input, tInput, Check1,
         Check2, Check3, Slider1, Check4, DrawCorrect, MakeDisaster, VScroll1, Check5});
    ProgBar->raise();
    Form_Load();
}

MainFrmFull::~MainFrmFull() {
    // A hidden log window can never be seen again once its main window is
    // gone; a visible one stays until the user closes it.
    if (m_log && !m_log->isVisible())
        delete m_log;
}

void MainFrmFull::buildPanels() {
    Shape3 = new ShapeWidget(this, QStringLiteral("Shape3"), 6480, 960, 1695, 495, true, false);
    Label19 =
        FB::label(this, "Label19", QStringLiteral("x="), 6600, 960, 255, 255, TopLeft, Transparent);
    xCur = FB::label(this, "xCur", QString(), 6840, 960, 1335, 255, TopLeft, Transparent);
    FB::setBold(xCur);
    FB::setTextColour(xCur, 0, 128, 0);
    Label20 = FB::label(this, "Label20", QStringLiteral("y="), 6600, 1200, 255, 255, TopLeft,
                        Transparent);
    yCur = FB::label(this, "yCur", QString(), 6840, 1200, 1335, 255, TopLeft, Transparent);
    FB::setBold(yCur);
    FB::setTextColour(yCur, 255, 128, 0);

    Shape4 = new ShapeWidget(this, QStringLiteral("Shape4"), 3000, 1440, 2535, 255, true, true);
    Label14 = FB::label(this, "Label14", QStringLiteral("Статистика:"), 3840, 1440, 975, 255,
                        TopLeft, Transparent);
    Shape2 = new ShapeWidget(this, QStringLiteral("Shape2"), 3000, 1680, 2535, 1095, true, true);
    Label15 = FB::label(this, "Label15", QStringLiteral("Максимальное значение по x:"), 3120, 1680,
                        2415, 255, TopLeft, Transparent);
    Label16 = FB::label(this, "Label16", QString(), 3000, 1920, 2535, 255, Centred, Transparent);
    FB::setBold(Label16);
    FB::setTextColour(Label16, 0, 128, 0);
    Label17 = FB::label(this, "Label17", QStringLiteral("Максимальное значение по y:"), 3120, 2160,
                        2415, 255, TopLeft, Transparent);
    Label18 = FB::label(this, "Label18", QString(), 3000, 2400, 2535, 255, Centred, Transparent);
    FB::setBold(Label18);
    FB::setTextColour(Label18, 255, 128, 0);
    setStatisticsVisible(false);
}

void MainFrmFull::buildFrame() {
    Frame1 = new QGroupBox(QStringLiteral("Доп. функции"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setProperty("windowed", true);
    FB::place(Frame1, 8280, 0, 2535, 5055);
    FB::keepMouse(Frame1);
    QWidget* f = Frame1;

    Check1 = FB::checkBox(f, "Check1", QStringLiteral("Показывать статистику"), 120, 240, 2175, 255,
                          true);
    Check2 = new WrapCheckBox(QStringLiteral("Показывать текущие значения"), f);
    Check2->setObjectName(QStringLiteral("Check2"));
    Check2->setChecked(true);
    FB::place(Check2, 120, 480, 2175, 375);
    FB::keepMouse(Check2);
    Check5 =
        FB::checkBox(f, "Check5", QStringLiteral("Включить индикатор"), 120, 840, 2295, 255, true);
    Check3 = FB::checkBox(f, "Check3", QStringLiteral("Паузы"), 120, 1080, 2175, 255, true);
    Slider1 = new QSlider(Qt::Horizontal, f);
    Slider1->setObjectName(QStringLiteral("Slider1"));
    Slider1->setRange(0, 100);
    Slider1->setValue(0);
    Slider1->setSingleStep(1);
    Slider1->setPageStep(1);
    FB::place(Slider1, 120, 1320, 2295, 255);
    FB::keepMouse(Slider1);
    Check4 =
        FB::checkBox(f, "Check4", QStringLiteral("Режим отладки"), 120, 1680, 2175, 255, false);

    FB::label(f, "Label25", QStringLiteral("Корректировка:"), 120, 2040, 1335, 255);
    Label26 = FB::label(f, "Label26", QStringLiteral("Выключена"), 1320, 2040, 1095, 255, Centred,
                        Transparent);
    FB::setBold(Label26);
    FB::setTextColour(Label26, 255, 0, 0);
    FB::label(f, "Label21", QStringLiteral("Затраченное время:"), 120, 2280, 2175, 255);
    Label23 = FB::label(f, "Label23", QString(), 120, 2520, 2175, 255, Centred);
    FB::label(f, "Label22", QStringLiteral("Корректировка:"), 120, 2760, 2175, 255);
    Label24 = FB::label(f, "Label24", QString(), 120, 3000, 2175, 255, Centred);
    for (QLabel* l : {Label23, Label24}) {
        const QColor hl = l->palette().color(QPalette::Highlight);
        FB::setTextColour(l, hl.red(), hl.green(), hl.blue());
    }
    FB::label(f, "Label27", QStringLiteral("Всего корректировок:"), 120, 3240, 1695, 255);
    Label28 = FB::label(f, "Label28", QStringLiteral("0"), 1800, 3240, 495, 255);
    DrawCorrect =
        FB::button(f, "DrawCorrect", QStringLiteral("График корректировок"), 120, 3480, 2295, 255);

    buildDisasterRow(f, 120, 3840, 1800, 3840, 120, 4605, 360, 4560, 600, 4560, 120, 4200, 255);
    Image3 = new PictureBox(f, QStringLiteral("Image3"), QStringLiteral(":/morvane/image3.png"),
                            1080, 4560, 480, 480);
    Image2 = new PictureBox(f, QStringLiteral("Image2"), QStringLiteral(":/morvane/image2.png"),
                            1560, 4560, 480, 480);
    Image1 = new PictureBox(f, QStringLiteral("Image1"), QStringLiteral(":/morvane/image1.png"),
                            2040, 4560, 480, 480);
    Label26->raise();
    Label29->raise();
    for (QWidget* w : f->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!qobject_cast<QLabel*>(w))
            w->raise();

    connect(Check1, &QCheckBox::toggled, this, &MainFrmFull::Check1_Click);
    connect(Check2, &QCheckBox::toggled, this, &MainFrmFull::Check2_Click);
    connect(DrawCorrect, &QPushButton::clicked, this, &MainFrmFull::DrawCorrect_Click);
    connect(Image1, &PictureBox::clicked, this, &MainFrmFull::Image1_Click);
}

void MainFrmFull::Form_Load() {
    m_state.correctionFactor = 1.0f;
    StatusWindow->setPanelText(2, QStringLiteral("Готово"));
}

bool MainFrmFull::checked(const QCheckBox* box) const {
    return box->checkState() == Qt::Checked;
}

void MainFrmFull::setStatus(const QString& text) {
    StatusWindow->setPanelText(2, text);
}

void MainFrmFull::setProgress(int step) {
    const double span = CheckedMath::divide(m_state.t, m_state.dt);
    const float value = CheckedMath::toSingle(double(step) / span * 100.0);
    ProgBar->setValue(int(std::clamp(std::lround(value), 0L, 100L)));
}

Form1* MainFrmFull::logWindow() {
    if (!m_log) {
        m_log = new Form1();
        // A closed log window lingers until its deferred deletion, which may
        // come only after a run has written more entries: they belong in a
        // new window, not in the discarded one.
        connect(m_log, &Form1::closed, this, [this] { m_log = nullptr; });
    }
    return m_log;
}

void MainFrmFull::showLogWindow() {
    Form1* log = logWindow();
    if (!log->isVisible() && !log->property("placed").toBool()) {
        // Beside the main window rather than on top of its graph, where the
        // screen has room for it.
        log->setProperty("placed", true);
        const QRect main = frameGeometry();
        const QPoint beside(main.right() + 8, main.top());
        const QScreen* screen = this->screen();
        if (!screen ||
            screen->availableGeometry().contains(QRect(beside, log->frameGeometry().size())))
            log->move(beside);
    }
    log->show();
}

void MainFrmFull::log(const QStringList& entries) {
    logWindow()->addEntries(entries);
}

void MainFrmFull::setStatisticsVisible(bool visible) {
    for (QWidget* w : std::initializer_list<QWidget*>{Shape4, Shape2, Label14, Label15, Label16,
                                                      Label17, Label18})
        w->setVisible(visible);
}

void MainFrmFull::setCurrentValuesVisible(bool visible) {
    for (QWidget* w : std::initializer_list<QWidget*>{Label19, Label20, xCur, yCur, Shape3})
        w->setVisible(visible);
}

double MainFrmFull::pauseLength() const {
    return CheckedMath::roundHalfEven(Slider1->value()) / 1000.0 + 0.004;
}

void MainFrmFull::Check1_Click() {
    setStatisticsVisible(checked(Check1));
}

void MainFrmFull::Check2_Click() {
    setCurrentValuesVisible(checked(Check2));
}

void MainFrmFull::Image1_Click() {
    m_state.disasterFactor = 1000;
}

void MainFrmFull::StartCount_Click() {
    BusyScope busy(this);
    ModelState& s = m_state;
    try {
        // Initialisation
        ProgBar->setValue(0);
        setStatus(QStringLiteral("Инициализация..."));
        float stageStart = Clock::timeOfDay();
        DrawCorrect->setEnabled(false);
        StartCount->setEnabled(false);
        Label12->setText(QStringLiteral("0"));
        if (checked(Check4))
            showLogWindow();
        const double pauseDelay = pauseLength();
        setStatisticsVisible(false);
        m_layer->clear();
        pause(pauseDelay);
        InputReader::readFull(s, inputTexts());
        if (checked(Check4))
            log(LogEntries::startBlock(s, QDateTime::currentDateTime()));
        Trajectory::begin(s);
        const float initElapsed = Clock::timeOfDay() - stageStart;
        if (checked(Check4))
            log(LogEntries::elapsedGroup(QStringLiteral("InitElapsed"), initElapsed));

        // Calculation
        setStatus(QStringLiteral("Просчет значений... [на инициализацию затрачено:") +
                  NumberText::fromSingle(initElapsed) + QLatin1Char(']'));
        stageStart = Clock::timeOfDay();
        {
            const int last = Trajectory::lastStep(s, Trajectory::bound(s));
            const double strike = Trajectory::disasterStep(s);
            for (int i = 1; i <= last; ++i) {
                Trajectory::step(s, i, strike);
                if (checked(Check5))
                    setProgress(i);
            }
        }
        const float countElapsed = Clock::timeOfDay() - stageStart;
        if (checked(Check4))
            log(LogEntries::elapsedGroup(QStringLiteral("CountElapsed"), countElapsed));

        // Drawing
        setStatus(QStringLiteral("Прорисовка графика... [на просчет затрачено:") +
                  NumberText::fromSingle(countElapsed) + QLatin1Char(']'));
        stageStart = Clock::timeOfDay();
        {
            // A local counter: a disaster mark accepted during a pause
            // redraws with the window's own step index and must not end
            // this pass early.
            const int last = GraphPlotter::beginCurves(s);
            for (int i = 1; i <= last; ++i) {
                GraphPlotter::raiseMaxima(s, i);
                xCur->setText(NumberText::fromDouble(CheckedMath::roundTo(s.xSeries[i], 8)));
                yCur->setText(NumberText::fromDouble(CheckedMath::roundTo(s.ySeries[i], 8)));
                GraphPlotter::drawStep(s, *m_layer, i);
                s.stepIndex = std::int16_t(i);
                if (checked(Check3))
                    pause(pauseDelay);
                if (checked(Check4))
                    log({LogEntries::point(i, s.xSeries[i], s.ySeries[i])});
                if (checked(Check5))
                    setProgress(i);
            }
        }
        const float drawElapsed = Clock::timeOfDay() - stageStart;
        if (checked(Check4))
            log(LogEntries::elapsedGroup(QStringLiteral("DrawElapsed"), drawElapsed));

        // Graduation
        setStatus(QStringLiteral("Градуировка шкалы... [на прорисовку затрачено:") +
                  NumberText::fromSingle(drawElapsed) + QLatin1Char(']'));
        stageStart = Clock::timeOfDay();
        GraphPlotter::drawScale(s, *m_layer);
        if (checked(Check4))
            log(LogEntries::endBlock());
        const float gradElapsed = Clock::timeOfDay() - stageStart;

        if (checked(Check1)) {
            if (checked(Check4))
                log(LogEntries::elapsedGroup(QStringLiteral("GradElapsed"), gradElapsed));
            setStatus(QStringLiteral("Вывод статистики... [на градуировку затрачено:") +
                      NumberText::fromSingle(gradElapsed) + QLatin1Char(']'));
            stageStart = Clock::timeOfDay();
            RevealStatistics();
        }

        DrawCorrect->setEnabled(true);
        StartCount->setEnabled(true);
        s.graphReady = -1;
        setStatus(QStringLiteral("Готово"));
    } catch (const RunError& e) {
        AppMessage::report(this, e);
        DrawCorrect->setEnabled(true);
        StartCount->setEnabled(true);
    } catch (const Aborted&) {
        // The window was closed during a pause; it is not touched again.
    }
}

void MainFrmFull::MeasureReveal() {
    ModelState& s = m_state;
    Shape4->show();
    Shape2->show();
    Shape2->setHeightTwips(95);
    const float start = Clock::timeOfDay();
    while (Shape2->heightTwips() < 1095.0f) {
        QCoreApplication::processEvents();
        if (isClosing())
            throw Aborted{};
        Shape2->setHeightTwips(Shape2->heightTwips() + s.correctionFactor);
    }
    Corrections::record(s, Clock::timeOfDay() - start);
    Shape2->setHeightTwips(1095);
    Label28->setText(NumberText::fromInt(s.correctionCount));
    Label23->setText(NumberText::fromDouble(CheckedMath::roundTo(s.lastElapsed, 5)));
    Label24->setText(NumberText::fromDouble(CheckedMath::roundTo(s.correctionFactor, 5)));
    Label26->setText(QStringLiteral("Включена"));
    FB::setTextColour(Label26, 0, 128, 0);
}

void MainFrmFull::RevealStatistics() {
    MeasureReveal();
    Label16->setText(NumberText::fromDouble(m_state.xMax));
    Label18->setText(NumberText::fromDouble(m_state.yMax));
    Label14->show();
    pause(0.3);
    Label15->show();
    pause(0.3);
    Label16->show();
    pause(0.3);
    Label17->show();
    pause(0.3);
    Label18->show();
}

void MainFrmFull::DrawCorrect_Click() {
    if (m_state.correctionCount < 2) {
        AppMessage::show(this, AppMessage::Exclamation, QStringLiteral("Недостаточно данных!"));
        return;
    }
    BusyScope busy(this);
    ModelState& s = m_state;
    try {
        DrawCorrect->setEnabled(false);
        StartCount->setEnabled(false);
        Label12->setText(QStringLiteral("1"));
        if (checked(Check4))
            showLogWindow();
        const double p = pauseLength();
        setStatisticsVisible(false);
        m_layer->clear();
        pause(p);
        Corrections::beginGraph(s);
        const int n = s.correctionCount;
        for (int i = 1; i <= n - 1; ++i) {
            Corrections::drawGraphStep(s, *m_layer, i);
            xCur->setText(NumberText::fromDouble(CheckedMath::roundTo(s.elapsedHistory[i], 7)));
            yCur->setText(NumberText::fromDouble(CheckedMath::roundTo(s.factorHistory[i], 7)));
            if (checked(Check3))
                pause(p);
        }
        Corrections::drawGraphEnd(s, *m_layer);
        if (checked(Check1))
            RevealStatistics();
    } catch (const RunError& e) {
        AppMessage::report(this, e);
    } catch (const Aborted&) {
        return;
    }
    DrawCorrect->setEnabled(true);
    StartCount->setEnabled(true);
}
