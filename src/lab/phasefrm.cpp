#include "lab/phasefrm.h"

#include "common/numbertext.h"
#include "export/graphpicture.h"
#include "export/labfiles.h"
#include "lab/comparetable.h"
#include "lab/jumpstrip.h"
#include "lab/labexamples.h"
#include "lab/labreadout.h"
#include "lab/paramslider.h"
#include "lab/phaseplane.h"
#include "lab/readoutpanel.h"
#include "model/lastrun.h"
#include "plot/disastermarker.h"
#include "ui/accessiblenames.h"
#include "ui/graphmenu.h"
#include "ui/mainformbase.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSlider>
#include <cmath>

namespace {

LabRun::Params paramsOf(const RunRecord& r, int divisor) {
    LabRun::Params p;
    p.k1 = r.k1;
    p.k2 = r.k2;
    p.a1 = r.a1;
    p.a2 = r.a2;
    p.dt = r.dt;
    p.span = r.t;
    p.x0 = r.x.front();
    p.y0 = r.y.front();
    p.strikeTime = r.strike >= 1 ? r.strike * r.dt : 0;
    p.divisor = r.strike >= 1 && r.divisor >= 2 ? r.divisor : divisor;
    return p;
}
} // namespace

PhaseFrm::PhaseFrm(MainFormBase* main) : QWidget(main, Qt::Window), m_main(main) {
    setObjectName(QStringLiteral("PhaseFrm"));
    setWindowTitle(QStringLiteral("Фазовый портрет"));
    m_style.font = GraphPicture::windowFont();
    m_style.background = palette().color(QPalette::Base);
    m_style.foreground = palette().color(QPalette::WindowText);
    build();
    AccessibleNames::apply(this);
    // The keyboard starts at the top of the controls, not on nothing.
    m_example->setFocus();
    if (m_main) {
        connect(m_main->lastRun(), &LastRun::changed, this, [this] {
            if (isVisible())
                followMain();
            else
                m_stale = true;
        });
        followMain();
    } else {
        setParams(LabExamples::all().front().params);
    }
}

PhaseFrm* PhaseFrm::openFor(MainFormBase* main) {
    auto* lab = main->findChild<PhaseFrm*>(QString(), Qt::FindDirectChildrenOnly);
    if (!lab)
        lab = new PhaseFrm(main);
    lab->show();
    lab->raise();
    lab->activateWindow();
    return lab;
}

void PhaseFrm::build() {
    resize(1120, 780);
    // Within a small screen as well.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        resize(size().boundedTo(screen->availableGeometry().size() * 0.95));
    auto* outer = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    outer->addLayout(left, 1);
    m_plane = new PhasePlane(&m_run, &m_style, this);
    left->addWidget(m_plane, 1);
    m_strip = new JumpStrip(&m_run, &m_style, this);
    left->addWidget(m_strip);
    m_readout = new ReadoutPanel(this);
    left->addWidget(m_readout);

    auto* panel = new QWidget(this);
    panel->setFixedWidth(380);
    outer->addWidget(panel);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    int row = 0;
    auto* exampleLabel = new QLabel(QStringLiteral("Пример:"), panel);
    m_example = new QComboBox(panel);
    m_example->setObjectName(QStringLiteral("Example"));
    m_example->addItem(QStringLiteral("(выберите)"));
    for (const LabExamples::Example& e : LabExamples::all())
        m_example->addItem(e.name);
    exampleLabel->setBuddy(m_example);
    m_example->view()->setObjectName(QStringLiteral("ExampleList"));
    grid->addWidget(exampleLabel, row, 0);
    grid->addWidget(m_example, row++, 1, 1, 2);
    connect(m_example, &QComboBox::activated, this, &PhaseFrm::chooseExample);

    auto slider = [&](const char* name, const QString& caption, ParamSlider::Kind kind,
                      double LabRun::Params::*field) {
        auto* s = new ParamSlider(panel, QString::fromLatin1(name), caption, kind);
        grid->addWidget(s->label(), row, 0);
        grid->addWidget(s->slider(), row, 1);
        grid->addWidget(s->box(), row++, 2);
        connect(s, &ParamSlider::edited, this, [this, field](double v) {
            m_params.*field = v;
            recompute();
        });
        return s;
    };
    m_k1 = slider("k1", QStringLiteral("k&1"), ParamSlider::Free, &LabRun::Params::k1);
    m_k2 = slider("k2", QStringLiteral("k&2"), ParamSlider::Free, &LabRun::Params::k2);
    m_a1 = slider("a1", QStringLiteral("α1"), ParamSlider::Free, &LabRun::Params::a1);
    m_a2 = slider("a2", QStringLiteral("α2"), ParamSlider::Free, &LabRun::Params::a2);
    m_x0 = slider("x0", QStringLiteral("&x0"), ParamSlider::Free, &LabRun::Params::x0);
    m_y0 = slider("y0", QStringLiteral("&y0"), ParamSlider::Free, &LabRun::Params::y0);
    m_dt = slider("dt", QStringLiteral("Δ&t"), ParamSlider::Positive, &LabRun::Params::dt);
    m_span = slider("t", QStringLiteral("&Время t"), ParamSlider::Count, &LabRun::Params::span);

    auto* methodLabel = new QLabel(QStringLiteral("&Метод:"), panel);
    m_method = new QComboBox(panel);
    m_method->setObjectName(QStringLiteral("Method"));
    for (Integrator::Method m : Integrator::All)
        m_method->addItem(LabPicture::methodName(m));
    methodLabel->setBuddy(m_method);
    m_method->view()->setObjectName(QStringLiteral("MethodList"));
    grid->addWidget(methodLabel, row, 0);
    grid->addWidget(m_method, row++, 1, 1, 2);
    connect(m_method, &QComboBox::currentIndexChanged, this, [this](int i) {
        m_params.method = Integrator::All[std::max(i, 0)];
        recompute();
    });

    m_disaster = new QCheckBox(QStringLiteral("&Катастрофа"), panel);
    m_disaster->setObjectName(QStringLiteral("DisasterOn"));
    grid->addWidget(m_disaster, row++, 0, 1, 3);
    connect(m_disaster, &QCheckBox::toggled, this, [this](bool on) {
        m_params.strikeTime = on ? m_strikeTime : 0;
        m_strike->setEnabled(on);
        recompute();
    });
    m_strike = new ParamSlider(panel, QStringLiteral("Strike"), QStringLiteral("момент"),
                               ParamSlider::Span);
    grid->addWidget(m_strike->label(), row, 0);
    grid->addWidget(m_strike->slider(), row, 1);
    grid->addWidget(m_strike->box(), row++, 2);
    connect(m_strike, &ParamSlider::edited, this, [this](double v) {
        m_strikeTime = v;
        m_params.strikeTime = m_disaster->isChecked() ? v : 0;
        recompute();
    });
    m_divisor = new ParamSlider(panel, QStringLiteral("Divisor"), QStringLiteral("&делитель"),
                                ParamSlider::Whole);
    m_divisor->setSpan(2, 8);
    grid->addWidget(m_divisor->label(), row, 0);
    grid->addWidget(m_divisor->slider(), row, 1);
    grid->addWidget(m_divisor->box(), row++, 2);
    connect(m_divisor, &ParamSlider::edited, this, [this](double v) {
        m_params.divisor = int(v);
        recompute();
    });
    connect(m_strip, &JumpStrip::strikeChosen, this, [this](double time) {
        m_strikeTime = time;
        m_strike->setValue(time);
        m_params.strikeTime = time;
        if (m_disaster->isChecked())
            recompute();
        else
            m_disaster->setChecked(true);
    });

    m_field = new QCheckBox(QStringLiteral("&Поле направлений"), panel);
    m_field->setObjectName(QStringLiteral("FieldOn"));
    m_field->setChecked(true);
    grid->addWidget(m_field, row++, 0, 1, 3);
    connect(m_field, &QCheckBox::toggled, this, [this](bool on) {
        m_style.field = on;
        m_plane->update();
    });
    m_compare = new QPushButton(QStringLiteral("&Сравнить шаги"), panel);
    m_compare->setObjectName(QStringLiteral("CompareSteps"));
    m_compare->setCheckable(true);
    grid->addWidget(m_compare, row++, 0, 1, 3);
    connect(m_compare, &QPushButton::toggled, this, [this](bool on) {
        m_style.compare = on;
        recompute();
    });
    m_differs = new QLabel(panel);
    m_differs->setObjectName(QStringLiteral("Differs"));
    m_differs->setWordWrap(true);
    grid->addWidget(m_differs, row++, 0, 1, 3);
    m_toMain = new QPushButton(QStringLiteral("В &главное окно"), panel);
    m_toMain->setObjectName(QStringLiteral("ToMain"));
    m_toMain->setEnabled(m_main);
    grid->addWidget(m_toMain, row++, 0, 1, 3);
    connect(m_toMain, &QPushButton::clicked, this, &PhaseFrm::sendToMain);

    m_table = new CompareTable(panel);
    m_table->setVisible(false);
    grid->addWidget(m_table, row++, 0, 1, 3);
    grid->setRowStretch(row, 1);

    connect(m_plane, &PhasePlane::startMoved, this, [this](double x, double y) {
        m_params.x0 =
            NumberText::toDouble(NumberText::fromDouble(QString::number(x, 'g', 4).toDouble()));
        m_params.y0 =
            NumberText::toDouble(NumberText::fromDouble(QString::number(y, 'g', 4).toDouble()));
        m_x0->setValue(m_params.x0);
        m_y0->setValue(m_params.y0);
        recompute();
    });
    connect(m_plane, &PhasePlane::menuRequested, this, &PhaseFrm::openMenu);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [this] { openMenu(m_plane->mapToGlobal(m_plane->rect().center())); });
}

void PhaseFrm::setParams(const LabRun::Params& p) {
    m_params = p;
    if (p.strikeTime > 0)
        m_strikeTime = p.strikeTime;
    showControls();
    recompute();
}

void PhaseFrm::showControls() {
    const LabRun::Params p = m_params;
    m_k1->setValue(p.k1);
    m_k2->setValue(p.k2);
    m_a1->setValue(p.a1);
    m_a2->setValue(p.a2);
    m_x0->setValue(p.x0);
    m_y0->setValue(p.y0);
    m_dt->setValue(p.dt);
    m_span->setValue(p.span);
    m_strike->setSpan(0, std::max(p.span, 1.0));
    m_strike->setValue(m_strikeTime);
    m_divisor->setValue(p.divisor);
    const QSignalBlocker quiet(m_method), quietToo(m_disaster);
    m_method->setCurrentIndex(int(p.method));
    m_disaster->setChecked(p.strikeTime > 0);
    m_strike->setEnabled(p.strikeTime > 0);
}

void PhaseFrm::recompute() {
    m_strike->setSpan(0, std::max(m_params.span, 1.0));
    m_run = LabRun::of(m_params, m_compare->isChecked());
    showRun();
}

void PhaseFrm::showRun() {
    m_readout->setLines(LabReadout::lines(m_run));
    QString differs;
    if (m_hasMain) {
        LabRun::Params mine = m_params;
        mine.method = Integrator::Euler;
        if (!(mine == m_mainParams))
            differs = QStringLiteral("Значения отличаются от последнего расчёта главного окна.");
        else if (m_params.method != Integrator::Euler)
            differs = QStringLiteral("Метод отличается: главное окно считает явным Эйлером.");
        else
            differs = QStringLiteral("Значения — те же, что в последнем расчёте главного окна.");
    }
    m_differs->setText(differs);

    m_table->setVisible(m_compare->isChecked());
    if (m_compare->isChecked())
        m_table->setRows(m_run.rows);
    m_plane->update();
    m_strip->update();
}

QStringList PhaseFrm::readout() const {
    return LabReadout::lines(m_run);
}

void PhaseFrm::followMain() {
    m_stale = false;
    if (!m_main || m_main->lastRun()->record().isEmpty())
        return;
    m_mainParams =
        paramsOf(m_main->lastRun()->record(), DisasterMarker::factorFor(m_main->VScroll1->value()));
    m_hasMain = true;
    const Integrator::Method method = m_params.method;
    m_params = m_mainParams;
    m_params.method = method;
    if (m_mainParams.strikeTime > 0)
        m_strikeTime = m_mainParams.strikeTime;
    showControls();
    recompute();
}

void PhaseFrm::sendToMain() {
    if (!m_main)
        return;
    InputTexts t;
    t.k1 = NumberText::fromDouble(m_params.k1);
    t.k2 = NumberText::fromDouble(m_params.k2);
    t.a1 = NumberText::fromDouble(m_params.a1);
    t.a2 = NumberText::fromDouble(m_params.a2);
    t.dt = NumberText::fromDouble(m_params.dt);
    t.t = NumberText::fromDouble(m_params.span);
    t.x0 = NumberText::fromDouble(m_params.x0);
    t.y0 = NumberText::fromDouble(m_params.y0);
    if (!m_main->runWith(t, m_params.divisor, m_params.strikeTime))
        m_differs->setText(QStringLiteral("Главное окно ещё считает; нажмите позже."));
}

void PhaseFrm::chooseExample(int index) {
    const auto& all = LabExamples::all();
    if (index < 1 || index > int(all.size()))
        return;
    setParams(all[std::size_t(index - 1)].params);
}

void PhaseFrm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_stale)
        followMain();
}

QSize PhaseFrm::pictureSize() const {
    return {m_plane->width(), m_plane->height() + LabPicture::StripHeight};
}

QImage PhaseFrm::picture() const {
    return LabFiles::image(m_run, m_style, pictureSize(),
                           std::max<qreal>(devicePixelRatioF(), 2.0));
}

void PhaseFrm::openMenu(const QPoint& globalPosition) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("LabMenuPopup"));
    const auto [save, copy, values] = GraphMenu::addSaveItems(&menu, m_run.problem.isEmpty());
    QAction* chosen = GraphMenu::execMenu(&menu, globalPosition);
    if (!chosen || !chosen->isEnabled())
        return;
    if (chosen == save)
        savePicture();
    else if (chosen == copy)
        copyPicture();
    else if (chosen == values)
        saveValues();
}

void PhaseFrm::savePicture() {
    const qreal scale = std::max<qreal>(devicePixelRatioF(), 2.0);
    GraphMenu::savePictureOf(
        this, QStringLiteral("morvane-phase.png"),
        [&] { return LabFiles::png(m_run, m_style, pictureSize(), scale); },
        [&] { return LabFiles::svg(m_run, m_style, pictureSize()); });
}

void PhaseFrm::copyPicture() {
    QApplication::clipboard()->setImage(picture());
}

void PhaseFrm::saveValues() {
    GraphMenu::saveValuesOf(this, QStringLiteral("morvane-phase.csv"), [&](CsvWriter::Style style) {
        return LabFiles::csv(m_run, readout(), style);
    });
}
