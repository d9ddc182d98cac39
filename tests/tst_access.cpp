// Russian, a screen reader and the keyboard: Qt's own texts in Russian, an
// accessible name for every control of every window, the graph described in
// words, and the graph's menu with a typed disaster time.

#include "casetable.h"
#include "common/qttranslation.h"
#include "guitestutil.h"
#include "light/mainfrmlight.h"
#include "startup/loaderfrm.h"
#include "ui/graphdescription.h"
#include "ui/graphmenu.h"
#include "ui/linewidget.h"
#include "ui/shapewidget.h"
#include "ui/typeddisaster.h"

#include <QAccessible>
#include <QAction>
#include <QDialogButtonBox>
#include <QMenu>
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

// Typed times: dt and t, the answers typed, then the mark a press would
// leave: disasterX = t / dt * twips per step (7440 / steps), the step it
// strikes (ties to even) and the time the caption shows.
const std::tuple<const char*, const char*, const char*, QStringList, float, int, const char*>
    Typed[] = {
        {"t=20 on the graph at load", "0,1", "50", {"20"}, 2976.f, 200, "20"},
        {"between pixels", "0,1", "15", {"7,3"}, 3620.8f, 73, "7"},
        {"tie, even below", "0,5", "15", {"0", "abc", "15", "5,25"}, 2604.f, 10, "5"},
        {"tie, even above, point", "0,5", "15", {"5.75"}, 2852.f, 12, "6"},
};
} // namespace

class TstAccess : public QObject {
    Q_OBJECT
    QStringList menus; // the enabled items of each menu shown
    QString choose;    // the item the next menu chooses
    QStringList answers;

private slots:
    void init() {
        menus.clear();
        GraphMenu::setMenuHandler([this](QMenu* menu) {
            QAction* chosen = nullptr;
            QStringList shown;
            for (QAction* a : menu->actions()) {
                shown << (a->isEnabled() ? a->text() : QString());
                chosen = a->text() == choose ? a : chosen;
            }
            menus << shown.join('|');
            return chosen;
        });
        TypedDisaster::setAsker([this](QWidget*, const QString&, const QString&, bool* ok) {
            *ok = !answers.isEmpty();
            return *ok ? answers.takeFirst() : QString();
        });
    }

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

    // From any control, the Menu key and Shift+F10 open the graph's menu.
    void menuKeys() {
        MainFrmFull w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(w.k1Input, Qt::Key_Menu);
        QTest::keyClick(w.Slider1, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(menus, QStringList(2, "|||Катастрофа при t = …"));
    }

    // A typed time marks as a press there: the same mark, view line and
    // caption, and the next run halves both populations at that step.
    void typedDisaster_data() { addRows(Typed); }
    void typedDisaster() {
        const auto& [row, dt, t, typed, disasterX, step, caption] = currentRow(Typed);
        GuiFixture fixture;
        MainFrmFull w;
        for (QCheckBox* c : {w.Check1, w.Check3})
            c->setChecked(false);
        setTexts(&w, unequalTexts);
        setTexts(&w, {"dtInput", dt, "tInput", t});
        choose = "Катастрофа при t = …";
        w.graphMenu()->openFromKeyboard();
        QCOMPARE(fixture.messages.size(), 1);
        QCOMPARE(fixture.messages[0].text, QStringLiteral("Нет графика!"));
        w.StartCount->click();
        answers = typed;
        w.graphMenu()->openFromKeyboard();
        QCOMPARE(fixture.messages.size(), typed.size());
        QCOMPARE(w.state().disasterX, disasterX);
        QCOMPARE(w.ViewLine->x1(), int(480 + double(disasterX)));
        QCOMPARE(w.Label29->text(), QString(caption));
        QCOMPARE(w.state().disasterArmed, std::int16_t(0));
        w.StartCount->click();
        const QString t8 = QStringLiteral("0,6 0,5 0,3 0,4 %1 2 0,5 %2").arg(dt, t);
        const Plain want = typedRun(t8.toUtf8(), step, 2).want;
        QCOMPARE(w.state().xSeries.size(), want.x.size());
        for (std::size_t i = 0; i < want.x.size(); ++i)
            QVERIFY2(nearlyEqual(w.state().xSeries[i], want.x[i]) &&
                         nearlyEqual(w.state().ySeries[i], want.y[i]),
                     qPrintable(QString::number(i)));
    }
};

QTEST_MAIN(TstAccess)
#include "tst_access.moc"
