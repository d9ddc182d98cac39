#pragma once

#include <QString>

// Qt's own texts (the file dialog, message box buttons, a text box's context
// menu) in Russian, whatever the system's language: the interface is
// Russian, and dialogs in another language would look unfinished.
class QtTranslation {
public:
    // Installs Qt's Russian catalogue from Qt's translations folder into the
    // running application. A machine without the catalogue keeps Qt's
    // English texts: false, and nothing said.
    static bool install();
    // The same from another folder.
    static bool install(const QString& folder);
};
