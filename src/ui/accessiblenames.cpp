#include "ui/accessiblenames.h"

#include "ui/graphdescription.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>
#include <iterator>

namespace {
struct Row {
    const char* window;
    const char* control;
    const char* name;
    const char* description;
    // A role the control's own kind does not say: the graph is a chart, not
    // a plain area; the red picture is a button.
    QAccessible::Role role = QAccessible::NoRole;
};

const Row Rows[] = {
    // Both main windows.
    {"MainFormBase", "dtInput", "Шаг Δt", "Шаг интегрирования по времени"},
    {"MainFormBase", "x0Input", "Начальное значение x0", "Численность популяции x в начале"},
    {"MainFormBase", "y0Input", "Начальное значение y0", "Численность популяции y в начале"},
    {"MainFormBase", "k1Input", "Коэффициент k1", "Собственный прирост популяции x"},
    {"MainFormBase", "k2Input", "Коэффициент k2", "Собственная убыль популяции y"},
    {"MainFormBase", "a1Input", "Коэффициент α1", "Убыль x от встреч с y"},
    {"MainFormBase", "a2Input", "Коэффициент α2", "Прирост y от встреч с x"},
    {"MainFormBase", "tInput", "Время t", "Продолжительность расчёта, целое число"},
    {"MainFormBase", "Graph", "График", nullptr, QAccessible::Chart},
    {"MainFormBase", "CatQuan", "Делитель катастрофы",
     "На это число делятся обе популяции в момент катастрофы"},
    {"MainFormBase", "VScroll1", "Выбор делителя катастрофы",
     "Стрелка вверх увеличивает делитель, вниз уменьшает, от 2 до 8"},
    {"MainFormBase", "MakeDisaster", "Сделать катастрофу",
     "Затем щелчок по графику отмечает её момент; с клавиатуры: клавиша меню, пункт "
     "«Катастрофа при t = …»"},
    {"MainFormBase", "StartCount", "Рассчитать", "Рассчитать обе популяции и построить график"},
    // The full window.
    {"MainFrmFull", "Frame1", "Доп. функции", nullptr},
    {"MainFrmFull", "Check1", "Показывать статистику",
     "В конце расчёта показать наибольшие значения x и y"},
    {"MainFrmFull", "Check2", "Показывать текущие значения",
     "Показывать значения x и y рисуемого шага"},
    {"MainFrmFull", "Check5", "Включить индикатор", "Показывать ход расчёта в строке состояния"},
    {"MainFrmFull", "Check3", "Паузы", "Пауза после каждого нарисованного шага"},
    {"MainFrmFull", "Slider1", "Длина паузы",
     "0,004 секунды и ещё одна миллисекунда на каждое деление, от 0 до 100"},
    {"MainFrmFull", "Check4", "Режим отладки", "Записывать ход расчёта в окно журнала"},
    {"MainFrmFull", "DrawCorrect", "График корректировок",
     "Нарисовать все корректировки анимации статистики"},
    {"MainFrmFull", "Image1", "Делитель 1000",
     "Следующий расчёт делит обе популяции в момент катастрофы на 1000", QAccessible::Button},
    {"MainFrmFull", "ProgBar", "Ход расчёта", nullptr},
    {"MainFrmFull", "StatusWindow", "Строка состояния", nullptr, QAccessible::StatusBar},
    {"MainFrmFull", "Panel1", nullptr, "Заголовок строки состояния"},
    {"MainFrmFull", "Panel2", nullptr, "Этап расчёта"},
    // The lab window.
    {"PhaseFrm", "k1Box", "Коэффициент k1", "Собственный прирост популяции x"},
    {"PhaseFrm", "k1Slider", "Коэффициент k1, ползунок", "Собственный прирост популяции x"},
    {"PhaseFrm", "k2Box", "Коэффициент k2", "Собственная убыль популяции y"},
    {"PhaseFrm", "k2Slider", "Коэффициент k2, ползунок", "Собственная убыль популяции y"},
    {"PhaseFrm", "a1Box", "Коэффициент α1", "Убыль x от встреч с y"},
    {"PhaseFrm", "a1Slider", "Коэффициент α1, ползунок", "Убыль x от встреч с y"},
    {"PhaseFrm", "a2Box", "Коэффициент α2", "Прирост y от встреч с x"},
    {"PhaseFrm", "a2Slider", "Коэффициент α2, ползунок", "Прирост y от встреч с x"},
    {"PhaseFrm", "x0Box", "Начальное значение x0", "Также щелчок по фазовой плоскости"},
    {"PhaseFrm", "x0Slider", "Начальное значение x0, ползунок",
     "Также щелчок по фазовой плоскости"},
    {"PhaseFrm", "y0Box", "Начальное значение y0", "Также щелчок по фазовой плоскости"},
    {"PhaseFrm", "y0Slider", "Начальное значение y0, ползунок",
     "Также щелчок по фазовой плоскости"},
    {"PhaseFrm", "dtBox", "Шаг Δt", "Шаг интегрирования по времени"},
    {"PhaseFrm", "dtSlider", "Шаг Δt, ползунок", "Шаг интегрирования по времени"},
    {"PhaseFrm", "tBox", "Время t", "Продолжительность расчёта, целое число"},
    {"PhaseFrm", "tSlider", "Время t, ползунок", "Продолжительность расчёта, целое число"},
    {"PhaseFrm", "StrikeBox", "Момент катастрофы",
     "Модельное время катастрофы; также щелчок по полосе ΔV"},
    {"PhaseFrm", "StrikeSlider", "Момент катастрофы, ползунок",
     "Модельное время катастрофы; также щелчок по полосе ΔV"},
    {"PhaseFrm", "DivisorBox", "Делитель катастрофы",
     "На это число делятся обе популяции, от 2 до 8"},
    {"PhaseFrm", "DivisorSlider", "Делитель катастрофы, ползунок",
     "На это число делятся обе популяции, от 2 до 8"},
    {"PhaseFrm", "ReadoutPanel", "Показатели расчёта",
     "Строки показателей; прокручиваются, когда не помещаются"},
    {"PhaseFrm", "Example", "Пример", "Заполняет все значения лаборатории готовым примером"},
    {"PhaseFrm", "ExampleList", "Список примеров", nullptr},
    {"PhaseFrm", "MethodList", "Список методов", nullptr},
    {"PhaseFrm", "Method", "Метод", "Явный Эйлер, полунеявный Эйлер или Рунге–Кутта 4"},
    {"PhaseFrm", "DisasterOn", "Катастрофа", "Включить катастрофу в выбранный момент"},
    {"PhaseFrm", "FieldOn", "Поле направлений", "Стрелки скорости на сетке фазовой плоскости"},
    {"PhaseFrm", "CompareSteps", "Сравнить шаги",
     "Три метода при Δt, Δt/2 и Δt/4 на плоскости и в таблице дрейфа"},
    {"PhaseFrm", "ToMain", "В главное окно",
     "Записать значения лаборатории в главное окно и рассчитать там"},
    {"PhaseFrm", "CompareTable", "Сравнение шагов", "Дрейф V и наблюдаемый порядок по методам"},
    {"PhaseFrm", "Plane", "Фазовая плоскость",
     "y от x: путь, точная орбита, равновесие, нуль-изоклины; числа — в строках под ней; "
     "клавиша меню сохраняет рисунок",
     QAccessible::Chart},
    {"PhaseFrm", "JumpStrip", "Полоса ΔV",
     "Скачок V при катастрофе на каждом шаге; щелчок ставит катастрофу в этот момент",
     QAccessible::Chart},
    {"PhaseFrm", "RiskOpen", "Риск вымирания",
     "Открыть окно, где сценарий считается по особям много раз"},
    // The lab's extinction risk.
    {"RiskPanel", "OmegaBox", "Особей в единице Ω",
     "Сколько особей составляют одну единицу x или y"},
    {"RiskPanel", "RunsBox", "Число прогонов", "Сколько раз считать сценарий по особям"},
    {"RiskPanel", "SeedBox", "Зерно случайных чисел",
     "То же зерно даёт те же цифры, как у morvane-export --seed"},
    {"RiskPanel", "CountRisk", "Считать", "Считать прогоны на всех ядрах"},
    {"RiskPanel", "StopRisk", "Остановить", "Остановить счёт и показать сосчитанное"},
    {"RiskPanel", "RiskProgress", "Ход счёта", nullptr},
    {"RiskPanel", "RiskState", "Состояние счёта", nullptr},
    {"RiskPanel", "RiskFigures", "Риск вымирания", "Доли вымерших с катастрофой и без неё"},
    // The loader.
    {"LoaderFrm", "Command1", "Лёгкая версия", "Открыть лёгкую версию"},
    {"LoaderFrm", "Command2", "Полная версия", "Открыть полную версию"},
    // The log window.
    {"Form1", "List1", "Журнал отладки", "Записи расчётов в режиме отладки"},
    {"Form1", "Command1", "Сохранить в файл", "Дописать журнал в файл Log.ini"},
};

// A control whose click does something, reached by a screen reader's press
// as by the mouse.
class Pressable : public QAccessibleWidget {
public:
    Pressable(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}
    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << pressAction();
    }
    void doAction(const QString& action) override {
        if (action == pressAction())
            QMetaObject::invokeMethod(widget(), "clicked");
        else
            QAccessibleWidget::doAction(action);
    }
};

// The roles are known by name as soon as a control exists: a screen reader
// may ask for a control before its window has finished building it.
QAccessibleInterface* withRole(const QString&, QObject* object) {
    auto* w = qobject_cast<QWidget*>(object);
    if (!w || w->objectName().isEmpty())
        return nullptr;
    for (const Row& r : Rows) {
        if (r.role == QAccessible::NoRole || w->objectName() != QLatin1String(r.control) ||
            !w->window()->inherits(r.window))
            continue;
        if (r.role == QAccessible::Button)
            return new Pressable(w, r.role);
        return new QAccessibleWidget(w, r.role);
    }
    return nullptr;
}
} // namespace

void AccessibleNames::apply(QWidget* window) {
    static const bool factory = [] {
        QAccessible::installFactory(withRole);
        return true;
    }();
    (void)factory;
    for (const Row& r : Rows) {
        if (!window->inherits(r.window))
            continue;
        auto* w = window->findChild<QWidget*>(QLatin1String(r.control));
        if (!w)
            continue;
        if (r.name)
            w->setAccessibleName(QString::fromUtf8(r.name));
        if (r.description)
            w->setAccessibleDescription(QString::fromUtf8(r.description));
    }
    if (auto* graph = window->findChild<QWidget*>(QStringLiteral("Graph")))
        graph->setAccessibleDescription(GraphDescription::noGraph());
}
