#pragma once

#include "model/scenario.h"

#include <QByteArray>
#include <QString>
#include <optional>

// A scenario kept as a file (".morvane"): one UTF-8 JSON object, indented,
// its keys always in the same order, numbers written so that they read back
// as the same double. A lesson prepared at home opens in class as it was
// saved. Reading refuses anything it does not understand, naming the key,
// rather than guessing: a value silently dropped would be a lesson quietly
// changed.
class ScenarioFile {
public:
    static constexpr const char* Format = "morvane-scenario";
    static constexpr int Version = 1;
    static constexpr qint64 LargestFile = 1 << 20;
    static constexpr const char* Suffix = "morvane";

    // The extinction risk's settings, when the lesson asks for them.
    struct Risk {
        int omega = 100;
        int runs = 1000;
        qint64 seed = 0;
        bool operator==(const Risk&) const = default;
    };
    struct Contents {
        Scenario scenario;
        QString title;
        QString note;
        std::optional<Risk> risk;
        bool operator==(const Contents&) const = default;
    };

    static QByteArray write(const Contents& contents);
    // The contents, or nothing with the reason in *why (naming the key).
    static std::optional<Contents> read(const QByteArray& bytes, QString* why);
    // read() of a file; the caller names the file in its message.
    static std::optional<Contents> load(const QString& path, QString* why);
};
