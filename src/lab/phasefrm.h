#pragma once

// The lab window "Фазовый портрет", beside a main window and never blocking
// it. Unlike the main windows it is laid out with Qt's layouts, so that it
// can be resized: on the left the phase plane, the ΔV strip under it and
// the readout, one label per line; on the right the controls (LabPanel).
// It holds one scenario (LabState), takes the values of its main window's
// last run and follows every later one; it changes the main window only
// through "В главное окно". Edits are coalesced: a burst of them computes
// and paints only the newest scenario.

#include "analysis/labrun.h"
#include "analysis/labstate.h"
#include "export/labpicture.h"
#include "lab/labscenarios.h"

#include <QPointer>
#include <QWidget>

class JumpStrip;
class LabPanel;
class MainFormBase;
class PhasePlane;
class ReadoutPanel;
class RiskPanel;

class PhaseFrm : public QWidget {
    Q_OBJECT
public:
    // Without a main window the lab stands alone (nothing to follow).
    explicit PhaseFrm(MainFormBase* main = nullptr);

    // The main window's lab, made when first asked for and raised after.
    static PhaseFrm* openFor(MainFormBase* main);

    // The run of the newest scenario, computed now if an edit is pending.
    const LabRun& run();
    const Scenario& scenario() const { return m_state.scenario(); }
    // As if every control had been set to these values.
    void setScenario(const Scenario& scenario);
    // The readout as the window shows it, six digits a number.
    QStringList readout();
    // The window "Риск вымирания" of this scenario, made when first asked for.
    RiskPanel* openRisk();

public slots:
    // Takes the main window's last run, if there is one.
    void followMain();
    void sendToMain();
    // An example's scenario: the values, but not the file's title.
    void chooseExample(const Scenario& scenario);
    // A scenario file: its values, its title in the window's title.
    bool openScenario(const QString& path);
    void askScenario();
    void saveScenario();
    void chooseFolder();
    void openMenu(const QPoint& globalPosition);
    void savePicture();
    void copyPicture();
    void saveValues();

    // For the lab's menu: the picture's size and style, and a short word
    // that a save or copy happened, in the line under the controls.
    QSize pictureSize() const;
    const LabPicture::Style& style() const { return m_style; }
    void confirm(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void connectPanel();
    // After an edit: show the held values, compute once the burst is over.
    void changed(bool fromPanel, bool keepScales = false);
    void recompute();
    // A save or copy done, said for a few seconds.

    QPointer<MainFormBase> m_main;
    LabState m_state;
    // A run of the main window arrived while the lab was hidden.
    bool m_stale = false;
    bool m_pending = false;
    LabRun m_run;
    LabPicture::Style m_style;

    LabScenarios m_file;
    LabPanel* m_panel = nullptr;
    ReadoutPanel* m_readout = nullptr;
    PhasePlane* m_plane = nullptr;
    JumpStrip* m_strip = nullptr;
    QPointer<RiskPanel> m_risk;
};
