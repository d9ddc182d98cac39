#include "fuzz/fuzzentry.h"

#include <QDir>
#include <QTest>

// Replays the fuzzing corpus with the ordinary build, so that every input
// that once found a fault keeps ending in success or a RunError.
class TstFuzzCorpus : public QObject {
    Q_OBJECT
private slots:
    void replay_data() {
        QTest::addColumn<QString>("path");
        const QDir dir(QStringLiteral(MORVANE_FUZZ_CORPUS));
        for (const QFileInfo& f : dir.entryInfoList(QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(f.fileName())) << f.filePath();
        QVERIFY(dir.entryList(QDir::Files).size() >= 10);
    }
    void replay() {
        QFETCH(QString, path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray data = f.readAll();
        try {
            FuzzEntry::run(reinterpret_cast<const std::uint8_t*>(data.constData()),
                           std::size_t(data.size()));
        } catch (const std::exception& e) {
            QFAIL(e.what());
        }
    }
};

QTEST_GUILESS_MAIN(TstFuzzCorpus)
#include "tst_fuzzcorpus.moc"
