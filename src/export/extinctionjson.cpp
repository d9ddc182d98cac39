#include "export/extinctionjson.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {
using namespace Extinction;

QJsonValue share(const Share& s) {
    if (!s.has())
        return QJsonValue::Null;
    return QJsonObject{{QStringLiteral("fraction"), s.fraction},
                       {QStringLiteral("low"), s.low},
                       {QStringLiteral("high"), s.high}};
}

QJsonObject band(const Band& b) {
    const auto array = [](const std::vector<double>& v) {
        QJsonArray a;
        for (const double d : v)
            a.append(d);
        return a;
    };
    return {{QStringLiteral("p10"), array(b.p10)},
            {QStringLiteral("p50"), array(b.p50)},
            {QStringLiteral("p90"), array(b.p90)}};
}

QJsonObject side(const Side& s, const QString& name, QStringList& notes) {
    QJsonObject o{{QStringLiteral("runs"), s.runs},
                  {QStringLiteral("prey"), share(s.prey)},
                  {QStringLiteral("predators"), share(s.predators)},
                  {QStringLiteral("either"), share(s.either)},
                  {QStringLiteral("explosions"), s.explosions},
                  {QStringLiteral("x"), band(s.x)},
                  {QStringLiteral("y"), band(s.y)}};
    if (const auto& t = s.times) {
        o[QStringLiteral("times")] = QJsonObject{{QStringLiteral("p10"), t->p10},
                                                 {QStringLiteral("p25"), t->p25},
                                                 {QStringLiteral("p50"), t->p50},
                                                 {QStringLiteral("p75"), t->p75},
                                                 {QStringLiteral("p90"), t->p90}};
    } else {
        o[QStringLiteral("times")] = QJsonValue::Null;
        notes << QStringLiteral("%1: ни в одном прогоне никто не вымер, времён вымирания нет")
                     .arg(name);
    }
    if (s.runs == 0)
        notes << QStringLiteral("%1: ни один прогон не закончен, долей нет").arg(name);
    return o;
}
} // namespace

QByteArray ExtinctionJson::document(const SummaryJson::Inputs& inputs, const Settings& settings,
                                    const Result& r, const QStringList& extraNotes) {
    QStringList notes = extraNotes;
    QJsonObject o;
    o[QStringLiteral("inputs")] = SummaryJson::inputsObject(inputs);
    o[QStringLiteral("omega")] = settings.omega;
    o[QStringLiteral("runs")] = settings.runs;
    o[QStringLiteral("seed")] = double(settings.seed);
    o[QStringLiteral("partial")] = r.partial;
    o[QStringLiteral("disasterTime")] = r.disasterTime ? QJsonValue(*r.disasterTime) : QJsonValue();
    o[QStringLiteral("withDisaster")] =
        side(r.withDisaster, QStringLiteral("С катастрофой"), notes);
    o[QStringLiteral("withoutDisaster")] =
        side(r.withoutDisaster, QStringLiteral("Без катастрофы"), notes);
    QJsonArray grid;
    for (const double t : r.grid)
        grid.append(t);
    o[QStringLiteral("grid")] = grid;
    QJsonArray moments;
    for (const Moment& m : r.byMoment)
        moments.append(
            QJsonObject{{QStringLiteral("t"), m.t}, {QStringLiteral("either"), share(m.either)}});
    o[QStringLiteral("byMoment")] = moments;
    notes << r.notes;
    notes.removeDuplicates();
    o[QStringLiteral("notes")] = QJsonArray::fromStringList(notes);
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}
