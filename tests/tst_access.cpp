// Russian, a screen reader and the keyboard: Qt's own texts in Russian, an
// accessible name for every control of every window, the graph described in
// words, and the graph's menu with a typed disaster time.

#include "casetable.h"
#include "common/qttranslation.h"
#include "guitestutil.h"
#include "light/mainfrmlight.h"
#include "startup/loaderfrm.h"
#include "ui/graphdescription.h"
#include "ui/shapewidget.h"

#include <QAccessible>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

namespace {
// Every window of the program, as it opens; a new window adds its row.
const std::tuple<const char*, std::function<QWidget*()>> Windows[] = {
    {"light", [] { return new MainFrmLight; }},
    {"full", [] { return new MainFrmFull; }},
    {"loader",
     [] {
         auto* l = new LoaderFrm;
         l->buildControls();
         return l;
     }},
    {"log", [] { return new Form1; }},
};

// What a screen reader lets the user operate or read as a whole.
bool isControl(QAccessible::Role r) {
    using A = QAccessible;
    return r == A::EditableText || r == A::ScrollBar || r == A::Slider || r == A::Button ||
           r == A::CheckBox || r == A::RadioButton || r == A::ProgressBar || r == A::List ||
           r == A::ComboBox || r == A::SpinBox || r == A::StatusBar || r == A::Chart ||
           r == A::Grouping || r == A::Table;
}

// The controls' accessible names by objectName, walking what the screen
// reader walks.
void collect(QAccessibleInterface* parent, QMap<QString, QString>& names) {
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface* c = parent->child(i);
        if (!c)
            continue;
        if (isControl(c->role()))
            names.insert(c->object()->objectName(), c->text(QAccessible::Name));
        if (c->role() != QAccessible::List)
            collect(c, names);
    }
}
} // namespace

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

    void everyControlNamed_data() { addRows(Windows); }
    void everyControlNamed() {
        const auto& [window, make] = currentRow(Windows);
        std::unique_ptr<QWidget> w(make());
        QMap<QString, QString> names;
        collect(QAccessible::queryAccessibleInterface(w.get()), names);
        QVERIFY(names.size() >= 2);
        QSet<QString> seen;
        for (auto [control, name] : names.asKeyValueRange()) {
            QVERIFY2(!name.trimmed().isEmpty(), qPrintable(control + " has no name"));
            QVERIFY2(!seen.contains(name), qPrintable(control + " repeats " + name));
            seen.insert(name);
        }
        if (QByteArray(window) == "full") {
            QCOMPARE(names.value("k1Input"), QStringLiteral("Коэффициент k1"));
            QCOMPARE(names.value("dtInput"), QStringLiteral("Шаг Δt"));
            QCOMPARE(names.value("Image1"), QStringLiteral("Делитель 1000"));
            QCOMPARE(names.value("VScroll1"), QStringLiteral("Выбор делителя катастрофы"));
        }
    }

    // 8 steps of 0,5 from (2; 0,5), halved at step 5 (X = 480 + 5 * 930):
    // x peaks before the disaster, y at the end, both start lowest.
    void graphDescribed() {
        GuiFixture fixture;
        MainFrmLight w;
        setTexts(&w, {"k1Input", "0,6", "k2Input", "0,5", "a1Input", "0,3", "a2Input", "0,4",
                      "dtInput", "0,5", "tInput", "4", "x0Input", "2", "y0Input", "0,5"});
        QCOMPARE(w.Graph->accessibleDescription(), GraphDescription::noGraph());
        w.StartCount->click();
        w.MakeDisaster->click();
        w.Form_MouseDown(Qt::LeftButton, {}, 5130, 2000);
        w.StartCount->click();
        QCOMPARE(w.Graph->accessibleDescription(),
                 QStringLiteral("Время от 0 до 4, шагов: 8, шаг 0,5. Наибольшее x = "
                                "4,1018478471084 при t = 2, наибольшее y = 2,16656470829781 при "
                                "t = 4. Наименьшее x = 2 при t = 0, наименьшее y = 0,5 при t = 0. "
                                "Катастрофа при t = 2,5: обе популяции разделены на 2."));
        QVERIFY(fixture.messages.isEmpty());
    }
};

QTEST_MAIN(TstAccess)
#include "tst_access.moc"
