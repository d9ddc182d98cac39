#pragma once

// The names and descriptions a screen reader gives every control of every
// window, kept in one table rather than scattered through the layouts. Rows
// belong to a window class (or a base class, for controls all its windows
// share) and name a control by its objectName. A new window calls apply()
// once its controls exist and adds its rows to the table.

#include <QString>

class QWidget;

class AccessibleNames {
public:
    // Names and describes the window's controls from the rows of its class
    // and of every base class.
    static void apply(QWidget* window);
};
