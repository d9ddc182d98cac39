#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

class QIODevice;

// Files written whole or not at all. Every file goes to a temporary beside
// its target first; the targets are replaced only once all of them are
// complete, so a failure leaves every existing file as it was.
class OutputFiles {
public:
    // "-" stands for standard output.
    static bool isStandardOutput(const QString& path) { return path == QLatin1String("-"); }

    // All of `bytes` to standard output, flushed; DiskFull naming "-" when
    // any of them is not taken.
    static void writeStandardOutput(QIODevice& out, const QByteArray& bytes);

    void add(const QString& path, const QByteArray& bytes);
    // Writes every file beside its target, then standard output (when
    // given), then puts the files in place. Throws RunError naming the
    // file and the reason: PermissionDenied or PathFileAccess when a file
    // cannot be created, DiskFull when any of its bytes, or of standard
    // output's, cannot be written; every target is then left as it was.
    void commit(QIODevice* standardOutput = nullptr);
    // The file the last commit failed on.
    QString failedPath() const { return m_failed; }

private:
    struct Entry {
        QString path;
        QByteArray bytes;
    };
    std::vector<Entry> m_entries;
    QString m_failed;
};
