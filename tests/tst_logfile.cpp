#include "casetable.h"
#include "diag/logfile.h"

#include <QDir>
#include <QTemporaryDir>
#include <sys/fsuid.h>
#include <unistd.h>

// Appending the log to "Log.ini", and a save that cannot write it.
static QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// name, file content before (nullptr: no file), entries, saves, time, content after
static const QByteArray header = "Logfile Generated:05.03.2024 7:08:09\r\n";
static const std::tuple<const char*, const char*, QStringList, int, QTime, QByteArray> saves[] = {
    {"empty list", nullptr, {}, 1, {7, 8, 9}, header},
    {"two saves", nullptr, {"a", "", "b"}, 2, {7, 8, 9}, (header + "a\r\n\r\nb\r\n").repeated(2)},
    {"existing content",
     "old\r\nlines\n",
     {"a"},
     1,
     {7, 8, 9},
     "old\r\nlines\n" + header + "a\r\n"},
    {"midnight", "", {"a"}, 1, {0, 0}, "Logfile Generated:05.03.2024\r\na\r\n"},
    {"late", nullptr, {}, 1, {23, 59, 59}, "Logfile Generated:05.03.2024 23:59:59\r\n"},
};

// name, obstacle, error code
static const std::tuple<const char*, QString, int> hostiles[] = {
    {"read-only file", "file", RunError::PathFileAccess},
    {"read-only directory", "dir", RunError::PathFileAccess},
    {"missing directory", "missing", RunError::PathFileAccess},
    {"directory in its place", "isdir", RunError::PathFileAccess},
    {"full disk", "full", RunError::DiskFull},
};

// Root ignores permission bits; with a non-root file-system identity (this
// thread only, undone on scope exit) they apply again.
struct NonRootFiles {
    const bool root = geteuid() == 0;
    NonRootFiles() {
        if (root) {
            setfsgid(65534);
            setfsuid(65534);
        }
    }
    ~NonRootFiles() {
        if (root) {
            setfsuid(0);
            setfsgid(0);
        }
    }
    bool active() const { return !root || setfsuid(-1) != 0; }
};

class TstLogFile : public QObject {
    Q_OBJECT
private slots:
    void append_data() { addRows(saves); }
    void append() {
        const auto& [name, before, entries, count, time, after] = currentRow(saves);
        QTemporaryDir dir;
        const QString path = dir.filePath(LogFile::defaultPath());
        QFile f(path);
        QVERIFY(!before || (f.open(QIODevice::WriteOnly) && f.write(before) >= 0));
        f.close();
        for (int i = 0; i < count; ++i)
            LogFile::append(path, entries, QDateTime({2024, 3, 5}, time));
        QCOMPARE(contents(path), after);
    }
    void hostile_data() { addRows(hostiles); }
    void hostile() {
        const auto& [name, kind, code] = currentRow(hostiles);
        QTemporaryDir dir;
        const QString path = dir.filePath(kind == "missing" ? "gone/Log.ini" : "Log.ini");
        const QByteArray old = "earlier block\r\n";
        QFile f(path);
        if (kind == "isdir")
            QVERIFY(QDir(dir.path()).mkdir("Log.ini"));
        if (kind == "full" && !QFile::link("/dev/full", path))
            QSKIP("no /dev/full to link to");
        if (kind == "file")
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(old) > 0 && f.setPermissions({}));
        f.close();
        // rwx for everyone (r-x where the directory is the obstacle), so that
        // only the obstacle stops the identity below.
        QVERIFY(
            QFile::setPermissions(dir.path(), QFile::Permissions(kind == "dir" ? 0x5555 : 0x7777)));
        int error = 0;
        QString detail;
        {
            NonRootFiles identity;
            if (!identity.active())
                QSKIP("running as root without the right to change the file-system identity");
            try {
                LogFile::append(path, {"entry"}, QDateTime::currentDateTime());
            } catch (const RunError& e) {
                error = e.code();
                detail = e.detail();
            }
        }
        QFile::setPermissions(dir.path(), QFile::Permissions(0x7700));
        QCOMPARE(error, code);
        QVERIFY2(detail.startsWith("Log.ini: ") && detail.size() > 10, qPrintable(detail));
        if (kind == "file")
            QVERIFY(f.setPermissions(QFile::ReadOwner) && contents(path) == old);
        else if (kind != "full")
            QVERIFY(!QFileInfo(path).isFile());
    }
};

QTEST_GUILESS_MAIN(TstLogFile)
#include "tst_logfile.moc"
