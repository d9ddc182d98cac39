#include "startup/loaderfrm.h"

#include "common/pausewithevents.h"
#include "full/mainfrmfull.h"
#include "lab/phasefrm.h"
#include "light/mainfrmlight.h"
#include "model/scenariofile.h"
#include "ui/accessiblenames.h"
#include "ui/appmessage.h"
#include "ui/formbuilder.h"
#include "ui/graphmenu.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

using FB = FormBuilder;

namespace {
QPointer<QWidget>& lightWindow() {
    static QPointer<QWidget> w;
    return w;
}
QPointer<QWidget>& fullWindow() {
    static QPointer<QWidget> w;
    return w;
}

QFont loaderFont(int points, bool bold, bool italic) {
    QFont f(QStringLiteral("Liberation Sans"), points);
    f.setStyleHint(QFont::SansSerif);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}
} // namespace

LoaderFrm::LoaderFrm(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("LoaderFrm"));
    setWindowTitle(QStringLiteral("Form2"));
    setFont(loaderFont(8, false, false));
    setFixedWidth(5910 / FB::TwipsPerPixel);
    setHeightTwips(1470);
}

void LoaderFrm::buildControls() {
    if (Label1)
        return;
    Label1 = FB::label(this, "Label1", QStringLiteral("Модель"), 0, 0, 1575, 495);
    Label1->setFont(loaderFont(18, true, true));
    FB::setTextColour(Label1, 136, 64, 217);
    Label5 =
        FB::label(this, "Label5", QString(), 2520, 0, 3375, 255, Qt::AlignRight | Qt::AlignTop);
    const QColor hl = Label5->palette().color(QPalette::Highlight);
    FB::setTextColour(Label5, hl.red(), hl.green(), hl.blue());
    Label2 = FB::label(this, "Label2", QStringLiteral("Конкуренция популяций с учетом катастроф"),
                       120, 480, 5655, 735, Qt::AlignHCenter | Qt::AlignTop);
    Label2->setFont(loaderFont(12, true, false));
    Label2->setWordWrap(true);
    FB::setTextColour(Label2, 128, 0, 0);
    Label3 = FB::label(this, "Label3", QStringLiteral("Загрузка..."), 120, 1200, 5775, 255,
                       Qt::AlignHCenter | Qt::AlignTop);
    Label4 = FB::label(
        this, "Label4",
        QStringLiteral("Если вы видите это окно в течение долгого времени, то произошла ошибка."),
        0, 1440, 5895, 255, Qt::AlignHCenter | Qt::AlignTop);
    Command1 =
        FB::button(this, "Command1", QStringLiteral("\"Легкая\" версия"), 840, 1680, 1695, 375);
    Command2 = FB::button(this, "Command2", QStringLiteral("Полная версия"), 3240, 1680, 1695, 375);
    setTabOrder(Command1, Command2);
    connect(Command1, &QPushButton::clicked, this, &LoaderFrm::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &LoaderFrm::Command2_Click);
    AccessibleNames::apply(this);
}

void LoaderFrm::setHeightTwips(int twips) {
    setFixedHeight(twips / FB::TwipsPerPixel);
}

bool LoaderFrm::isDebugSwitch(const QString& commandLine) {
    return commandLine == QStringLiteral("-Debug");
}

QString LoaderFrm::scenarioFile(int argc, const char* const* argv) {
    const QString last = argc > 1 ? QString::fromLocal8Bit(argv[argc - 1]) : QString();
    return last.endsWith(QStringLiteral(".morvane"), Qt::CaseInsensitive) ? last : QString();
}

QString LoaderFrm::commandLine(int argc, const char* const* argv) {
    QStringList args;
    const int end = scenarioFile(argc, argv).isEmpty() ? argc : argc - 1;
    for (int i = 1; i < end; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args.join(QLatin1Char(' '));
}

QWidget* LoaderFrm::start(const QString& commandLine, const QString& scenarioFile) {
    // Built only when first asked for, so that it costs the start nothing.
    GraphMenu::setLabOpener([](MainFormBase* main) { PhaseFrm::openFor(main); });
    auto* loader = new LoaderFrm();
    loader->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<LoaderFrm> guard(loader);
    loader->Form_Load(commandLine);
    QWidget* main = guard ? guard->m_main : nullptr;
    if (guard)
        guard->close();
    if (auto* form = qobject_cast<MainFormBase*>(main); form && !scenarioFile.isEmpty()) {
        QString why;
        if (const auto contents = ScenarioFile::load(scenarioFile, &why)) {
            form->runWith(contents->scenario);
            PhaseFrm::openFor(form)->openScenario(scenarioFile);
        } else {
            AppMessage::show(form, AppMessage::Exclamation,
                             QStringLiteral("Сценарий «%1» не открыт: %2")
                                 .arg(QFileInfo(scenarioFile).fileName(), why));
        }
    }
    return main;
}

void LoaderFrm::Form_Load(const QString& commandLine) {
    setHeightTwips(1470);
    if (isDebugSwitch(commandLine)) {
        buildControls();
        Label5->setText(QStringLiteral("Полная(отладочная) версия"));
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        // The buttons lie below the visible part during the wait; without
        // this the first would still take the keyboard focus, and a Space
        // or Enter would open the light window instead of the full one.
        setButtonsFocusable(false);
        show();
        QPointer<LoaderFrm> guard(this);
        m_waiting = true;
        PauseWithEvents::pause(1.5);
        if (!guard)
            return;
        m_waiting = false;
        setHeightTwips(2100);
        setButtonsFocusable(true);
        openMain(true);
    } else {
        setHeightTwips(2100);
        openMain(false);
    }
}

void LoaderFrm::setButtonsFocusable(bool focusable) {
    for (QPushButton* b : {Command1, Command2})
        b->setFocusPolicy(focusable ? Qt::StrongFocus : Qt::NoFocus);
}

void LoaderFrm::closeEvent(QCloseEvent* event) {
    if (m_waiting) {
        // The wait ends by opening the full window whatever happens during
        // it; closing the loader only takes it off the screen sooner.
        // Discarding it here would end the start-up with no window at all
        // and a program that never quits.
        event->ignore();
        hide();
        return;
    }
    QWidget::closeEvent(event);
}

void LoaderFrm::openMain(bool full) {
    QPointer<QWidget>& slot = full ? fullWindow() : lightWindow();
    if (!slot) {
        QWidget* w = full ? static_cast<QWidget*>(new MainFrmFull())
                          : static_cast<QWidget*>(new MainFrmLight());
        w->setAttribute(Qt::WA_DeleteOnClose);
        slot = w;
    }
    slot->show();
    m_main = slot;
}

void LoaderFrm::Command1_Click() {
    openMain(false);
    close();
}

void LoaderFrm::Command2_Click() {
    openMain(true);
    close();
}
