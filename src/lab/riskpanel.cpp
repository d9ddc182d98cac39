#include "lab/riskpanel.h"

#include "lab/riskwords.h"

#include "common/numbertext.h"
#include "extinction/individualrun.h"
#include "lab/riskpicture.h"
#include "ui/accessiblenames.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

using namespace Extinction;

RiskPanel::RiskPanel(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("RiskPanel"));
    setWindowTitle(QStringLiteral("Риск вымирания"));
    auto* outer = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    outer->addLayout(form);
    m_omega = new QSpinBox(this);
    m_omega->setObjectName(QStringLiteral("OmegaBox"));
    m_omega->setRange(1, IndividualRun::MostOmega);
    m_omega->setValue(Settings{}.omega);
    form->addRow(QStringLiteral("Ω, &особей в единице:"), m_omega);
    m_runs = new QSpinBox(this);
    m_runs->setObjectName(QStringLiteral("RunsBox"));
    m_runs->setRange(1, MostRuns);
    m_runs->setValue(Settings{}.runs);
    form->addRow(QStringLiteral("&Прогонов:"), m_runs);
    m_seed = new QSpinBox(this);
    m_seed->setObjectName(QStringLiteral("SeedBox"));
    m_seed->setRange(0, std::numeric_limits<int>::max());
    m_seed->setValue(int(Settings{}.seed));
    form->addRow(QStringLiteral("&Зерно:"), m_seed);
    auto* buttons = new QHBoxLayout;
    outer->addLayout(buttons);
    m_count = new QPushButton(QStringLiteral("&Считать"), this);
    m_count->setObjectName(QStringLiteral("CountRisk"));
    m_count->setDefault(true);
    buttons->addWidget(m_count);
    m_stop = new QPushButton(QStringLiteral("Ос&тановить"), this);
    m_stop->setObjectName(QStringLiteral("StopRisk"));
    m_stop->setEnabled(false);
    buttons->addWidget(m_stop);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("RiskProgress"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    outer->addWidget(m_progress);
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("RiskState"));
    m_state->setWordWrap(true);
    outer->addWidget(m_state);
    m_figures = new QLabel(this);
    m_figures->setObjectName(QStringLiteral("RiskFigures"));
    m_figures->setWordWrap(true);
    m_figures->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_figures->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    outer->addWidget(m_figures);
    m_picture = new RiskPicture(this);
    outer->addWidget(m_picture, 1);
    connect(m_picture, &RiskPicture::done, this, &RiskPanel::showState);
    outer->addWidget(new QLabel(QStringLiteral("Модель считает особей: без возраста, без "
                                               "пространства и без миграции; каждая особь "
                                               "встречает каждую."),
                                this));
    m_timer = new QTimer(this);
    // Often enough for the bar to move smoothly, seldom enough to cost nothing.
    m_timer->setInterval(50);
    connect(m_timer, &QTimer::timeout, this, &RiskPanel::tick);
    connect(m_count, &QPushButton::clicked, this, &RiskPanel::count);
    connect(m_stop, &QPushButton::clicked, this, &RiskPanel::stop);
    AccessibleNames::apply(this);
    resize(760, 720);
    showState(QStringLiteral("Нажмите «Считать»: %1 прогонов по Ω особей в единице.")
                  .arg(m_runs->value()));
}

RiskPanel::~RiskPanel() {
    // Every worker stops within a tenth of a second; none may outlive the
    // panel it reports to.
    for (const auto& c : std::as_const(m_controls))
        c->stop = true;
    for (QThread* t : std::as_const(m_threads)) {
        t->wait();
        delete t;
    }
}

Extinction::Settings RiskPanel::settings() const {
    Settings s;
    s.omega = m_omega->value();
    s.runs = m_runs->value();
    s.seed = std::uint64_t(m_seed->value());
    return s;
}

void RiskPanel::setScenario(const Scenario& scenario) {
    if (scenario == m_scenario)
        return;
    m_scenario = scenario;
    // A count of the old scenario would only be dropped on arrival.
    if (m_control) {
        m_control->stop = true;
        m_control.reset();
        ++m_generation;
        m_timer->stop();
        m_count->setEnabled(true);
        m_stop->setEnabled(false);
    }
    showResult();
}

void RiskPanel::count() {
    if (m_control)
        return;
    const Settings s = settings();
    if (const auto problem = Extinction::check(m_scenario, s)) {
        m_result.reset();
        showResult();
        showState(QStringLiteral("Не считаю: %1 — %2").arg(problem->field, problem->message));
        return;
    }
    const quint64 generation = ++m_generation;
    auto control = std::make_shared<Control>();
    m_control = control;
    m_controls << control;
    const Scenario scenario = m_scenario;
    QThread* thread = QThread::create([this, control, scenario, s, generation] {
        Result r;
        try {
            r = Extinction::run(scenario, s, control.get());
        } catch (...) {
            // Nothing may cross the thread; the figures so far are lost.
            r = Result{};
            r.partial = true;
            r.failure = QStringLiteral("не хватило памяти");
        }
        try {
            QMetaObject::invokeMethod(
                this, [this, generation, r = std::move(r)] { arrived(generation, r); },
                Qt::QueuedConnection);
        } catch (...) {
            // Too little memory even to hand the figures over: the window
            // still learns that the count has ended.
            try {
                QMetaObject::invokeMethod(
                    this,
                    [this, generation] {
                        Result none;
                        none.partial = true;
                        arrived(generation, none);
                    },
                    Qt::QueuedConnection);
            } catch (...) {
            }
        }
    });
    m_threads << thread;
    connect(thread, &QThread::finished, this, [this, thread, control] {
        m_threads.removeOne(thread);
        m_controls.removeOne(control);
        thread->deleteLater();
    });
    m_countedFor = scenario;
    m_countedWith = s;
    m_count->setEnabled(false);
    m_stop->setEnabled(true);
    m_progress->setRange(0, s.runs);
    m_progress->setValue(0);
    showState(QStringLiteral("Считаю…"));
    m_timer->start();
    thread->start();
}

void RiskPanel::stop() {
    if (m_control)
        m_control->stop = true;
    m_stop->setEnabled(false);
}

void RiskPanel::tick() {
    if (!m_control)
        return;
    const long long total = m_control->total.load();
    const long long done = m_control->done.load();
    if (total > 0) {
        // The bar's int holds any count of runs the ensemble makes.
        m_progress->setRange(0, 1000);
        m_progress->setValue(int(1000 * done / total));
    }
}

void RiskPanel::arrived(quint64 generation, const Extinction::Result& result) {
    if (generation != m_generation)
        return;
    m_control.reset();
    m_timer->stop();
    m_count->setEnabled(true);
    m_stop->setEnabled(false);
    m_progress->setRange(0, 1);
    m_progress->setValue(result.partial ? 0 : 1);
    m_result = result;
    showResult();
    emit shown();
}

void RiskPanel::showState(const QString& text) {
    m_state->setText(text);
}

QString RiskPanel::text() const {
    return m_state->text() + QLatin1Char('\n') + m_figures->text();
}

void RiskPanel::showResult() {
    m_picture->show(m_result, m_countedFor);
    if (!m_result) {
        m_figures->clear();
        return;
    }
    const Result& r = *m_result;
    QStringList state;
    if (!r.failure.isEmpty())
        state << QStringLiteral("Счёт прерван: %1.").arg(r.failure);
    if (r.partial)
        state << QStringLiteral("Остановлено: сосчитано %1 прогонов из %2, цифры неполные.")
                     .arg(r.withDisaster.runs)
                     .arg(m_countedWith.runs);
    else
        state << QStringLiteral("Сосчитано %1 прогонов, Ω = %2, зерно %3.")
                     .arg(m_countedWith.runs)
                     .arg(m_countedWith.omega)
                     .arg(m_countedWith.seed);
    if (!(m_countedFor == m_scenario))
        state.prepend(QStringLiteral("Устарело: сценарий изменился, нажмите «Считать» снова."));
    showState(state.join(QLatin1Char(' ')));

    const QStringList lines = RiskWords::lines(r, m_countedFor.divisor);
    m_figures->setText(lines.join(QLatin1Char('\n')));
}
