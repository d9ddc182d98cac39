#include "export/labfiles.h"

#include "common/runerror.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QSvgGenerator>

namespace {
// The plane above the strip, as the window lays them out.
void paint(QPainter& p, const LabRun& run, const LabPicture::Style& style, const QSize& size) {
    const QRectF all(QPointF(0, 0), QSizeF(size));
    LabPicture::paintPlane(p, all.adjusted(0, 0, 0, -LabPicture::StripHeight), run, style);
    LabPicture::paintStrip(
        p, QRectF(0, all.height() - LabPicture::StripHeight, all.width(), LabPicture::StripHeight),
        run, style);
}
} // namespace

QImage LabFiles::image(const LabRun& run, const LabPicture::Style& style, const QSize& size,
                       qreal scale) {
    QImage out((QSizeF(size) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(scale);
    out.fill(style.background);
    QPainter p(&out);
    paint(p, run, style, size);
    return out;
}

QByteArray LabFiles::png(const LabRun& run, const LabPicture::Style& style, const QSize& size,
                         qreal scale) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "PNG");
    if (!writer.write(image(run, style, size, scale)))
        throw RunError(RunError::OutOfMemory, QStringLiteral("PNG: ") + writer.errorString());
    return bytes;
}

QByteArray LabFiles::svg(const LabRun& run, const LabPicture::Style& style, const QSize& size) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(QImage(1, 1, QImage::Format_ARGB32).logicalDpiX());
    generator.setTitle(QStringLiteral("Morvane: фазовый портрет"));
    QPainter p(&generator);
    paint(p, run, style, size);
    p.end();
    const qsizetype at = bytes.indexOf("<svg");
    if (at >= 0)
        bytes.insert(at + 4, QStringLiteral(" width=\"%1\" height=\"%2\"")
                                 .arg(size.width())
                                 .arg(size.height())
                                 .toLatin1());
    return bytes;
}

QByteArray LabFiles::csv(const LabRun& run, const QStringList& readout, CsvWriter::Style style) {
    const char separator = style == CsvWriter::DecimalComma ? ';' : ',';
    QByteArray out;
    auto quoted = [&](const QString& text) {
        QString t = text;
        t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        out += '"' + t.toUtf8() + '"';
    };
    auto pair = [&](const char* name, double value) {
        out += name;
        out += separator;
        CsvWriter::appendNumber(out, value, style);
        out += '\n';
    };
    out += "величина";
    out += separator;
    out += "значение\n";
    const Scenario& p = run.params;
    out += "метод";
    out += separator;
    quoted(LabPicture::methodName(p.method));
    out += '\n';
    pair("k1", p.k1);
    pair("k2", p.k2);
    pair("a1", p.a1);
    pair("a2", p.a2);
    pair("dt", p.dt);
    pair("t", p.span);
    pair("x0", p.x0);
    pair("y0", p.y0);
    pair("disaster_t", run.strike >= 1 ? run.strike * p.dt : 0.0);
    pair("divisor", p.divisor);
    out += '\n';
    for (const QString& line : readout) {
        quoted(line);
        out += '\n';
    }
    out += '\n';
    out += CsvWriter::series(run.x.data(), run.y.data(), run.x.size(), p.dt, style);
    return out;
}
