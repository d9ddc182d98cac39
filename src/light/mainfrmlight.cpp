#include "light/mainfrmlight.h"

#include "common/checkedmath.h"
#include "common/runerror.h"
#include "model/lastrun.h"
#include "model/trajectory.h"
#include "plot/graphplotter.h"
#include "ui/accessiblenames.h"
#include "ui/appmessage.h"
#include "ui/drawinglayer.h"
#include "ui/formbuilder.h"
#include "ui/graphdescription.h"
#include "ui/graphmenu.h"
#include "ui/shapewidget.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

MainFrmLight::MainFrmLight(QWidget* parent) : MainFormBase(8280, 5355, parent) {
    setObjectName(QStringLiteral("MainFrmLight"));
    buildDisasterRow(this, 1200, 4725, 2880, 4725, 3600, 4725, 3840, 4680, 4080, 4680, 4440, 4720,
                     255);
    StartCount =
        FormBuilder::button(this, "StartCount", QStringLiteral("Рассчитать"), 120, 5040, 8055, 255);
    Shape1 = new ShapeWidget(this, QStringLiteral("Shape1"), 0, 0, 8295, 5415, false, false);
    finishLayout({"Graph",   "Shape1",   "Label1",  "Label2",  "Label3", "Label4",
                  "Label5",  "Label6",   "Label7",  "Label8",  "Label9", "Label10",
                  "Label11", "tt",       "Line1",   "Line2",   "tlabel", "Label13",
                  "Label12", "ViewLine", "Label29", "Label31", "Label30"},
                 {k1Input, StartCount, k2Input, dtInput, x0Input, y0Input, a1Input, a2Input, tInput,
                  MakeDisaster, VScroll1});
    AccessibleNames::apply(this);
}

void MainFrmLight::ReadInputs() {
    try {
        InputReader::readLight(m_state, inputTexts());
        m_state.inputError = 0;
    } catch (const InputReader::Failure& failure) {
        m_state.inputError = -1;
        AppMessage::show(this, AppMessage::Critical, QStringLiteral("Смотри, что пишешь!!"));
        focusUnread(failure);
    } catch (const RunError&) {
        m_state.inputError = -1;
        AppMessage::show(this, AppMessage::Critical, QStringLiteral("Смотри, что пишешь!!"));
    }
}

void MainFrmLight::StartCount_Click() {
    BusyScope busy(this);
    FocusScope focus(this);
    StartCount->setEnabled(false);
    try {
        m_layer->clear();
        Graph->setAccessibleDescription(GraphDescription::noGraph());
        pause(0.01);
        m_state.inputError = -1;
        ReadInputs();
        if (m_state.inputError == -1) {
            StartCount->setEnabled(true);
            return;
        }
        m_state.twipsPerStep = InputReader::twipsPerStep(m_state.t, m_state.dt);
        InputReader::seedMaxima(m_state);
        const double strike = Trajectory::disasterStep(m_state);
        Trajectory::calculate(m_state);
        GraphPlotter::drawCurves(m_state, *m_layer);
        GraphPlotter::drawScale(m_state, *m_layer);
        m_state.graphReady = -1;
        lastRun()->set(RunRecord::of(m_state, strike, divisorInForce()));
        Graph->setAccessibleDescription(GraphDescription::text(m_state));
    } catch (const RunError& e) {
        AppMessage::report(this, e);
    } catch (const Aborted&) {
        return;
    }
    StartCount->setEnabled(true);
}
