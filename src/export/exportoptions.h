#pragma once

#include "extinction/ensemble.h"
#include "model/inputreader.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <span>
#include <utility>

// morvane-export's options, read from one table: each row gives the
// option's name, its kind and the member it fills, and its line in the
// usage text. A new option is a row here (and a member when it carries a
// value), plus whatever the command does with it.
class ExportOptions {
public:
    // A Text takes "--name=value" into a QString member; a Flag takes bare
    // "--name" into a bool member; an Output takes "--name=FILE" into
    // `outputs`, in the order given; a List takes each of several
    // "--name=value" into a QStringList member.
    enum class Kind { Text, Flag, Output, List };

    struct Row {
        const char* name;
        Kind kind;
        QString& (*text)(ExportOptions&) = nullptr;     // a Text's member
        bool& (*flag)(ExportOptions&) = nullptr;        // a Flag's member
        const char* placeholder = "";                   // after "=" in the usage text
        const char* description = "";                   // its own line in the usage text, if any
        bool startsLine = false;                        // begins a new line of the synopsis
        QStringList& (*list)(ExportOptions&) = nullptr; // a List's member
    };
    static std::span<const Row> table();

    InputTexts texts;
    QString disasterTime;
    QString divisor = QStringLiteral("2");
    QString scale = QStringLiteral("1");
    QString method = QStringLiteral("euler");
    QString scenarioFile;
    // --extinction's: as read, checked by ExportInputs.
    QString runs = QString::number(Extinction::Settings{}.runs);
    QString omega = QString::number(Extinction::Settings{}.omega);
    QString seed = QString::number(Extinction::Settings{}.seed);
    QString threads = QString::number(Extinction::Settings{}.threads);
    QString byMoment = QString::number(Extinction::Settings{}.moments);
    // --sweep's, as given; --plot's figures, comma-separated.
    QStringList sweeps;
    QString plot;
    bool decimalComma = false;
    bool compareSteps = false;
    bool nullclines = false;
    bool exactOrbit = false;
    bool legend = false;
    bool help = false;
    bool version = false;
    // A bare --extinction: in a sweep, the risks as columns of the table.
    bool extinctionColumns = false;
    // Output option name (without "--") and file, in the order given.
    QList<std::pair<QString, QString>> outputs;
    // The names of the options given, without "--".
    QSet<QString> given;

    bool marked() const { return given.contains(QStringLiteral("disaster")); }
    // Whether the extinction is run: its file, or its columns in a sweep.
    bool wantsExtinction() const;

    // An error message, or nothing when the arguments are well formed.
    std::optional<QString> parse(const QStringList& args);
    // The values of a scenario file for every input not given beside it;
    // an error message naming the file and the key when it is refused.
    std::optional<QString> takeScenario();
    // Whether the outputs name at least one file, none twice and standard
    // output at most once, and whether each addition has its output.
    std::optional<QString> checkOutputs() const;
    // The sweep's share of that: its outputs and no output of one run.
    std::optional<QString> checkSweep() const;
    // The names of the outputs, as the error for none given lists them.
    static QStringList outputNames();

    static QString usage();
};
