#include "export/summaryjson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
// Collects the reasons of the null figures, each once.
struct Notes {
    QStringList list;
    void add(const QString& note) {
        if (!note.isEmpty() && !list.contains(note))
            list << note;
    }
    // what: the figure's name, before a note on a value that exists.
    QJsonValue of(const Figure<double>& f, const QString& what = {}) {
        if (f.has()) {
            if (!f.note.isEmpty())
                add(what + f.note);
            return *f;
        }
        add(f.reason);
        return QJsonValue::Null;
    }
};
} // namespace

QJsonObject SummaryJson::inputsObject(const Inputs& in) {
    const auto orNull = [](const auto& v) { return v ? QJsonValue(*v) : QJsonValue(); };
    return QJsonObject{
        {QStringLiteral("k1"), in.rates.k1},
        {QStringLiteral("k2"), in.rates.k2},
        {QStringLiteral("a1"), in.rates.a1},
        {QStringLiteral("a2"), in.rates.a2},
        {QStringLiteral("dt"), in.rates.dt},
        {QStringLiteral("t"), in.t},
        {QStringLiteral("x0"), in.x0},
        {QStringLiteral("y0"), in.y0},
        {QStringLiteral("method"), Integrator::name(in.method)},
        {QStringLiteral("divisor"), in.divisor},
        {QStringLiteral("disasterTime"), orNull(in.disasterTime)},
        {QStringLiteral("strikeStep"), orNull(in.strikeStep)},
    };
}

QByteArray SummaryJson::document(const Inputs& in, const RunSummary& s,
                                 const std::vector<StepHalving::Row>* compare,
                                 const QStringList& extraNotes) {
    Notes notes;
    for (const QString& note : extraNotes)
        notes.add(note);
    QJsonObject o;
    o[QStringLiteral("inputs")] = inputsObject(in);
    o[QStringLiteral("method")] = Integrator::name(s.method);
    o[QStringLiteral("dt")] = s.dt;
    o[QStringLiteral("t")] = s.span;
    if (s.equilibrium.has()) {
        o[QStringLiteral("equilibrium")] = QJsonArray{(*s.equilibrium).x, (*s.equilibrium).y};
    } else {
        o[QStringLiteral("equilibrium")] = QJsonValue::Null;
        notes.add(s.equilibrium.reason);
    }
    o[QStringLiteral("V0")] = notes.of(s.v0);
    o[QStringLiteral("Vend")] = notes.of(s.vEnd);
    o[QStringLiteral("drift")] = notes.of(s.drift);
    o[QStringLiteral("driftPerTime")] = notes.of(s.driftPerTime);
    o[QStringLiteral("minX")] = s.minX;
    o[QStringLiteral("minY")] = s.minY;
    if (const auto& f = s.firstNonPositive)
        o[QStringLiteral("firstNonPositive")] =
            QJsonObject{{QStringLiteral("population"), QString(QLatin1Char(f->population))},
                        {QStringLiteral("step"), f->step},
                        {QStringLiteral("t"), f->t}};
    else
        o[QStringLiteral("firstNonPositive")] = QJsonValue::Null;
    o[QStringLiteral("periodBefore")] =
        notes.of(s.periodBefore, QStringLiteral("Период до катастрофы: "));
    o[QStringLiteral("periodAfter")] =
        notes.of(s.periodAfter, QStringLiteral("Период после катастрофы: "));
    o[QStringLiteral("smallOrbitPeriod")] = notes.of(s.smallOrbitPeriod);
    if (const auto& d = s.disaster)
        o[QStringLiteral("disaster")] =
            QJsonObject{{QStringLiteral("step"), d->step},
                        {QStringLiteral("t"), d->t},
                        {QStringLiteral("xBefore"), d->xBefore},
                        {QStringLiteral("yBefore"), d->yBefore},
                        {QStringLiteral("xAfter"), d->xAfter},
                        {QStringLiteral("yAfter"), d->yAfter},
                        {QStringLiteral("VBefore"), notes.of(d->vBefore)},
                        {QStringLiteral("VAfter"), notes.of(d->vAfter)},
                        {QStringLiteral("jump"), notes.of(d->jump)}};
    else
        o[QStringLiteral("disaster")] = QJsonValue::Null;
    if (compare) {
        QJsonArray rows;
        QJsonObject stateOrders;
        for (const StepHalving::Row& row : *compare) {
            rows.append(QJsonObject{{QStringLiteral("method"), Integrator::name(row.method)},
                                    {QStringLiteral("dt"), row.dt},
                                    {QStringLiteral("drift"), notes.of(row.drift)},
                                    {QStringLiteral("order"), notes.of(row.order)}});
            stateOrders[Integrator::name(row.method)] = notes.of(row.stateOrder);
        }
        o[QStringLiteral("compareSteps")] = rows;
        o[QStringLiteral("stateOrder")] = stateOrders;
    }
    o[QStringLiteral("notes")] = QJsonArray::fromStringList(notes.list);
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}
