#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

// Numbers as the Russian interface writes and reads them: decimal comma,
// no grouping, at most 15 significant digits for doubles and 7 for singles.
// The system locale is deliberately ignored: the texts at load are "0,1",
// which an English locale would misread.
class NumberText {
public:
    static QString fromDouble(double value);
    // The same with at most `digits` significant digits (1 to 17): what a
    // person reads at a glance.
    static QString fromDouble(double value, int digits);
    static QString fromSingle(float value);
    static QString fromInt(long long value);
    // The graph's printing rule: a blank in place of the sign of a
    // non-negative number, and one blank after every number.
    static QString printed(double value);
    // "dd.MM.yyyy H:mm:ss"; at exactly midnight the date alone.
    static QString fromDateTime(const QDateTime& moment);

    // Accepts blanks around the number, a sign, a decimal comma or point and
    // an exponent. Throws RunError: TypeMismatch for text that is no number,
    // Overflow for a number beyond the double range.
    static double toDouble(const QString& text);
    // The same reading, rounded ties to even; Overflow outside -32768..32767.
    static std::int16_t toInt16(const QString& text);
    static std::optional<double> tryDouble(const QString& text);

private:
    static QString general(double value, int digits);
};
