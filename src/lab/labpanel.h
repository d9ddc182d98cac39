#pragma once

#include "analysis/labstate.h"
#include "lab/labexamples.h"

#include <QWidget>

class CompareTable;
class ParamSlider;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

// The lab's controls, top to bottom: the example choice, a slider with a
// typed box for each value, the method, the disaster with its moment and
// divisor, the direction field, "Сравнить шаги", the line that tells the
// lab's values from the main window's, "В главное окно" and the table of
// compared steps. It shows a scenario as it is held and reports every edit;
// it keeps no values of its own.
class LabPanel : public QWidget {
    Q_OBJECT
public:
    explicit LabPanel(QWidget* parent);

    void show(const Scenario& scenario);
    // The examples again, the teacher's folder's included.
    void listExamples();
    const std::vector<LabExamples::Example>& examples() const { return m_examples; }
    // After an edit: the example no longer describes the values.
    void forgetExample();

    QComboBox* example() const { return m_example; }
    QCheckBox* field() const { return m_field; }
    QPushButton* compare() const { return m_compare; }
    QPushButton* toMain() const { return m_toMain; }
    QPushButton* risk() const { return m_risk; }
    QLabel* differs() const { return m_differs; }
    CompareTable* table() const { return m_table; }

signals:
    void valueEdited(LabState::Value which, double value);
    void methodChosen(StepMethod method);
    void disasterToggled(bool on);
    void strikeEdited(double time);
    void divisorEdited(int divisor);
    void exampleChosen(const Scenario& scenario);
    // The last entry of the example choice: another folder of scenarios.
    void folderWanted();

private:
    ParamSlider* slider(const char* name, const QString& caption, int kind);

    class QGridLayout* m_grid;
    int m_row = 0;
    ParamSlider* m_values[8] = {};
    ParamSlider* m_strike = nullptr;
    ParamSlider* m_divisor = nullptr;
    QComboBox* m_example = nullptr;
    std::vector<LabExamples::Example> m_examples;
    QComboBox* m_method = nullptr;
    QCheckBox* m_disaster = nullptr;
    QCheckBox* m_field = nullptr;
    QPushButton* m_compare = nullptr;
    QPushButton* m_risk = nullptr;
    QPushButton* m_toMain = nullptr;
    QLabel* m_differs = nullptr;
    CompareTable* m_table = nullptr;
};
