#pragma once

#include "model/scenariofile.h"

#include <QString>
#include <functional>
#include <optional>

class QWidget;

// The lab's scenario file: opening one (asked for, or named on the command
// line), saving the lab's values to one, and what the window says of it: its
// title in the window's title, and whether the values still are the file's.
class LabScenarios {
public:
    // Asks for a file and reads it; a refusal is said in a message box
    // naming the file and the key, and nothing changes.
    bool ask(QWidget* parent);
    bool open(QWidget* parent, const QString& path);
    // Saves all or nothing: a save that fails keeps the old file.
    bool save(QWidget* parent, const Scenario& scenario);

    bool has() const { return m_contents.has_value(); }
    const ScenarioFile::Contents& contents() const { return *m_contents; }
    QString windowTitle() const;
    // Empty without a file.
    QString differs(const Scenario& scenario) const;

    // Asks as QFileDialog::getOpenFileName does; tests answer instead.
    using Chooser = std::function<QString(QWidget* parent)>;
    static void setChooser(Chooser chooser);

private:
    std::optional<ScenarioFile::Contents> m_contents;
    QString m_path;
};
