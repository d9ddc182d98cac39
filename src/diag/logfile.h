#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// "Log.ini": plain text appended block by block, lines ending in CR LF.
class LogFile {
public:
    static QString defaultPath(); // "Log.ini" in the current directory
    static QString header(const QDateTime& now);
    // Appends the header and every entry. Throws RunError naming the file
    // and the reason when it cannot be opened or written; what was written
    // before stays.
    static void append(const QString& path, const QStringList& entries, const QDateTime& now);
};
