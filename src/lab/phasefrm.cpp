#include "lab/phasefrm.h"

#include "common/numbertext.h"
#include "export/graphpicture.h"
#include "export/labfiles.h"
#include "lab/comparetable.h"
#include "lab/jumpstrip.h"
#include "lab/labexamples.h"
#include "lab/labmenu.h"
#include "lab/labpanel.h"
#include "lab/labreadout.h"
#include "lab/phaseplane.h"
#include "lab/readoutpanel.h"
#include "lab/riskpanel.h"
#include "model/lastrun.h"
#include "ui/accessiblenames.h"
#include "ui/graphmenu.h"
#include "ui/mainformbase.h"
#include "ui/windowplacement.h"
#include "ui/notice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTimer>
#include <cmath>

namespace {
// A start picked on the plane, to four digits: the pointer is no finer.
double picked(double v) {
    const auto shown = NumberText::tryDouble(NumberText::fromDouble(
        std::isfinite(v) ? QString::number(v, 'g', 4).toDouble() + 0.0 : 0.0));
    return shown && std::isfinite(*shown) ? *shown : v;
}
} // namespace

PhaseFrm::PhaseFrm(MainFormBase* main) : QWidget(main, Qt::Window), m_main(main) {
    setObjectName(QStringLiteral("PhaseFrm"));
    setWindowTitle(QStringLiteral("Фазовый портрет"));
    m_style.font = GraphPicture::windowFont();
    m_style.background = palette().color(QPalette::Base);
    m_style.foreground = palette().color(QPalette::WindowText);
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
    m_panel = new LabPanel(this);
    outer->addWidget(m_panel);
    m_panel->toMain()->setEnabled(m_main);
    connectPanel();
    AccessibleNames::apply(this);
    // The keyboard starts at the top of the controls, not on nothing.
    m_panel->example()->setFocus();
    if (m_main) {
        connect(m_main->lastRun(), &LastRun::changed, this, [this] {
            if (isVisible())
                followMain();
            else
                m_stale = true;
        });
        followMain();
    } else {
        setScenario(LabExamples::all().front().params);
    }
}

PhaseFrm* PhaseFrm::openFor(MainFormBase* main) {
    auto* lab = main->findChild<PhaseFrm*>(QString(), Qt::FindDirectChildrenOnly);
    if (!lab) {
        lab = new PhaseFrm(main);
        WindowPlacement::beside(lab, main, 640);
    }
    lab->show();
    lab->raise();
    lab->activateWindow();
    return lab;
}

void PhaseFrm::connectPanel() {
    LabPanel* p = m_panel;
    connect(p, &LabPanel::exampleChosen, this, &PhaseFrm::chooseExample);
    connect(p, &LabPanel::folderWanted, this, &PhaseFrm::chooseFolder);
    // While the lab has the focus; the main windows have no such keys.
    connect(new QShortcut(QKeySequence::Open, this), &QShortcut::activated, this,
            &PhaseFrm::askScenario);
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this,
            &PhaseFrm::saveScenario);
    connect(p, &LabPanel::valueEdited, this, [this](LabState::Value which, double v) {
        m_state.setValue(which, v);
        changed(true);
    });
    connect(p, &LabPanel::methodChosen, this, [this](StepMethod m) {
        m_state.setMethod(m);
        changed(true);
    });
    connect(p, &LabPanel::disasterToggled, this, [this](bool on) {
        m_state.setDisaster(on);
        changed(true);
    });
    connect(p, &LabPanel::strikeEdited, this, [this](double time) {
        m_state.setStrikeTime(time);
        changed(true);
    });
    connect(p, &LabPanel::divisorEdited, this, [this](int divisor) {
        m_state.setDivisor(divisor);
        changed(true);
    });
    connect(m_strip, &JumpStrip::strikeChosen, this, [this](double time) {
        m_state.setStrikeTime(time);
        m_state.setDisaster(true);
        changed(true);
    });
    connect(p->field(), &QCheckBox::toggled, this, [this](bool on) {
        m_style.field = on;
        m_plane->update();
    });
    connect(p->compare(), &QPushButton::toggled, this, [this](bool on) {
        m_style.compare = on;
        changed(false);
    });
    connect(p->toMain(), &QPushButton::clicked, this, &PhaseFrm::sendToMain);
    connect(p->risk(), &QPushButton::clicked, this, &PhaseFrm::openRisk);
    connect(m_plane, &PhasePlane::startMoved, this, [this](double x, double y) {
        m_state.setValue(LabState::X0, picked(x));
        m_state.setValue(LabState::Y0, picked(y));
        changed(true, true);
    });
    connect(m_plane, &PhasePlane::menuRequested, this, &PhaseFrm::openMenu);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [this] { openMenu(m_plane->mapToGlobal(m_plane->rect().center())); });
}

void PhaseFrm::setScenario(const Scenario& scenario) {
    m_state.set(scenario);
    changed(false);
}

void PhaseFrm::changed(bool fromPanel, bool keepScales) {
    // A moved start keeps the plane's scales, so that it stays where it was
    // put; anything else may change what the plane must hold.
    if (!keepScales)
        m_plane->releaseScales();
    m_panel->show(m_state.scenario());
    if (m_risk)
        m_risk->setScenario(m_state.scenario());
    if (fromPanel)
        m_panel->forgetExample();
    const QString file = m_file.differs(m_state.scenario());
    m_panel->differs()->setText(
        QStringList{m_state.differs(), file}.filter(QRegularExpression(".")).join(' '));
    if (m_pending)
        return;
    m_pending = true;
    // Queued behind the events already waiting, so that a burst of key
    // presses or pointer moves ends in one computation of the last.
    QTimer::singleShot(0, this, [this] {
        if (m_pending)
            recompute();
    });
}

void PhaseFrm::recompute() {
    m_pending = false;
    m_run = LabRun::of(m_state.scenario(), m_panel->compare()->isChecked());
    const QString v = LabReadout::vMeaning();
    m_readout->setLines(LabReadout::lines(m_run, LabReadout::ShownDigits), LabReadout::lines(m_run),
                        {{QStringLiteral("V₀"), v}, {QStringLiteral("V(T)"), v}});
    m_panel->table()->setVisible(m_panel->compare()->isChecked());
    if (m_panel->compare()->isChecked())
        m_panel->table()->setRows(m_run.rows);
    m_plane->update();
    m_strip->update();
}

const LabRun& PhaseFrm::run() {
    if (m_pending)
        recompute();
    return m_run;
}

RiskPanel* PhaseFrm::openRisk() {
    if (!m_risk)
        m_risk = new RiskPanel(this);
    m_risk->setScenario(m_state.scenario());
    m_risk->show();
    m_risk->raise();
    return m_risk;
}

QStringList PhaseFrm::readout() {
    return LabReadout::lines(run(), LabReadout::ShownDigits);
}

void PhaseFrm::followMain() {
    m_stale = false;
    if (!m_main || m_main->lastRun()->record().isEmpty())
        return;
    m_state.follow(m_main->lastRun()->record().scenario);
    changed(false);
}

void PhaseFrm::sendToMain() {
    if (m_main && !m_main->runWith(m_state.scenario()))
        m_panel->differs()->setText(QStringLiteral("Главное окно ещё считает; нажмите позже."));
}

void PhaseFrm::chooseExample(const Scenario& scenario) {
    setScenario(scenario);
}

bool PhaseFrm::openScenario(const QString& path) {
    if (!m_file.open(this, path))
        return false;
    setWindowTitle(m_file.windowTitle());
    setScenario(m_file.contents().scenario);
    return true;
}

void PhaseFrm::askScenario() {
    if (!m_file.ask(this))
        return;
    setWindowTitle(m_file.windowTitle());
    setScenario(m_file.contents().scenario);
}

void PhaseFrm::saveScenario() {
    if (m_file.save(this, m_state.scenario())) {
        setWindowTitle(m_file.windowTitle());
        changed(false, true);
    }
}

void PhaseFrm::chooseFolder() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Папка со сценариями"), LabExamples::ownFolder());
    if (!folder.isEmpty())
        LabExamples::setOwnFolder(folder);
    m_panel->listExamples();
}

void PhaseFrm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_stale)
        followMain();
}

QSize PhaseFrm::pictureSize() const {
    return {m_plane->width(), m_plane->height() + LabPicture::StripHeight};
}

void PhaseFrm::openMenu(const QPoint& globalPosition) {
    LabMenu::open(this, globalPosition);
}

void PhaseFrm::confirm(const QString& text) {
    // In the line that says whether the lab differs from the main window,
    // which says so again a few seconds later.
    QLabel* line = m_panel->differs();
    line->setText(text);
    QTimer::singleShot(4000, this, [this, line, text] {
        if (line->text() == text)
            line->setText(m_state.differs());
    });
}

void PhaseFrm::savePicture() {
    LabMenu::savePicture(this);
}

void PhaseFrm::copyPicture() {
    LabMenu::copyPicture(this);
}

void PhaseFrm::saveValues() {
    LabMenu::saveValues(this);
}
