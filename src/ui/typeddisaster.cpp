#include "ui/typeddisaster.h"

#include "common/numbertext.h"
#include "model/scenario.h"
#include "model/trajectory.h"
#include "plot/disastermarker.h"
#include "ui/appmessage.h"
#include "ui/mainformbase.h"

#include <QInputDialog>
#include <QPointer>
#include <QScrollBar>
#include <algorithm>

namespace {
TypedDisaster::Asker& asker() {
    static TypedDisaster::Asker a;
    return a;
}

QString ask(QWidget* parent, const QString& label, const QString& text, bool* ok) {
    if (asker())
        return asker()(parent, label, text, ok);
    QInputDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Катастрофа"));
    dialog.setLabelText(label);
    dialog.setTextValue(text);
    dialog.setOkButtonText(QStringLiteral("Отметить"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    *ok = dialog.exec() == QDialog::Accepted;
    return dialog.textValue();
}
} // namespace

void TypedDisaster::setAsker(Asker a) {
    asker() = std::move(a);
}

void TypedDisaster::mark(MainFormBase* form) {
    if (form->state().graphReady != -1) {
        AppMessage::show(form, AppMessage::Exclamation, QStringLiteral("Нет графика!"));
        return;
    }
    const QString span = NumberText::fromInt(form->state().t);
    const QString label =
        QStringLiteral("Время катастрофы t, больше 0 и меньше %1 (например, 12,5):").arg(span);
    // Half way up the band: any height inside it marks the same.
    const double y = (DisasterMarker::BandTop + DisasterMarker::BandBottom) / 2;
    QPointer<MainFormBase> guard(form);
    QString text;
    for (;;) {
        bool ok = false;
        text = ask(form, label, text, &ok);
        if (!guard || !ok || guard->isBusy())
            return;
        // The step the time strikes, by the rule every run keeps; a press
        // there marks it, and the last step of a span that is no whole
        // number of steps, which lies past the graph's end, is marked as a
        // press would if it could reach it.
        const ModelState& s = guard->state();
        const auto time = NumberText::tryDouble(text);
        const int last = int(std::min(s.xSeries.size(), s.ySeries.size())) - 1;
        const Scenario::Strike strike =
            time ? Scenario::strike(*time, s.dt, last) : Scenario::Strike{};
        if (strike.ok()) {
            // Where a press at that time would be, unless the mark's single
            // precision would carry it to another step.
            double x = DisasterMarker::BandLeft + *time / s.dt * s.twipsPerStep;
            ModelState probe;
            probe.twipsPerStep = s.twipsPerStep;
            probe.disasterX = float(x - DisasterMarker::BandLeft);
            if (Trajectory::disasterStep(probe) != strike.step)
                x = DisasterMarker::BandLeft + Trajectory::markFor(s.twipsPerStep, strike.step);
            if (DisasterMarker::insideBand(x, y)) {
                DisasterMarker::arm(form->state());
                form->Form_MouseDown(Qt::NoButton, {}, x, y);
            } else {
                form->markStep(strike.step, s.t, s.dt);
                form->state().disasterFactor = DisasterMarker::factorFor(form->VScroll1->value());
            }
            return;
        }
        AppMessage::show(
            form, AppMessage::Exclamation,
            QStringLiteral("Время катастрофы должно быть числом больше 0 и меньше %1.").arg(span));
        if (!guard)
            return;
    }
}
