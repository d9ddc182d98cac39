#include "common/numbertext.h"

#include "common/checkedmath.h"
#include "common/runerror.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {
// Not std::isdigit: its answer may depend on the C library's locale.
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The decimal exponent after 'e', saturated at the range of long.
long exponentOf(const char* first, const char* last) {
    const bool negative = first != last && *first == '-';
    if (first != last && (*first == '-' || *first == '+'))
        ++first;
    long magnitude = 0;
    const auto result = std::from_chars(first, last, magnitude);
    if (result.ec == std::errc::result_out_of_range)
        magnitude = std::numeric_limits<long>::max();
    return negative ? -magnitude : magnitude;
}
} // namespace

// Built from std::to_chars, which never consults a locale: Qt sets the C
// library's locale from the environment at start, and printf would then
// write a Russian or German decimal comma into what this code takes apart.
QString NumberText::general(double value, int digits) {
    if (value == 0.0)
        return QStringLiteral("0");
    if (!std::isfinite(value))
        return std::isnan(value) ? QStringLiteral("NaN")
                                 : (value > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf"));
    char buf[64];
    const auto written =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
    // buf: [-]d.dddde[+-]xx
    const std::string s(buf, written.ptr);
    const auto ePos = s.find('e');
    std::string mantissa = s.substr(0, ePos);
    const char* expFirst = s.data() + ePos + 1;
    if (*expFirst == '+')
        ++expFirst;
    int exponent = 0;
    std::from_chars(expFirst, s.data() + s.size(), exponent);
    bool negative = false;
    if (!mantissa.empty() && mantissa[0] == '-') {
        negative = true;
        mantissa.erase(0, 1);
    }
    std::string allDigits;
    for (char c : mantissa)
        if (c != '.')
            allDigits += c;
    while (allDigits.size() > 1 && allDigits.back() == '0')
        allDigits.pop_back();

    std::string out;
    if (exponent < -5 + 1 || exponent >= digits) {
        // 1E-05, 1,5E+15: exponent with at least two digits and its sign
        out = allDigits.substr(0, 1);
        if (allDigits.size() > 1)
            out += ',' + allDigits.substr(1);
        const int magnitude = std::abs(exponent);
        out += exponent < 0 ? "E-" : "E+";
        if (magnitude < 10)
            out += '0';
        out += std::to_string(magnitude);
    } else if (exponent < 0) {
        out = "0," + std::string(size_t(-exponent - 1), '0') + allDigits;
    } else {
        const size_t intLen = size_t(exponent) + 1;
        if (allDigits.size() <= intLen) {
            out = allDigits + std::string(intLen - allDigits.size(), '0');
        } else {
            out = allDigits.substr(0, intLen) + ',' + allDigits.substr(intLen);
        }
    }
    if (negative)
        out.insert(out.begin(), '-');
    return QString::fromLatin1(out.c_str());
}

QString NumberText::fromDouble(double value) {
    return general(value, 15);
}

QString NumberText::fromDouble(double value, int digits) {
    return general(value, std::clamp(digits, 1, 17));
}

QString NumberText::fromSingle(float value) {
    return general(double(value), 7);
}

QString NumberText::fromInt(long long value) {
    return QString::number(value);
}

QString NumberText::printed(double value) {
    const QString text = fromDouble(value);
    return (text.startsWith(QLatin1Char('-')) ? text : QLatin1Char(' ') + text) + QLatin1Char(' ');
}

QString NumberText::fromDateTime(const QDateTime& moment) {
    const QString date = moment.date().toString(QStringLiteral("dd.MM.yyyy"));
    const QTime time = moment.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return date;
    return date + QLatin1Char(' ') + time.toString(QStringLiteral("H:mm:ss"));
}

std::optional<double> NumberText::tryDouble(const QString& text) {
    try {
        return toDouble(text);
    } catch (const RunError&) {
        return std::nullopt;
    }
}

double NumberText::toDouble(const QString& text) {
    const QString trimmed = text.trimmed();
    std::string s;
    s.reserve(size_t(trimmed.size()));
    for (QChar c : trimmed) {
        const char16_t u = c.unicode();
        if (u > 127)
            throw RunError(RunError::TypeMismatch);
        s += char(u == ',' ? '.' : u);
    }
    // Grammar: [sign] (digits [. digits] | . digits) [e [sign] digits]
    size_t i = 0;
    const size_t n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t mantissaDigits = 0;
    while (i < n && isDigit(s[i])) {
        ++i;
        ++mantissaDigits;
    }
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && isDigit(s[i])) {
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        throw RunError(RunError::TypeMismatch);
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-'))
            ++i;
        size_t expDigits = 0;
        while (i < n && isDigit(s[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            throw RunError(RunError::TypeMismatch);
    }
    if (i != n)
        throw RunError(RunError::TypeMismatch);

    const char* first = s.data();
    if (*first == '+')
        ++first;
    double value = 0.0;
    const auto result = std::from_chars(first, s.data() + n, value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars reports both huge and tiny values as out of range; only
        // the huge ones are an overflow, the tiny ones are simply zero.
        // Tell them apart by the decimal magnitude of the first non-zero digit.
        long magnitude = 0;
        bool seenPoint = false;
        bool seenDigit = false;
        long exponentPart = 0;
        for (size_t k = 0; k < n; ++k) {
            const char c = s[k];
            if (c == '.') {
                seenPoint = true;
            } else if (c == 'e' || c == 'E') {
                // An exponent beyond long's range saturates; clamp further
                // so that adding the magnitude cannot overflow.
                exponentPart =
                    std::clamp(exponentOf(s.data() + k + 1, s.data() + n), -100000L, 100000L);
                break;
            } else if (isDigit(c)) {
                if (c != '0' && !seenDigit) {
                    seenDigit = true;
                    if (seenPoint)
                        --magnitude;
                } else if (seenDigit && !seenPoint) {
                    ++magnitude;
                } else if (!seenDigit && seenPoint) {
                    --magnitude;
                }
            }
        }
        if (seenDigit && magnitude + exponentPart > 0)
            throw RunError(RunError::Overflow);
        return s[0] == '-' ? -0.0 : 0.0;
    }
    if (result.ec != std::errc() || result.ptr != s.data() + n)
        throw RunError(RunError::TypeMismatch);
    return value;
}

std::int16_t NumberText::toInt16(const QString& text) {
    return CheckedMath::toInt16(toDouble(text));
}
