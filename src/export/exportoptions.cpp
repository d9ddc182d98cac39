#include "export/exportoptions.h"

#include "export/outputfiles.h"
#include "model/scenariofile.h"

#include <charconv>

namespace {
using O = ExportOptions;
using Kind = O::Kind;

template <auto member> auto& own(O& o) {
    return o.*member;
}
template <auto member> QString& input(O& o) {
    return o.texts.*member;
}

// In the synopsis's order.
const O::Row Rows[] = {
    {"dt", Kind::Text, input<&InputTexts::dt>, nullptr, "ТЕКСТ", "", true},
    {"x0", Kind::Text, input<&InputTexts::x0>, nullptr, "ТЕКСТ"},
    {"y0", Kind::Text, input<&InputTexts::y0>, nullptr, "ТЕКСТ"},
    {"k1", Kind::Text, input<&InputTexts::k1>, nullptr, "ТЕКСТ"},
    {"k2", Kind::Text, input<&InputTexts::k2>, nullptr, "ТЕКСТ", "", true},
    {"a1", Kind::Text, input<&InputTexts::a1>, nullptr, "ТЕКСТ"},
    {"a2", Kind::Text, input<&InputTexts::a2>, nullptr, "ТЕКСТ"},
    {"t", Kind::Text, input<&InputTexts::t>, nullptr, "ТЕКСТ"},
    {"disaster", Kind::Text, own<&O::disasterTime>, nullptr, "ВРЕМЯ",
     "катастрофа в шаге round(ВРЕМЯ / dt)", true},
    {"divisor", Kind::Text, own<&O::divisor>, nullptr, "N",
     "делитель катастрофы: 2...8 или 1000 (по умолчанию 2)"},
    {"method", Kind::Text, own<&O::method>, nullptr, "МЕТОД",
     "euler (как в окнах), semi-implicit или rk4", true},
    {"scenario", Kind::Text, own<&O::scenarioFile>, nullptr, "ФАЙЛ",
     "входные данные из файла сценария (.morvane); параметры рядом важнее"},
    {"save-scenario", Kind::Output, nullptr, nullptr, "ФАЙЛ",
     "входные данные прогона в файл сценария (.morvane)"},
    {"csv", Kind::Output, nullptr, nullptr, "ФАЙЛ",
     "значения step,t,x,y (ФАЙЛ \"-\": стандартный вывод)", true},
    {"decimal-comma", Kind::Flag, nullptr, own<&O::decimalComma>, "",
     "CSV и --table с \";\" между полями и десятичной запятой"},
    {"png", Kind::Output, nullptr, nullptr, "ФАЙЛ",
     "график, как в окне: 537 x 249 точек при --scale=1"},
    {"svg", Kind::Output, nullptr, nullptr, "ФАЙЛ", "тот же график в векторном виде"},
    {"phase-png", Kind::Output, nullptr, nullptr, "ФАЙЛ", "фазовый портрет (y от x)", true},
    {"phase-svg", Kind::Output, nullptr, nullptr, "ФАЙЛ", "фазовый портрет в векторном виде"},
    {"nullclines", Kind::Flag, nullptr, own<&O::nullclines>, "",
     "на фазовом портрете: нуль-изоклины и равновесие"},
    {"exact-orbit", Kind::Flag, nullptr, own<&O::exactOrbit>, "",
     "на фазовом портрете: точная орбита V = V0"},
    {"legend", Kind::Flag, nullptr, own<&O::legend>, "",
     "под картинками: что каким цветом нарисовано и строка с параметрами"},
    {"scale", Kind::Text, own<&O::scale>, nullptr, "N", "увеличение PNG: 1...4 (по умолчанию 1)"},
    {"summary", Kind::Output, nullptr, nullptr, "ФАЙЛ",
     "показатели прогона в JSON: входные данные (inputs), V, дрейф, периоды,\n"
     "                    катастрофа",
     true},
    {"compare-steps", Kind::Flag, nullptr, own<&O::compareSteps>, "",
     "в --summary: дрейф каждого метода при dt, dt/2, dt/4 и порядок по нему\n"
     "                    (compareSteps) и по x, y в конце (stateOrder)"},
    {"extinction", Kind::Output, nullptr, nullptr, "ФАЙЛ",
     "риск вымирания в JSON: модель в особях, много прогонов со случайностью\n"
     "                    (с катастрофой и без неё, и с катастрофой в M моментах);\n"
     "                    с --sweep пишется без ФАЙЛ: доли и их интервалы в --table",
     true},
    {"runs", Kind::Text, own<&O::runs>, nullptr, "N",
     "в --extinction: прогонов, 1...1000000 (по умолчанию 1000)"},
    {"omega", Kind::Text, own<&O::omega>, nullptr, "N",
     "в --extinction: особей в единице x или y, 1...10000000 (100)"},
    {"seed", Kind::Text, own<&O::seed>, nullptr, "N",
     "в --extinction: начало случайных чисел, 0...2^53-1 (20240529)"},
    {"threads", Kind::Text, own<&O::threads>, nullptr, "N",
     "в --extinction и --sweep: потоков (по умолчанию все ядра); на числа не\n"
     "                    влияет"},
    {"by-moment", Kind::Text, own<&O::byMoment>, nullptr, "M",
     "в --extinction: моментов катастрофы для риска по моменту, 2...200 (24)"},
    {"sweep", Kind::List, nullptr, nullptr, "ИМЯ=ОТ:ДО:N",
     "перебор: ИМЯ (k1, k2, a1, a2, x0, y0, dt, t, disaster или divisor) от ОТ\n"
     "                    до ДО в N точках; дважды — сетка из двух параметров",
     true, own<&O::sweeps>},
    {"table", Kind::Output, nullptr, nullptr, "ФАЙЛ",
     "таблица перебора (CSV): строка на точку, показатели как в --summary,\n"
     "                    причина, если точка не посчиталась"},
    {"sweep-png", Kind::Output, nullptr, nullptr, "ФАЙЛ",
     "показатели из --plot против перебираемого параметра (сетка — цветом)"},
    {"sweep-svg", Kind::Output, nullptr, nullptr, "ФАЙЛ", "та же картинка в векторном виде"},
    {"plot", Kind::Text, own<&O::plot>, nullptr, "ИМЯ[,ИМЯ...]",
     "показатели для картинки перебора: имена столбцов --table"},
    {"help", Kind::Flag, nullptr, own<&O::help>},
    {"version", Kind::Flag, nullptr, own<&O::version>},
};

const O::Row* find(const QString& name) {
    for (const O::Row& row : Rows)
        if (name == QLatin1String(row.name))
            return &row;
    return nullptr;
}

bool hasOutput(const O& o, const char* name) {
    for (const auto& output : o.outputs)
        if (output.first == QLatin1String(name))
            return true;
    return false;
}

QString synopsisItem(const O::Row& row) {
    return QStringLiteral("[--%1%2]")
        .arg(QLatin1String(row.name),
             *row.placeholder ? QLatin1Char('=') + QString::fromUtf8(row.placeholder) : QString());
}
} // namespace

std::span<const O::Row> ExportOptions::table() {
    return Rows;
}

QStringList ExportOptions::outputNames() {
    QStringList names;
    for (const Row& row : Rows)
        if (row.kind == Kind::Output)
            names << QString::fromLatin1(row.name);
    return names;
}

QString ExportOptions::usage() {
    QString text = QStringLiteral("Использование: morvane-export");
    for (const Row& row : Rows) {
        if (row.startsLine && &row != &Rows[0])
            text += QStringLiteral("\n        ");
        text += QLatin1Char(' ') + synopsisItem(row);
    }
    text += QStringLiteral(
        "\n\n"
        "Считает модель, как лёгкое окно Morvane, и сохраняет результаты без окна.\n"
        "Числа пишутся с запятой или точкой; не заданные берутся, как в окне при запуске:\n"
        "dt, x0, y0, k1, k2, a1, a2 = 0,1 и t = 50.\n"
        "\n");
    for (const Row& row : Rows) {
        if (!*row.description)
            continue;
        QString item = QStringLiteral("  --") + QLatin1String(row.name);
        if (*row.placeholder)
            item += QLatin1Char('=') + QString::fromUtf8(row.placeholder);
        text += item.leftJustified(19) + QLatin1Char(' ') + QString::fromUtf8(row.description) +
                QLatin1Char('\n');
    }
    text += QStringLiteral(
        "\n"
        "Пример для рабочего листа: период от k1 и риск вымирания хищников от делителя\n"
        "  morvane-export --sweep=k1=0,1:1:10 --table=period.csv --sweep-png=period.png "
        "--plot=periodBefore\n"
        "  morvane-export --k1=0,9 --k2=0,6 --a1=0,3 --a2=0,2 --dt=0,01 --t=30 --x0=8 --y0=1 "
        "--disaster=7,07\n"
        "    --sweep=divisor=2:8:7 --extinction --table=risk.csv --decimal-comma\n"
        "    --sweep-png=risk.png --plot=withDisaster.predators.fraction\n"
        "\n"
        "Код выхода: 0 - готово; 2 - неверный параметр или текст;\n"
        "3 - ошибка выполнения (переполнение, деление на ноль, запись файла);\n"
        "130 - прервано (Ctrl+C), ничего не записано.\n");
    return text;
}

std::optional<QString> ExportOptions::parse(const QStringList& args) {
    for (const QString& arg : args) {
        if (!arg.startsWith(QLatin1String("--")) || arg.size() == 2)
            return QStringLiteral("лишний аргумент «%1»; справка: morvane-export --help").arg(arg);
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        const QString name = arg.mid(2, eq < 0 ? -1 : eq - 2);
        const QString value = eq < 0 ? QString() : arg.mid(eq + 1);
        const Row* row = find(name);
        if (!row)
            return QStringLiteral("неизвестный параметр «%1»; справка: morvane-export --help")
                .arg(arg);
        if (given.contains(name) && row->kind != Kind::List)
            return QStringLiteral("параметр --%1 задан дважды").arg(name);
        given.insert(name);
        if (row->kind == Kind::Flag) {
            if (eq >= 0)
                return QStringLiteral("параметр --%1 пишется без значения").arg(name);
            row->flag(*this) = true;
            continue;
        }
        if (eq < 0 && name == QLatin1String("extinction")) {
            extinctionColumns = true; // whether a sweep takes it so, checkOutputs says
            continue;
        }
        if (eq < 0)
            return QStringLiteral("параметру --%1 нужно значение: --%1=…").arg(name);
        if (row->kind == Kind::Text)
            row->text(*this) = value;
        else if (row->kind == Kind::List)
            row->list(*this) << value;
        else
            outputs.append({name, value});
    }
    return std::nullopt;
}

bool ExportOptions::wantsExtinction() const {
    return extinctionColumns || hasOutput(*this, "extinction");
}

std::optional<QString> ExportOptions::checkOutputs() const {
    if (extinctionColumns && sweeps.isEmpty())
        return QStringLiteral("параметру --extinction нужно значение: --extinction=…");
    if (outputs.isEmpty()) {
        QStringList names = outputNames();
        const QString last = names.takeLast();
        return QStringLiteral("нечего сохранять: задайте --%1 или --%2")
            .arg(names.join(QStringLiteral(", --")), last);
    }
    QStringList files;
    bool standardOutput = false;
    for (const auto& [name, file] : outputs) {
        if (file.isEmpty())
            return QStringLiteral("--%1=: не указан файл").arg(name);
        if (OutputFiles::isStandardOutput(file)) {
            if (standardOutput)
                return QStringLiteral("на стандартный вывод («-») можно направить только "
                                      "один результат");
            standardOutput = true;
        } else if (files.contains(file)) {
            return QStringLiteral("файл «%1» задан для двух результатов").arg(file);
        }
        files << file;
    }
    // An addition to an output that is not asked for would do nothing.
    const auto has = [this](const char* name) { return hasOutput(*this, name); };
    if (compareSteps && !has("summary") && sweeps.isEmpty())
        return QStringLiteral("--compare-steps дополняет --summary или --sweep, а они не заданы");
    for (const char* text : {"runs", "omega", "seed", "threads", "by-moment"})
        if (given.contains(QLatin1String(text)) && !wantsExtinction() &&
            (sweeps.isEmpty() || qstrcmp(text, "threads") != 0))
            return QStringLiteral("--%1 дополняет --extinction, а оно не задано")
                .arg(QLatin1String(text));
    if (legend && !has("png") && !has("svg") && !has("phase-png") && !has("phase-svg"))
        return QStringLiteral("--legend дополняет --png, --svg, --phase-png или --phase-svg, а они "
                              "не заданы");
    for (const char* flag : {"nullclines", "exact-orbit"})
        if (given.contains(QLatin1String(flag)) && !has("phase-png") && !has("phase-svg"))
            return QStringLiteral("--%1 дополняет --phase-png или --phase-svg, а они не заданы")
                .arg(QLatin1String(flag));
    return checkSweep();
}

std::optional<QString> ExportOptions::checkSweep() const {
    const auto has = [this](const char* name) { return hasOutput(*this, name); };
    const bool picture = has("sweep-png") || has("sweep-svg");
    for (const char* name : {"table", "sweep-png", "sweep-svg"})
        if (has(name) && sweeps.isEmpty())
            return QStringLiteral("--%1 дополняет --sweep, а оно не задано")
                .arg(QLatin1String(name));
    if (given.contains(QStringLiteral("plot")) && !picture)
        return QStringLiteral("--plot дополняет --sweep-png или --sweep-svg, а они не заданы");
    if (sweeps.isEmpty())
        return std::nullopt;
    for (const char* name :
         {"csv", "png", "svg", "phase-png", "phase-svg", "summary", "extinction", "save-scenario"})
        if (has(name))
            return QStringLiteral("--%1 описывает один прогон, а --sweep — много: с ним задают "
                                  "--table, --sweep-png или --sweep-svg")
                .arg(QLatin1String(name));
    if (picture && !given.contains(QStringLiteral("plot")))
        return QStringLiteral("--sweep-png и --sweep-svg рисуют показатели из --plot, а оно не "
                              "задано");
    if (given.contains(QStringLiteral("by-moment")))
        return QStringLiteral("--by-moment не входит в таблицу перебора: в ней риски с "
                              "катастрофой и без неё");
    for (const QString& sweep : sweeps) {
        const QString name = sweep.section(QLatin1Char('='), 0, 0);
        if (given.contains(name) && find(name) && find(name)->kind == Kind::Text)
            return QStringLiteral("--%1 задан и перебирается (--sweep=%2): оставьте одно")
                .arg(name, sweep);
    }
    return std::nullopt;
}

std::optional<QString> ExportOptions::takeScenario() {
    if (!given.contains(QStringLiteral("scenario")))
        return std::nullopt;
    QString why;
    const auto file = ScenarioFile::load(scenarioFile, &why);
    if (!file)
        return QStringLiteral("--scenario=%1: %2").arg(scenarioFile, why);
    const Scenario& s = file->scenario;
    // As text the input row reads back to the same double: the shortest
    // form with a point.
    const auto text = [](double v) {
        char buf[32];
        return QString::fromLatin1(buf, int(std::to_chars(buf, buf + sizeof buf, v).ptr - buf));
    };
    const auto take = [this](const char* name, QString& field, const QString& value) {
        if (given.contains(QLatin1String(name)))
            return;
        field = value;
        given.insert(QLatin1String(name));
    };
    take("k1", texts.k1, text(s.k1));
    take("k2", texts.k2, text(s.k2));
    take("a1", texts.a1, text(s.a1));
    take("a2", texts.a2, text(s.a2));
    take("dt", texts.dt, text(s.dt));
    take("t", texts.t, text(s.span));
    take("x0", texts.x0, text(s.x0));
    take("y0", texts.y0, text(s.y0));
    static const char* const methods[] = {"euler", "semi-implicit", "rk4"};
    take("method", method, QString::fromLatin1(methods[int(s.method)]));
    if (s.disaster) {
        take("disaster", disasterTime, text(s.strikeTime));
        take("divisor", divisor, QString::number(s.divisor));
    }
    if (file->risk) {
        take("omega", omega, QString::number(file->risk->omega));
        take("runs", runs, QString::number(file->risk->runs));
        take("seed", seed, QString::number(file->risk->seed));
    }
    return std::nullopt;
}
