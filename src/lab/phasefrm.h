#pragma once

// The lab window "Фазовый портрет", beside a main window and never blocking
// it. Unlike the main windows it is laid out with Qt's layouts, so that it
// can be resized: on the left the phase plane, the ΔV strip under it and
// the readout, one label per line; on the right the example choice, a
// slider with a typed box for each value, the method, the disaster, the
// switches and buttons, and the table of compared steps. It takes the
// values of its main window's last run and follows every later one; it
// changes the main window only through "В главное окно".

#include "analysis/labrun.h"
#include "export/labpicture.h"

#include <QPointer>
#include <QWidget>

class CompareTable;
class JumpStrip;
class MainFormBase;
class ParamSlider;
class PhasePlane;
class ReadoutPanel;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

class PhaseFrm : public QWidget {
    Q_OBJECT
public:
    // Without a main window the lab stands alone (nothing to follow).
    explicit PhaseFrm(MainFormBase* main = nullptr);

    // The main window's lab, made when first asked for and raised after.
    static PhaseFrm* openFor(MainFormBase* main);

    const LabRun& run() const { return m_run; }
    const LabRun::Params& params() const { return m_params; }
    // As if every control had been set to these values.
    void setParams(const LabRun::Params& params);
    QStringList readout() const;

public slots:
    // Takes the main window's last run, if there is one.
    void followMain();
    void sendToMain();
    void chooseExample(int index);
    void openMenu(const QPoint& globalPosition);
    void savePicture();
    void copyPicture();
    void saveValues();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build();
    void recompute();
    void showRun();
    void showControls();
    QImage picture() const;
    QSize pictureSize() const;

    QPointer<MainFormBase> m_main;
    LabRun::Params m_params;
    // The main window's last run as the lab's values, for telling them apart.
    LabRun::Params m_mainParams;
    bool m_hasMain = false;
    // A run of the main window arrived while the lab was hidden.
    bool m_stale = false;
    double m_strikeTime = 0;
    LabRun m_run;
    LabPicture::Style m_style;

    ParamSlider* m_k1 = nullptr;
    ParamSlider* m_k2 = nullptr;
    ParamSlider* m_a1 = nullptr;
    ParamSlider* m_a2 = nullptr;
    ParamSlider* m_x0 = nullptr;
    ParamSlider* m_y0 = nullptr;
    ParamSlider* m_dt = nullptr;
    ParamSlider* m_span = nullptr;
    ParamSlider* m_strike = nullptr;
    ParamSlider* m_divisor = nullptr;
    QComboBox* m_example = nullptr;
    QComboBox* m_method = nullptr;
    QCheckBox* m_disaster = nullptr;
    QCheckBox* m_field = nullptr;
    QPushButton* m_compare = nullptr;
    QPushButton* m_toMain = nullptr;
    QLabel* m_differs = nullptr;
    CompareTable* m_table = nullptr;
    ReadoutPanel* m_readout = nullptr;
    PhasePlane* m_plane = nullptr;
    JumpStrip* m_strip = nullptr;
};
