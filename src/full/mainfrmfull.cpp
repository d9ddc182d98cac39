#include "full/mainfrmfull.h"

#include "common/checkedmath.h"
#include "common/numbertext.h"
#include "full/form1.h"
#include "full/picturebox.h"
#include "full/statusbar.h"
#include "full/wrapcheckbox.h"
#include "ui/accessiblenames.h"
#include "ui/drawinglayer.h"
#include "ui/formbuilder.h"
#include "ui/linewidget.h"
#include "ui/shapewidget.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QStyleFactory>
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
    // Plain chunks instead of the default style's rounded, striped bar,
    // which costs more to paint than the rest of a paused run's frame.
    if (QStyle* plain = QStyleFactory::create(QStringLiteral("Windows"))) {
        plain->setParent(ProgBar);
        ProgBar->setStyle(plain);
    }
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
    AccessibleNames::apply(this);
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
    const int percent = int(std::clamp(std::lround(value), 0L, 100L));
    // Most steps leave the bar as it is.
    if (percent == ProgBar->value())
        return;
    m_layer->frames().hold(ProgBar);
    ProgBar->setValue(percent);
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
