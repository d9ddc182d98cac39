#include "casetable.h"
#include "common/checkedmath.h"
#include "common/numbertext.h"
#include "diag/logentries.h"

#include <clocale>
#include <cstdio>
#include <functional>
#include <string>

// Numbers written and read the way the Russian interface does, whatever the
// machine's locale (the test command runs us under C.UTF-8 and under comma
// locales, where the C library itself writes "0,5"), and the checked
// conversions every stored result goes through.
enum { TM = RunError::TypeMismatch, OV = RunError::Overflow, DZ = RunError::DivisionByZero };

// name, value, single precision, text, graph print (nullptr: not checked)
static const std::tuple<const char*, double, bool, const char*, const char*> writings[] = {
    {"tenth", 0.1, false, "0,1", " 0,1 "},
    {"whole tick", 5, false, "5", " 5 "},
    {"two-digit tick", 21, false, "21", " 21 "},
    {"tick with decimals", 1.5, false, "1,5", " 1,5 "},
    {"zero", 0, false, "0", " 0 "},
    {"negative", -0.25, false, "-0,25", "-0,25 "},
    {"trailing zeros", 5.6112020079143, false, "5,6112020079143", " 5,6112020079143 "},
    {"15 digits", 5.561790410770349, false, "5,56179041077035", nullptr},
    {"small plain", 0.0001, false, "0,0001", nullptr},
    {"small exponent", 1e-5, false, "1E-05", " 1E-05 "},
    {"negative exponent", -1.5e-7, false, "-1,5E-07", "-1,5E-07 "},
    {"15 whole digits", 123456789012345, false, "123456789012345", nullptr},
    {"large exponent", 2.5e100, false, "2,5E+100", nullptr},
    {"no grouping", 1234567.5, false, "1234567,5", nullptr},
    {"single third", double(1.0f / 3), true, "0,3333333", nullptr},
    {"single exponent", 12345678, true, "1,234568E+07", nullptr},
};

// A whole number of 310 digits, 1e309: beyond the doubles, with no exponent
// to tell it.
static const std::string wide = "1" + std::string(309, '0');
// 1e-330 written with 400 zeros after the comma: below the doubles, however
// many digits follow the comma.
static const std::string longTiny = "1," + std::string(400, '0') + "e-330";
// text (also the name), toDouble value and error, toInt16 value and error
static const std::tuple<const char*, double, int, int, int> readings[] = {
    {"0,1", 0.1, 0, 0, 0},
    {"1,5E-2", 0.015, 0, 0, 0},
    {"  -2.5 ", -2.5, 0, -2, 0},
    {"50,5", 50.5, 0, 50, 0},
    {"51,5", 51.5, 0, 52, 0},
    {"-32768,5", -32768.5, 0, -32768, 0},
    {"40000", 40000, 0, 0, OV},
    {"1e-400", 0, 0, 0, 0},
    {"1e400", 0, OV, 0, OV},
    {wide.c_str(), 0, OV, 0, OV},
    {longTiny.c_str(), 0, 0, 0, 0},
    {"10e99999999999999999999", 0, OV, 0, OV},
    {"0,01e-99999999999999999999", 0, 0, 0, 0},
    {"0,1e99999999999999999999", 0, OV, 0, OV},
    {"1000e-99999999999999999999", 0, 0, 0, 0},
    {",5", 0.5, 0, 0, 0},
    {"7.", 7, 0, 7, 0},
    {"+3", 3, 0, 3, 0},
    {"2E+1", 20, 0, 20, 0},
    {"", 0, TM, 0, TM},
    {",", 0, TM, 0, TM},
    {"-", 0, TM, 0, TM},
    {"e5", 0, TM, 0, TM},
    {"1e+", 0, TM, 0, TM},
    {"٣", 0, TM, 0, TM},
    {"abc", 0, TM, 0, TM},
    {"inf", 0, TM, 0, TM},
    {"nan", 0, TM, 0, TM},
    {"1,2,3", 0, TM, 0, TM},
    {"1e", 0, TM, 0, TM},
    {"1 000", 0, TM, 0, TM},
};

// name, operation, a, b, result, error
static const std::tuple<const char*, const char*, double, double, double, int> checks[] = {
    {"2.5 to even", "int16", 2.5, 0, 2, 0},
    {"3.5 to even", "int16", 3.5, 0, 4, 0},
    {"-2.5 to even", "int16", -2.5, 0, -2, 0},
    {"int16 above", "int16", 32767.5, 0, 0, OV},
    {"int16 below", "int16", -32768.6, 0, 0, OV},
    {"decimals tie", "round", 0.125, 2, 0.12, 0},
    {"decimals up", "round", 0.375, 2, 0.38, 0},
    {"divide by zero", "divide", 1, 0, 0, DZ},
    {"zero by zero", "divide", 0, 0, 0, OV},
    {"divide overflow", "divide", 1e300, 1e-300, 0, OV},
    {"single overflow", "single", 1e39, 0, 0, OV},
    {"increment past top", "increment", 32767, 0, 0, OV},
};

// The classic run-time error numbers a report carries, as users of such
// programs know them.
static const std::tuple<const char*, RunError::Code, const char*> reports[] = {
    {"out of memory", RunError::OutOfMemory, "Ошибка выполнения '7': Недостаточно памяти"},
    {"subscript", RunError::SubscriptOutOfRange,
     "Ошибка выполнения '9': Индекс вне допустимого диапазона"},
    {"disk full", RunError::DiskFull, "Ошибка выполнения '61': Диск заполнен"},
    {"permission", RunError::PermissionDenied, "Ошибка выполнения '70': Отказано в разрешении"},
    {"path", RunError::PathFileAccess, "Ошибка выполнения '75': Ошибка доступа к пути/файлу"},
};

class TstNumberText : public QObject {
    Q_OBJECT
private slots:
    // The comma passes only test something if the C library really switched.
    void initTestCase() {
        const QByteArray expected = qgetenv("MORVANE_EXPECT_LOCALE");
        if (expected.isEmpty())
            return;
        QVERIFY2(std::setlocale(LC_ALL, expected.constData()), expected.constData());
        char half[16];
        std::snprintf(half, sizeof half, "%.1f", 0.5);
        QCOMPARE(half, expected.startsWith("C.") ? "0.5" : "0,5");
    }
    void logLines() {
        QCOMPARE(LogEntries::point(1, 0.1009, 0.0991),
                 QStringLiteral("x1=0,1009           y1=0,0991"));
        QCOMPARE(LogEntries::elapsedGroup(QStringLiteral("InitElapsed"), 0.02038956f).value(1),
                 QStringLiteral("InitElapsed=0,02038956"));
    }
    void writing_data() { addRows(writings); }
    void writing() {
        const auto& [name, value, single, text, printed] = currentRow(writings);
        QCOMPARE(single ? NumberText::fromSingle(float(value)) : NumberText::fromDouble(value),
                 QString::fromLatin1(text));
        if (printed)
            QCOMPARE(NumberText::printed(value), QString::fromLatin1(printed));
    }
    void reading_data() { addRows(readings); }
    void reading() {
        const auto& [text, expected, error, whole, wholeError] = currentRow(readings);
        double value = -1;
        int rounded = -1;
        const QString t = QString::fromLatin1(text);
        QCOMPARE(errorOf([&] { value = NumberText::toDouble(t); }), error);
        QCOMPARE(errorOf([&] { rounded = NumberText::toInt16(t); }), wholeError);
        QCOMPARE(value, error ? -1 : expected);
        QCOMPARE(rounded, wholeError ? -1 : whole);
    }
    void report_data() { addRows(reports); }
    void report() {
        const auto& [name, code, text] = currentRow(reports);
        QCOMPARE(RunError(code).report(), QString::fromUtf8(text));
    }
    void checked_data() { addRows(checks); }
    void checked() {
        const auto& [name, op, a, b, expected, error] = currentRow(checks);
        const double x = a, y = b;
        using M = CheckedMath;
        const QHash<QString, std::function<double()>> ops{
            {"int16", [x] { return M::toInt16(x); }},
            {"round", [x, y] { return M::roundTo(x, int(y)); }},
            {"divide", [x, y] { return M::divide(x, y); }},
            {"single", [x] { return M::toSingle(x); }},
            {"increment", [x] { return M::increment(std::int16_t(x)); }},
        };
        double result = -1;
        QCOMPARE(errorOf([&] { result = ops.value(QString::fromLatin1(op))(); }), error);
        QCOMPARE(result, error ? -1 : expected);
    }
};

QTEST_GUILESS_MAIN(TstNumberText)
#include "tst_numbertext.moc"
