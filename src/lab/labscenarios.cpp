#include "lab/labscenarios.h"

#include "common/runerror.h"
#include "export/outputfiles.h"
#include "ui/appmessage.h"
#include "ui/graphmenu.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {
LabScenarios::Chooser& chooser() {
    static LabScenarios::Chooser c;
    return c;
}

QString filter() {
    return QStringLiteral("Сценарий Morvane (*.morvane)");
}
} // namespace

void LabScenarios::setChooser(Chooser c) {
    chooser() = std::move(c);
}

bool LabScenarios::ask(QWidget* parent) {
    const QString path = chooser() ? chooser()(parent)
                                   : QFileDialog::getOpenFileName(
                                         parent, QStringLiteral("Открыть сценарий"),
                                         m_path.isEmpty() ? QDir::currentPath() : m_path, filter());
    return !path.isEmpty() && open(parent, path);
}

bool LabScenarios::open(QWidget* parent, const QString& path) {
    QString why;
    auto contents = ScenarioFile::load(path, &why);
    if (!contents) {
        AppMessage::show(
            parent, AppMessage::Exclamation,
            QStringLiteral("Сценарий «%1» не открыт: %2").arg(QFileInfo(path).fileName(), why));
        return false;
    }
    m_contents = std::move(contents);
    m_path = path;
    return true;
}

bool LabScenarios::save(QWidget* parent, const Scenario& scenario) {
    QString chosen = filter();
    QString path = GraphMenu::chooseFile(parent, QStringLiteral("Сохранить сценарий"),
                                         m_path.isEmpty() ? QStringLiteral("урок.morvane")
                                                          : QFileInfo(m_path).fileName(),
                                         {filter()}, &chosen);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".morvane");
    ScenarioFile::Contents c{scenario, {}, {}, {}};
    if (m_contents) {
        // The risk's settings go along with the file they came in.
        c.risk = m_contents->risk;
        c.title = m_contents->title;
        c.note = m_contents->note;
    }
    if (c.title.isEmpty())
        c.title = QFileInfo(path).completeBaseName();
    OutputFiles file;
    try {
        file.add(path, ScenarioFile::write(c));
        file.commit();
    } catch (const RunError& e) {
        AppMessage::report(parent, e);
        return false;
    }
    m_contents = c;
    m_path = path;
    return true;
}

QString LabScenarios::windowTitle() const {
    const QString lab = QStringLiteral("Фазовый портрет");
    if (!m_contents)
        return lab;
    const QString title =
        m_contents->title.isEmpty() ? QFileInfo(m_path).fileName() : m_contents->title;
    return lab + QStringLiteral(" — ") + title;
}

QString LabScenarios::differs(const Scenario& scenario) const {
    if (!m_contents)
        return QString();
    Scenario mine = scenario, theirs = m_contents->scenario;
    // Without a disaster its moment and divisor are only memories.
    if (!mine.disaster)
        mine.strikeTime = theirs.strikeTime, mine.divisor = theirs.divisor;
    if (!theirs.disaster)
        theirs.strikeTime = mine.strikeTime, theirs.divisor = mine.divisor;
    const QString name = QFileInfo(m_path).fileName();
    return mine == theirs ? QStringLiteral("Значения — те же, что в файле «%1».").arg(name)
                          : QStringLiteral("Значения отличаются от файла «%1».").arg(name);
}
