#include "export/sweptinput.h"

#include "common/numbertext.h"
#include "common/runerror.h"

#include <charconv>
#include <cmath>

namespace {
QString refused(const QString& given, const QString& why) {
    return QStringLiteral("--sweep=%1: %2").arg(given, why);
}
} // namespace

const QStringList& SweptInput::names() {
    static const QStringList all = {"dt", "x0", "y0", "k1",       "k2",
                                    "a1", "a2", "t",  "disaster", "divisor"};
    return all;
}

bool SweptInput::whole() const {
    return name == QLatin1String("t") || name == QLatin1String("divisor");
}

double SweptInput::value(long long i) const {
    if (whole())
        return from + double((long long)(to - from) / (count - 1) * i);
    // Exact at both ends and monotonic between them.
    const double v = std::lerp(from, to, double(i) / double(count - 1));
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15).ptr;
    double rounded = v;
    std::from_chars(buf, end, rounded);
    return rounded;
}

QString SweptInput::text(long long i) const {
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, value(i)).ptr;
    return QString::fromLatin1(buf, int(end - buf));
}

std::optional<QString> SweptInput::parse(const QStringList& given, std::vector<SweptInput>& swept) {
    swept.clear();
    if (given.size() > 2)
        return QStringLiteral("--sweep задан %1 раза: перебирать можно один параметр или сетку "
                              "из двух")
            .arg(given.size());
    long long points = 1;
    for (const QString& text : given) {
        const qsizetype eq = text.indexOf(QLatin1Char('='));
        const QStringList parts = text.mid(eq + 1).split(QLatin1Char(':'));
        if (eq < 0 || parts.size() != 3)
            return refused(text,
                           QStringLiteral("нужно ИМЯ=ОТ:ДО:N, например --sweep=k1=0,1:0,5:9"));
        SweptInput s;
        s.name = text.left(eq);
        if (!names().contains(s.name))
            return refused(text, QStringLiteral("«%1» — не входной параметр; перебирают %2")
                                     .arg(s.name, names().join(QStringLiteral(", "))));
        for (const QString& other : given)
            if (&other != &text && other.section(QLatin1Char('='), 0, 0) == s.name)
                return QStringLiteral("--sweep: %1 перебирается дважды").arg(s.name);
        for (int end = 0; end < 2; ++end) {
            try {
                (end == 0 ? s.from : s.to) = NumberText::toDouble(parts[end]);
            } catch (const RunError& e) {
                return refused(text,
                               QStringLiteral("«%1»: %2")
                                   .arg(parts[end], e.code() == RunError::Overflow
                                                        ? QStringLiteral("число вне допустимого "
                                                                         "диапазона")
                                                        : QStringLiteral("это не число")));
            }
        }
        bool ok = false;
        s.count = parts[2].trimmed().toLongLong(&ok);
        if (!ok || s.count < 2 || s.count > MostPoints)
            return refused(
                text, QStringLiteral("точек N должно быть целое число от 2 до %1").arg(MostPoints));
        if (s.from == s.to)
            return refused(text, QStringLiteral("начало и конец перебора совпадают"));
        if (s.whole() && (s.from != std::nearbyint(s.from) || s.to != std::nearbyint(s.to) ||
                          std::fabs(s.from) > 1e9 || std::fabs(s.to) > 1e9 ||
                          std::fmod(s.to - s.from, double(s.count - 1)) != 0))
            return refused(text, QStringLiteral("%1 перебирается целыми числами: ОТ и ДО целые, "
                                                "ДО − ОТ делится на N − 1")
                                     .arg(s.name));
        points *= s.count;
        if (points > MostPoints)
            return QStringLiteral("--sweep: точек в переборе больше %1").arg(MostPoints);
        swept.push_back(s);
    }
    return std::nullopt;
}

long long SweptInput::points(const std::vector<SweptInput>& swept) {
    long long n = 1;
    for (const SweptInput& s : swept)
        n *= s.count;
    return n;
}

long long SweptInput::indexIn(const std::vector<SweptInput>& swept, long long point, int which) {
    if (swept.size() < 2)
        return point;
    return which == 0 ? point / swept[1].count : point % swept[1].count;
}
