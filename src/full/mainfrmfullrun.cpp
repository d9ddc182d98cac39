// The staged calculation run, the statistics opening with its timing
// correction, and the corrections graph; the window itself is built in
// mainfrmfull.cpp.
#include "full/mainfrmfull.h"

#include "common/checkedmath.h"
#include "common/clock.h"
#include "common/numbertext.h"
#include "common/runerror.h"
#include "diag/corrections.h"
#include "diag/logentries.h"
#include "full/form1.h"
#include "full/statusbar.h"
#include "model/lastrun.h"
#include "model/trajectory.h"
#include "plot/graphplotter.h"
#include "ui/appmessage.h"
#include "ui/drawinglayer.h"
#include "ui/formbuilder.h"
#include "ui/graphdescription.h"
#include "ui/graphmenu.h"
#include "ui/shapewidget.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

using FB = FormBuilder;

void MainFrmFull::StartCount_Click() {
    BusyScope busy(this);
    FocusScope focus(this);
    ModelState& s = m_state;
    try {
        // Initialisation
        ProgBar->setValue(0);
        setStatus(QStringLiteral("Инициализация..."));
        double stageStart = Clock::now();
        DrawCorrect->setEnabled(false);
        StartCount->setEnabled(false);
        Label12->setText(QStringLiteral("0"));
        if (checked(Check4))
            showLogWindow();
        const double pauseDelay = pauseLength();
        setStatisticsVisible(false);
        m_layer->clear();
        Graph->setAccessibleDescription(GraphDescription::noGraph());
        pause(pauseDelay);
        InputReader::readFull(s, inputTexts());
        if (checked(Check4))
            log(LogEntries::startBlock(s, QDateTime::currentDateTime()));
        Trajectory::begin(s);
        const float initElapsed = Clock::since(stageStart);
        if (checked(Check4))
            log(LogEntries::elapsedGroup(QStringLiteral("InitElapsed"), initElapsed));

        // Calculation
        setStatus(QStringLiteral("Просчет значений... [на инициализацию затрачено:") +
                  NumberText::fromSingle(initElapsed) + QLatin1Char(']'));
        stageStart = Clock::now();
        const double strike = Trajectory::disasterStep(s);
        {
            const int last = Trajectory::lastStep(s, Trajectory::bound(s));
            for (int i = 1; i <= last; ++i) {
                Trajectory::step(s, i, strike);
                if (checked(Check5))
                    setProgress(i);
            }
        }
        m_layer->frames().release();
        const float countElapsed = Clock::since(stageStart);
        if (checked(Check4))
            log(LogEntries::elapsedGroup(QStringLiteral("CountElapsed"), countElapsed));

        // Drawing
        setStatus(QStringLiteral("Прорисовка графика... [на просчет затрачено:") +
                  NumberText::fromSingle(countElapsed) + QLatin1Char(']'));
        stageStart = Clock::now();
        {
            // A local counter: a disaster mark accepted during a pause
            // redraws with the window's own step index and must not end
            // this pass early.
            const int last = GraphPlotter::beginCurves(s);
            for (int i = 1; i <= last; ++i) {
                GraphPlotter::raiseMaxima(s, i);
                m_layer->frames().hold(xCur);
                m_layer->frames().hold(yCur);
                xCur->setText(NumberText::fromDouble(CheckedMath::roundTo(s.xSeries[i], 8)));
                yCur->setText(NumberText::fromDouble(CheckedMath::roundTo(s.ySeries[i], 8)));
                GraphPlotter::drawStep(s, *m_layer, i);
                s.stepIndex = std::int16_t(i);
                if (checked(Check3))
                    pause(pauseDelay);
                if (checked(Check4))
                    log({LogEntries::point(i, s.xSeries[i], s.ySeries[i])});
                if (checked(Check5))
                    setProgress(i);
            }
        }
        m_layer->frames().release();
        const float drawElapsed = Clock::since(stageStart);
        if (checked(Check4))
            log(LogEntries::elapsedGroup(QStringLiteral("DrawElapsed"), drawElapsed));

        // Graduation
        setStatus(QStringLiteral("Градуировка шкалы... [на прорисовку затрачено:") +
                  NumberText::fromSingle(drawElapsed) + QLatin1Char(']'));
        stageStart = Clock::now();
        GraphPlotter::drawScale(s, *m_layer);
        if (checked(Check4))
            log(LogEntries::endBlock());
        const float gradElapsed = Clock::since(stageStart);

        if (checked(Check1)) {
            if (checked(Check4))
                log(LogEntries::elapsedGroup(QStringLiteral("GradElapsed"), gradElapsed));
            setStatus(QStringLiteral("Вывод статистики... [на градуировку затрачено:") +
                      NumberText::fromSingle(gradElapsed) + QLatin1Char(']'));
            stageStart = Clock::now();
            RevealStatistics();
        }

        DrawCorrect->setEnabled(true);
        StartCount->setEnabled(true);
        s.graphReady = -1;
        lastRun()->set(RunRecord::of(s, strike, divisorInForce()));
        Graph->setAccessibleDescription(GraphDescription::text(s));
        setStatus(QStringLiteral("Готово"));
    } catch (const RunError& e) {
        m_layer->frames().release();
        AppMessage::report(this, e);
        DrawCorrect->setEnabled(true);
        StartCount->setEnabled(true);
        if (const auto* unread = dynamic_cast<const InputReader::Failure*>(&e))
            focusUnread(*unread);
    } catch (const Aborted&) {
        // The window was closed during a pause; it is not touched again.
    }
}

void MainFrmFull::MeasureReveal() {
    ModelState& s = m_state;
    Shape4->show();
    Shape2->show();
    Shape2->setHeightTwips(95);
    const double start = Clock::now();
    while (Shape2->heightTwips() < 1095.0f) {
        QCoreApplication::processEvents();
        if (isClosing())
            throw Aborted{};
        Shape2->setHeightTwips(Shape2->heightTwips() + s.correctionFactor);
    }
    Corrections::record(s, Clock::since(start));
    Shape2->setHeightTwips(1095);
    Label28->setText(NumberText::fromInt(s.correctionCount));
    Label23->setText(NumberText::fromDouble(CheckedMath::roundTo(s.lastElapsed, 5)));
    Label24->setText(NumberText::fromDouble(CheckedMath::roundTo(s.correctionFactor, 5)));
    Label26->setText(QStringLiteral("Включена"));
    FB::setTextColour(Label26, 0, 128, 0);
}

void MainFrmFull::RevealStatistics() {
    MeasureReveal();
    Label16->setText(NumberText::fromDouble(m_state.xMax));
    Label18->setText(NumberText::fromDouble(m_state.yMax));
    Label14->show();
    pause(0.3);
    Label15->show();
    pause(0.3);
    Label16->show();
    pause(0.3);
    Label17->show();
    pause(0.3);
    Label18->show();
}

void MainFrmFull::DrawCorrect_Click() {
    if (m_state.correctionCount < 2) {
        AppMessage::show(this, AppMessage::Exclamation, QStringLiteral("Недостаточно данных!"));
        return;
    }
    BusyScope busy(this);
    FocusScope focus(this);
    ModelState& s = m_state;
    try {
        DrawCorrect->setEnabled(false);
        StartCount->setEnabled(false);
        Label12->setText(QStringLiteral("1"));
        if (checked(Check4))
            showLogWindow();
        const double p = pauseLength();
        setStatisticsVisible(false);
        m_layer->clear();
        Graph->setAccessibleDescription(
            QStringLiteral("График корректировок, всего: %1.").arg(s.correctionCount));
        pause(p);
        Corrections::beginGraph(s);
        const int n = s.correctionCount;
        for (int i = 1; i <= n - 1; ++i) {
            Corrections::drawGraphStep(s, *m_layer, i);
            xCur->setText(NumberText::fromDouble(CheckedMath::roundTo(s.elapsedHistory[i], 7)));
            yCur->setText(NumberText::fromDouble(CheckedMath::roundTo(s.factorHistory[i], 7)));
            if (checked(Check3))
                pause(p);
        }
        Corrections::drawGraphEnd(s, *m_layer);
        graphMenu()->keepCorrections(s, n);
        if (checked(Check1))
            RevealStatistics();
    } catch (const RunError& e) {
        AppMessage::report(this, e);
    } catch (const Aborted&) {
        return;
    }
    DrawCorrect->setEnabled(true);
    StartCount->setEnabled(true);
}
