// Qt in Russian, every control named, the graph in words, the typed disaster.

#include "casetable.h"
#include "common/qttranslation.h"
#include "guitestutil.h"
#include "lab/phasefrm.h"
#include "lab/riskpanel.h"
#include "light/mainfrmlight.h"
#include "startup/loaderfrm.h"
#include "ui/graphmenu.h"
#include "ui/linewidget.h"
#include "ui/shapewidget.h"
#include "ui/typeddisaster.h"

#include <QAccessible>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QMenu>
#include <QTimer>

namespace {
const std::tuple<const char*, std::function<QWidget*()>> Windows[] = {
    {"light", [] { return new MainFrmLight; }}, {"full", [] { return new MainFrmFull; }},
    {"loader", [] { return new LoaderFrm; }},   {"log", [] { return new Form1; }},
    {"lab", [] { return new PhaseFrm; }},       {"risk", [] { return new RiskPanel; }},
};

void collect(QAccessibleInterface* parent, QMap<QString, QString>& names) {
    using A = QAccessible;
    static const QList<A::Role> controls{A::EditableText, A::ScrollBar,   A::Slider, A::Button,
                                         A::CheckBox,     A::ProgressBar, A::List,   A::Chart,
                                         A::Grouping,     A::StatusBar,   A::SpinBox};
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface* c = parent->child(i);
        if (c && controls.contains(c->role()))
            names.insert(c->object()->objectName(), c->text(A::Name));
        if (c && c->role() != A::List)
            collect(c, names);
    }
}

// The run of 8 steps below, by hand: x peaks before the disaster, y at the end.
const char* const Described =
    "Время от 0 до 4, шагов: 8, шаг 0,5. Наибольшее x = 4,1018478471084 при t = 2, наибольшее y "
    "= 2,16656470829781 при t = 4. Наименьшее x = 2 при t = 0, наименьшее y = 0,5 при t = 0. "
    "Катастрофа при t = 2,5: обе популяции разделены на 2.";

// dt, t, answers; by hand disasterX = time / dt * 7440 / steps, step (ties even), caption.
const std::tuple<const char*, const char*, const char*, QStringList, float, int, const char*,
                 const char*>
    Typed[] = {
        {"t=20 on the graph at load", "0,1", "50", {"20"}, 2976.f, 200, "20", nullptr},
        {"between pixels", "0,1", "15", {"7,3"}, 3620.8f, 73, "7", nullptr},
        {"tie, even below", "0,5", "15", {"0", "abc", "16", "5,25"}, 2604.f, 10, "5", nullptr},
        {"tie, even above, point", "0,5", "15", {"5.75"}, 2852.f, 12, "6", nullptr},
        {"described", "0,5", "4", {"2,5"}, 4650.f, 5, "2", Described},
};
} // namespace

class TstAccess : public QObject {
    Q_OBJECT
    QStringList answers;

private slots:
    void qtTextsInRussian() {
        QVERIFY(!QtTranslation::install(QStringLiteral("/nonexistent")));
        QVERIFY(QtTranslation::install());
        QDialogButtonBox box(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Save)->text(), QStringLiteral("Сохранить"));
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
    }

    void everyControlNamed_data() { addRows(Windows); }
    void everyControlNamed() {
        std::unique_ptr<QWidget> w(std::get<1>(currentRow(Windows))());
        if (auto* loader = qobject_cast<LoaderFrm*>(w.get()))
            loader->buildControls();
        QMap<QString, QString> names;
        collect(QAccessible::queryAccessibleInterface(w.get()), names);
        QVERIFY(names.size() >= 2);
        for (auto [control, name] : names.asKeyValueRange())
            QVERIFY2(!name.trimmed().isEmpty() && names.values().count(name) == 1,
                     qPrintable(control + ": " + name));
    }

    // A typed time marks as a press there would; one no press gives is refused.
    void typedDisaster_data() { addRows(Typed); }
    void typedDisaster() {
        const auto& [row, dt, t, typed, disasterX, step, caption, described] = currentRow(Typed);
        GuiFixture fixture;
        GraphMenu::setMenuHandler([](QMenu* menu) { return menu->actions().last(); });
        TypedDisaster::setAsker([this](QWidget*, const QString&, const QString&, bool* ok) {
            return (*ok = !answers.isEmpty()) ? answers.takeFirst() : QString();
        });
        MainFrmLight w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        setTexts(&w, unequalTexts);
        setTexts(&w, {"dtInput", dt, "tInput", t});
        QTest::keyClick(w.k1Input, Qt::Key_Menu);
        w.StartCount->click();
        answers = typed;
        QTest::keyClick(w.StartCount, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(fixture.messages.size(), typed.size());
        QCOMPARE(fixture.messages[0].text, QStringLiteral("Нет графика!"));
        QCOMPARE(w.state().disasterX, disasterX);
        QCOMPARE(w.ViewLine->x1(), int(480 + double(disasterX)));
        QCOMPARE(w.Label29->text(), QString(caption));
        w.StartCount->click();
        const QString texts = QStringLiteral("0,6 0,5 0,3 0,4 %1 2 0,5 %2").arg(dt, t);
        const std::vector<double> x = typedRun(qPrintable(texts), step, 2).want.x;
        const Series& s = w.state().xSeries;
        if (described)
            QCOMPARE(w.Graph->accessibleDescription(), QString(described));
        QVERIFY(std::equal(x.begin(), x.end(), s.data(), s.data() + s.size(), nearlyEqual));
    }

    // The dialog itself: a refused time comes back in the box to be mended.
    void typedDisasterKeepsText() {
        GuiFixture fixture;
        TypedDisaster::setAsker(nullptr);
        MainFrmLight w;
        w.show();
        setTexts(&w, unequalTexts);
        w.StartCount->click();
        QStringList shown;
        const std::function<void()> answer = [&] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return QTimer::singleShot(10, answer);
            shown << dialog->textValue();
            if (shown.size() == 1) {
                dialog->setTextValue(QStringLiteral("999"));
                dialog->accept();
                QTimer::singleShot(10, answer);
            } else {
                dialog->reject();
            }
        };
        QTimer::singleShot(10, answer);
        TypedDisaster::mark(&w);
        QCOMPARE(shown, (QStringList{QString(), QStringLiteral("999")}));
        QCOMPARE(fixture.messages.size(), 1);
    }
};

QTEST_MAIN(TstAccess)
#include "tst_access.moc"
