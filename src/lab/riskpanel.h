#pragma once

// The lab's window "Риск вымирания": the scenario of the lab counted in
// individuals, many runs at once, and what they say in sentences a student
// reads, with and without the disaster side by side. The runs go on a
// thread of their own (the ensemble spreads them over every core), so that
// the window keeps painting and "Остановить" is heard at once; the figures
// come back as a queued call, and those of a count the scenario or a newer
// count has overtaken are dropped.

#include "extinction/ensemble.h"
#include "model/scenario.h"

#include <QWidget>
#include <memory>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QThread;
class QTimer;
class RiskPicture;

class RiskPanel : public QWidget {
    Q_OBJECT
public:
    explicit RiskPanel(QWidget* parent = nullptr);
    ~RiskPanel() override;

    // The lab's scenario; figures counted for another one say they are stale.
    void setScenario(const Scenario& scenario);
    const Scenario& scenario() const { return m_scenario; }
    bool counting() const { return bool(m_control); }
    // The last figures shown, for the tests and the picture.
    const std::optional<Extinction::Result>& result() const { return m_result; }
    QString text() const;

    QSpinBox* omega() const { return m_omega; }
    QSpinBox* runs() const { return m_runs; }
    QSpinBox* seed() const { return m_seed; }
    QPushButton* countButton() const { return m_count; }
    QPushButton* stopButton() const { return m_stop; }

public slots:
    void count();
    void stop();

signals:
    // A count's figures were shown (complete, partial or failed).
    void shown();

private:
    Extinction::Settings settings() const;
    void arrived(quint64 generation, const Extinction::Result& result);
    void showResult();
    void tick();
    void showState(const QString& text);

    Scenario m_scenario;
    // The scenario and settings the shown figures were counted for.
    Scenario m_countedFor;
    Extinction::Settings m_countedWith;
    std::optional<Extinction::Result> m_result;
    // Every count gets the next number; only the newest one's figures show.
    quint64 m_generation = 0;
    std::shared_ptr<Extinction::Control> m_control;
    QList<QThread*> m_threads;
    QList<std::shared_ptr<Extinction::Control>> m_controls;

    QSpinBox* m_omega = nullptr;
    QSpinBox* m_runs = nullptr;
    QSpinBox* m_seed = nullptr;
    QPushButton* m_count = nullptr;
    QPushButton* m_stop = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_state = nullptr;
    QLabel* m_figures = nullptr;
    RiskPicture* m_picture = nullptr;
    QTimer* m_timer = nullptr;
};
