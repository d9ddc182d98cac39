#pragma once

// The disaster marked at a typed model time instead of a press on the
// graph: the keyboard's way to mark, and the only way to hit a step
// exactly. The time becomes the position a press at that moment would have,
// and the press's own handler marks there, so the mark, the view line, the
// caption and every later run are those of such a press.

#include <QString>
#include <functional>

class MainFormBase;
class QWidget;
struct ModelState;

class TypedDisaster {
public:
    // Asks for the time in a small input box and marks there; a time no
    // press could give is refused and asked for again.
    static void mark(MainFormBase* form);

    // Asks as QInputDialog::getText does; tests answer instead.
    using Asker = std::function<QString(QWidget* parent, const QString& label, const QString& text,
                                        bool* ok)>;
    static void setAsker(Asker asker);
};
