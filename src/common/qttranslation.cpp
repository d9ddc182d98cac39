#include "common/qttranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool QtTranslation::install() {
    return install(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool QtTranslation::install(const QString& folder) {
    auto* app = QCoreApplication::instance();
    if (!app)
        return false;
    // Owned by the application, so that it outlives every window.
    auto* translator = new QTranslator(app);
    if (!translator->load(QStringLiteral("qtbase_ru"), folder)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
