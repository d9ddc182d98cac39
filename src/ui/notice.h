#pragma once

#include <QString>

class QWidget;

// A short word after an action that otherwise shows nothing (a file saved,
// a picture copied, a command that cannot act yet): a small label over the
// lower edge of `near`, gone again after a few seconds or at the next one.
// No box to close, so it never stands between the user and the window.
class Notice {
public:
    static void show(QWidget* near, const QString& text, int milliseconds = 4000);
    // The notice `near` shows now, empty when none.
    static QString current(const QWidget* near);
    // What a save says: the file's own name, without its folder.
    static QString saved(const QString& path);
    static QString copied() { return QStringLiteral("График скопирован в буфер обмена"); }
};
