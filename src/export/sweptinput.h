#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// One parameter of a sweep, "--sweep=NAME=FROM:TO:COUNT": COUNT values from
// FROM to TO in equal steps. Each value is a text, as a person would type it
// into the option: 15 significant digits, so that 0,1 + 2 · 0,1 is "0.3" and
// not 0,30000000000000004. t and divisor take whole values only.
class SweptInput {
public:
    QString name;
    double from = 0, to = 0;
    long long count = 0;

    // The inputs a sweep may vary, in the order --help names them.
    static const QStringList& names();
    static constexpr long long MostPoints = 1'000'000;

    // The value of point i (0 .. count − 1) as text with a decimal point.
    QString text(long long i) const;
    double value(long long i) const;

    // The inputs of one or two --sweep texts as given; the reason, naming
    // the option, when one is refused.
    static std::optional<QString> parse(const QStringList& given, std::vector<SweptInput>& swept);

    // A grid's points run through the first input's values, and for each of
    // them through the second's: point p is (p / second.count, p % count).
    static long long points(const std::vector<SweptInput>& swept);
    static long long indexIn(const std::vector<SweptInput>& swept, long long point, int which);

private:
    bool whole() const;
};
