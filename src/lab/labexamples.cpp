#include "lab/labexamples.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
std::vector<LabExamples::Example> readFolder(const QString& folder) {
    std::vector<LabExamples::Example> out;
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({QStringLiteral("*.morvane")}, QDir::Files | QDir::Readable, QDir::Name)) {
        // A file that cannot be read is left out of the list; opening it
        // through the menu says why.
        const QString path = dir.filePath(name);
        if (const auto c = ScenarioFile::load(path, nullptr))
            out.push_back({c->title.isEmpty() ? QFileInfo(name).completeBaseName() : c->title,
                           c->scenario, path});
    }
    return out;
}

QSettings settings() {
    return QSettings(QStringLiteral("Morvane"), QStringLiteral("Morvane"));
}
} // namespace

// The program's own copies live in the windows library, whose resources are
// not registered on their own.
static void registerResources() {
    Q_INIT_RESOURCE(morvane);
}

const std::vector<LabExamples::Example>& LabExamples::all() {
    static const std::vector<Example> shipped = [] {
        registerResources();
        const QString installed = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                         QStringLiteral("morvane/examples"),
                                                         QStandardPaths::LocateDirectory);
        std::vector<Example> found;
        if (!installed.isEmpty())
            found = readFolder(installed);
        return found.empty() ? readFolder(QStringLiteral(":/morvane/examples")) : found;
    }();
    return shipped;
}

std::vector<LabExamples::Example> LabExamples::withOwn() {
    std::vector<Example> list = all();
    if (const QString own = ownFolder(); !own.isEmpty())
        for (Example& e : readFolder(own))
            list.push_back(std::move(e));
    return list;
}

QString LabExamples::ownFolder() {
    return settings().value(QStringLiteral("lab/examples")).toString();
}

void LabExamples::setOwnFolder(const QString& folder) {
    settings().setValue(QStringLiteral("lab/examples"), folder);
}
