#include "model/scenariofile.h"

#include "model/stepmethod.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>
#include <charconv>
#include <cmath>

namespace {
// The command line's names of the methods.
const char* const MethodNames[] = {"euler", "semi-implicit", "rk4"};

// The shortest text that reads back as the same double.
QByteArray number(double v) {
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    return QByteArray(buf, int(end - buf));
}

QByteArray text(const QString& s) {
    // A JSON string with its escapes, as Qt writes one.
    const QByteArray array = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

struct Reader {
    const QJsonObject& o;
    QString* why;

    bool refuse(const QString& key, const QString& reason) {
        if (why)
            *why = QStringLiteral("«%1»: %2").arg(key, reason);
        return false;
    }
    bool finite(const QString& key, double* out) {
        const QJsonValue v = o.value(key);
        if (v.isUndefined())
            return refuse(key, QStringLiteral("значения нет"));
        if (!v.isDouble() || !std::isfinite(v.toDouble()))
            return refuse(key, QStringLiteral("нужно число"));
        *out = v.toDouble();
        return true;
    }
    bool string(const QString& key, QString* out) {
        const QJsonValue v = o.value(key);
        if (v.isUndefined())
            return true;
        if (!v.isString())
            return refuse(key, QStringLiteral("нужен текст"));
        *out = v.toString();
        return true;
    }
};
} // namespace

QByteArray ScenarioFile::write(const Contents& c) {
    const Scenario& s = c.scenario;
    QByteArray out = "{\n";
    const auto line = [&out](const char* key, const QByteArray& value, bool last = false) {
        out += "    \"";
        out += key;
        out += "\": ";
        out += value;
        out += last ? "\n" : ",\n";
    };
    line("format", text(QString::fromLatin1(Format)));
    line("version", QByteArray::number(Version));
    line("title", text(c.title));
    line("note", text(c.note));
    line("k1", number(s.k1));
    line("k2", number(s.k2));
    line("a1", number(s.a1));
    line("a2", number(s.a2));
    line("dt", number(s.dt));
    line("t", number(s.span));
    line("x0", number(s.x0));
    line("y0", number(s.y0));
    line("method", text(QString::fromLatin1(MethodNames[int(s.method)])));
    if (c.risk)
        line("extinction", "{ \"omega\": " + QByteArray::number(c.risk->omega) +
                               ", \"runs\": " + QByteArray::number(c.risk->runs) +
                               ", \"seed\": " + QByteArray::number(c.risk->seed) + " }");
    line("disaster",
         s.disaster ? "{ \"time\": " + number(s.strikeTime) +
                          ", \"divisor\": " + QByteArray::number(s.divisor) + " }"
                    : QByteArray("null"),
         true);
    out += "}\n";
    return out;
}

std::optional<ScenarioFile::Contents> ScenarioFile::read(const QByteArray& bytes, QString* why) {
    const auto refuse = [why](const QString& reason) {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    if (bytes.size() > LargestFile)
        return refuse(QStringLiteral("файл больше 1 МиБ"));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return refuse(QStringLiteral("это не файл сценария (не JSON-объект)"));
    const QJsonObject o = doc.object();
    if (o.value(QStringLiteral("format")).toString() != QLatin1String(Format))
        return refuse(QStringLiteral("«format»: это не сценарий Morvane"));
    const QJsonValue version = o.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() != std::floor(version.toDouble()) ||
        version.toDouble() < 1)
        return refuse(QStringLiteral("«version»: нужно целое число от 1"));
    if (version.toDouble() > Version)
        return refuse(QStringLiteral("«version»: файл сделан более новой версией Morvane"));
    static const QStringList known{"format", "version", "title",  "note",     "k1",
                                   "k2",     "a1",      "a2",     "dt",       "t",
                                   "x0",     "y0",      "method", "disaster", "extinction"};
    for (const QString& key : o.keys())
        if (!known.contains(key))
            return refuse(QStringLiteral("«%1»: неизвестный ключ").arg(key));

    Contents c;
    Scenario& s = c.scenario;
    Reader r{o, why};
    if (!r.string(QStringLiteral("title"), &c.title) || !r.string(QStringLiteral("note"), &c.note))
        return std::nullopt;
    const std::pair<const char*, double*> values[] = {{"k1", &s.k1}, {"k2", &s.k2}, {"a1", &s.a1},
                                                      {"a2", &s.a2}, {"dt", &s.dt}, {"t", &s.span},
                                                      {"x0", &s.x0}, {"y0", &s.y0}};
    for (const auto& [key, field] : values)
        if (!r.finite(QString::fromLatin1(key), field))
            return std::nullopt;
    // The windows read t as a whole number within 16 bits.
    if (s.span != std::nearbyint(s.span) || s.span < -32768 || s.span > 32767)
        return refuse(QStringLiteral("«t»: нужно целое число от -32768 до 32767"));
    if (s.dt == 0)
        return refuse(QStringLiteral("«dt»: шаг не может быть равен 0"));
    const QString method = o.value(QStringLiteral("method")).toString();
    s.method = StepMethod(-1);
    for (int m = 0; m < 3; ++m)
        if (method == QLatin1String(MethodNames[m]))
            s.method = StepMethod(m);
    if (int(s.method) < 0)
        return refuse(QStringLiteral("«method»: нужен euler, semi-implicit или rk4"));
    const QJsonValue disaster = o.value(QStringLiteral("disaster"));
    if (disaster.isUndefined())
        return refuse(QStringLiteral("«disaster»: значения нет (null — без катастрофы)"));
    if (!disaster.isNull()) {
        if (!disaster.isObject())
            return refuse(QStringLiteral("«disaster»: нужен объект с time и divisor или null"));
        const QJsonObject d = disaster.toObject();
        for (const QString& key : d.keys())
            if (key != QLatin1String("time") && key != QLatin1String("divisor"))
                return refuse(QStringLiteral("«disaster.%1»: неизвестный ключ").arg(key));
        Reader dr{d, why};
        double divisor = 0;
        if (!dr.finite(QStringLiteral("time"), &s.strikeTime) ||
            !dr.finite(QStringLiteral("divisor"), &divisor)) {
            if (why)
                *why = QStringLiteral("«disaster.") + why->mid(1);
            return std::nullopt;
        }
        if (!(divisor >= 2 && divisor <= 1000) || divisor != std::floor(divisor) ||
            !Scenario::isDivisor(int(divisor)))
            return refuse(QStringLiteral("«disaster.divisor»: делитель от 2 до 8 или 1000"));
        s.disaster = true;
        s.divisor = int(divisor);
    }
    const QJsonValue risk = o.value(QStringLiteral("extinction"));
    if (!risk.isUndefined()) {
        if (!risk.isObject())
            return refuse(QStringLiteral("«extinction»: нужен объект с omega, runs и seed"));
        const QJsonObject e = risk.toObject();
        // Whole numbers within what the risk's own settings accept; a seed
        // beyond 2^53 would not read back as itself.
        const struct {
            const char* key;
            double most;
        } wholes[] = {{"omega", 1e7}, {"runs", 1e6}, {"seed", 9007199254740991.0}};
        for (const QString& key : e.keys())
            if (key != QLatin1String("omega") && key != QLatin1String("runs") &&
                key != QLatin1String("seed"))
                return refuse(QStringLiteral("«extinction.%1»: неизвестный ключ").arg(key));
        double v[3];
        for (int i = 0; i < 3; ++i) {
            const QJsonValue x = e.value(QLatin1String(wholes[i].key));
            v[i] = x.toDouble(-1);
            const double least = i == 2 ? 0 : 1;
            if (!x.isDouble() || v[i] != std::floor(v[i]) || v[i] < least || v[i] > wholes[i].most)
                return refuse(QStringLiteral("«extinction.%1»: нужно целое число от %2 до %3")
                                  .arg(QLatin1String(wholes[i].key))
                                  .arg(least)
                                  .arg(wholes[i].most, 0, 'g', 16));
        }
        c.risk = Risk{int(v[0]), int(v[1]), qint64(v[2])};
    }
    return c;
}

std::optional<ScenarioFile::Contents> ScenarioFile::load(const QString& path, QString* why) {
    QFile file(path);
    if (QFileInfo(path).size() > LargestFile) {
        if (why)
            *why = QStringLiteral("файл больше 1 МиБ");
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (why)
            *why = QStringLiteral("файл не читается (%1)").arg(file.errorString());
        return std::nullopt;
    }
    return read(file.read(LargestFile + 1), why);
}
