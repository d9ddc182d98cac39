#include "guitestutil.h"

#include <QProcess>
#include <QTemporaryDir>

// The log window: its layout, saving through its button, a save that cannot
// write, and closing it.
static QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Root writes through permission bits but not into an immutable file; the
// flag must come off again or the temporary directory stays.
struct Immutable {
    const QString path;
    const bool set = QProcess::execute("chattr", {"+i", path}) == 0;
    ~Immutable() {
        if (set)
            QProcess::execute("chattr", {"-i", path});
    }
};

class TstLogWindow : public QObject {
    Q_OBJECT
private slots:
    void layout() {
        Form1 f;
        QCOMPARE(f.size(), QSize(365, 324));
        QCOMPARE(f.minimumSize(), f.maximumSize());
        QCOMPARE(f.windowTitle(), QStringLiteral("Form1"));
        QCOMPARE(f.objectName(), QStringLiteral("Form1"));
        QCOMPARE(f.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(f.findChild<QListWidget*>("List1")->geometry(), QRect(0, 0, 361, 290));
        QCOMPARE(f.List1->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(f.findChild<QPushButton*>("Command1")->geometry(), QRect(96, 296, 161, 25));
        QCOMPARE(f.Command1->text(), QStringLiteral("Сохранить в файл"));
    }

    void save() { // into "Log.ini" in the current directory, block after block
        GuiFixture fx;
        QTemporaryDir dir;
        const QString old = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        Form1 f;
        f.Command1->click();
        f.addEntries({"x1=0,1", ""});
        f.Command1->click();
        const QStringList lines = QString::fromUtf8(readAll("Log.ini")).split("\r\n");
        QDir::setCurrent(old);
        QVERIFY(fx.messages.isEmpty());
        QCOMPARE(lines.size(), 5); // the last line end leaves an empty rest
        const QRegularExpression header("^Logfile Generated:\\d\\d\\.\\d\\d\\.\\d{4}");
        QVERIFY(header.match(lines[0]).hasMatch() && header.match(lines[1]).hasMatch());
        QCOMPARE(lines.mid(2), QStringList({"x1=0,1", "", ""}));
        QCOMPARE(f.entries(), QStringList({"x1=0,1", ""}));
    }

    void failedSave_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"directory", "missing directory", "full disk", "immutable"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void failedSave() {
        QFETCH(QString, kind);
        GuiFixture fx;
        QTemporaryDir dir;
        QString path = dir.filePath("Log.ini");
        std::unique_ptr<Immutable> immutable;
        if (kind == "directory")
            QVERIFY(QDir(dir.path()).mkdir("Log.ini"));
        else if (kind == "missing directory")
            path = dir.filePath("gone/Log.ini");
        else if (kind == "full disk")
            QVERIFY(QFile::link("/dev/full", path));
        else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old\r\n") == 5);
            file.close();
            immutable.reset(new Immutable{path});
            if (!immutable->set)
                QSKIP("chattr +i is not available here");
        }
        Form1 f;
        f.setLogPath(path);
        f.addEntries({"a", "b"});
        f.Command1->click();
        QCOMPARE(fx.messages.size(), 1);
        QCOMPARE(fx.messages[0].icon, AppMessage::Critical);
        QVERIFY2(fx.messages[0].text.contains(QRegularExpression("\\bLog\\.ini: \\S")),
                 qPrintable(fx.messages[0].text));
        QCOMPARE(f.entries(), QStringList({"a", "b"}));
        if (immutable) // /dev/full would read as endless zeros
            QCOMPARE(readAll(path), QByteArray("old\r\n"));
    }

    void closingDiscards() {
        GuiFixture fx;
        FullWindow w(openFull());
        QPointer<Form1> first = w->logWindow();
        first->addEntry("entry");
        first->show();
        first->close();
        QVERIFY(!w->existingLogWindow()); // at once, before the deferred deletion
        flushDeletes();
        QVERIFY(first.isNull());
        QVERIFY(w->logWindow()->List1->count() == 0 && w->logWindow()->isHidden());
    }
};

QTEST_MAIN(TstLogWindow)
#include "tst_logwindow.moc"
