#include "lab/labmenu.h"

#include "export/labfiles.h"
#include "lab/labreadout.h"
#include "lab/phasefrm.h"
#include "ui/graphmenu.h"
#include "ui/notice.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>

void LabMenu::open(PhaseFrm* lab, const QPoint& globalPosition) {
    QMenu menu(lab);
    menu.setObjectName(QStringLiteral("LabMenuPopup"));
    const auto [save, copy, values] = GraphMenu::addSaveItems(&menu, lab->run().problem.isEmpty());
    menu.addSeparator();
    QAction* open = menu.addAction(QStringLiteral("Открыть сценарий…"));
    open->setShortcut(QKeySequence::Open);
    QAction* keep = menu.addAction(QStringLiteral("Сохранить сценарий…"));
    keep->setShortcut(QKeySequence::Save);
    QAction* chosen = GraphMenu::execMenu(&menu, globalPosition);
    if (!chosen || !chosen->isEnabled())
        return;
    if (chosen == open)
        lab->askScenario();
    else if (chosen == keep)
        lab->saveScenario();
    else if (chosen == save)
        savePicture(lab);
    else if (chosen == copy)
        copyPicture(lab);
    else if (chosen == values)
        saveValues(lab);
}

void LabMenu::savePicture(PhaseFrm* lab) {
    const qreal scale = std::max<qreal>(lab->devicePixelRatioF(), 2.0);
    const LabRun& shown = lab->run();
    const QString path = GraphMenu::savePictureOf(
        lab, QStringLiteral("morvane-phase.png"),
        [&] { return LabFiles::png(shown, lab->style(), lab->pictureSize(), scale); },
        [&] { return LabFiles::svg(shown, lab->style(), lab->pictureSize()); });
    if (!path.isEmpty())
        lab->confirm(Notice::saved(path));
}

void LabMenu::copyPicture(PhaseFrm* lab) {
    QApplication::clipboard()->setImage(
        LabFiles::image(lab->run(), lab->style(), lab->pictureSize(),
                        std::max<qreal>(lab->devicePixelRatioF(), 2.0)));
    lab->confirm(Notice::copied());
}

void LabMenu::saveValues(PhaseFrm* lab) {
    const LabRun& shown = lab->run();
    const QString path = GraphMenu::saveValuesOf(
        lab, QStringLiteral("morvane-phase.csv"), [&](CsvWriter::Style style) {
            return LabFiles::csv(shown, LabReadout::rows(shown), style);
        });
    if (!path.isEmpty())
        lab->confirm(Notice::saved(path));
}
