#include "ui/typeddisaster.h"

#include "common/numbertext.h"
#include "plot/disastermarker.h"
#include "ui/appmessage.h"
#include "ui/mainformbase.h"

#include <QInputDialog>
#include <QPointer>

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

double TypedDisaster::position(const ModelState& state, double time) {
    return DisasterMarker::BandLeft + time / state.dt * state.twipsPerStep;
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
        // Only a time a press could have given: strictly inside the graph.
        const auto time = NumberText::tryDouble(text);
        const double x = time ? position(form->state(), *time) : 0.0;
        if (time && DisasterMarker::insideBand(x, y)) {
            DisasterMarker::arm(form->state());
            form->Form_MouseDown(Qt::NoButton, {}, x, y);
            return;
        }
        AppMessage::show(
            form, AppMessage::Exclamation,
            QStringLiteral("Время катастрофы должно быть числом больше 0 и меньше %1.").arg(span));
        if (!guard)
            return;
    }
}
