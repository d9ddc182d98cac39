#include "export/labfiles.h"

#include "common/numbertext.h"
#include "common/runerror.h"
#include "export/graphpicture.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <cmath>

namespace {
QString number(double v) {
    return NumberText::fromDouble(v + 0.0);
}

// The caption over the plane, and the plane above the strip as the window
// lays them out: `size` is the window's plane and strip, the caption added.
void paint(QPainter& p, const LabRun& run, const LabPicture::Style& style, const QSize& size) {
    const QRectF band(0, 0, size.width(), LabFiles::CaptionHeight);
    p.fillRect(band, style.background);
    p.setFont(style.font);
    p.setPen(style.foreground);
    p.drawText(band.adjusted(6, 0, -6, 0), Qt::AlignLeft | Qt::AlignVCenter,
               LabFiles::caption(run));
    const QRectF all(QPointF(0, LabFiles::CaptionHeight), QSizeF(size));
    LabPicture::paintPlane(p, all.adjusted(0, 0, 0, -LabPicture::StripHeight), run, style);
    LabPicture::paintStrip(
        p, QRectF(0, all.bottom() - LabPicture::StripHeight, all.width(), LabPicture::StripHeight),
        run, style);
}
} // namespace

QString LabFiles::caption(const LabRun& run) {
    return caption(run.params, run.strike);
}

QString LabFiles::caption(const Scenario& p, int strike) {
    QString text =
        QStringLiteral("k1 = %1; k2 = %2; α1 = %3; α2 = %4; Δt = %5; t = %6; x0 = %7; "
                       "y0 = %8; %9; ")
            .arg(number(p.k1), number(p.k2), number(p.a1), number(p.a2), number(p.dt),
                 number(p.span), number(p.x0), number(p.y0), LabPicture::methodName(p.method));
    if (strike >= 1)
        text += QStringLiteral("катастрофа при t = %1, делитель %2")
                    .arg(NumberText::fromDouble(QString::number(strike * p.dt, 'g', 12).toDouble()))
                    .arg(p.divisor);
    else
        text += QStringLiteral("без катастрофы");
    return text;
}

QSize LabFiles::withCaption(const QSize& size) {
    return size + QSize(0, CaptionHeight);
}

QImage LabFiles::image(const LabRun& run, const LabPicture::Style& style, const QSize& size,
                       qreal scale) {
    QImage out((QSizeF(withCaption(size)) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
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
    return GraphPicture::svgOf(withCaption(size), QStringLiteral("Morvane: фазовый портрет"),
                               [&](QPainter& p) { paint(p, run, style, size); });
}

QByteArray LabFiles::csv(const LabRun& run, const QList<Row>& readout, CsvWriter::Style style) {
    const char separator = style == CsvWriter::DecimalComma ? ';' : ',';
    QByteArray out = CsvWriter::start(style);
    auto quoted = [&](const QString& text) {
        QString t = text;
        t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        out += '"' + t.toUtf8() + '"';
    };
    // A parameter as typed; a computed figure to every digit.
    auto pair = [&](const char* name, double value, int digits = 0) {
        out += name;
        out += separator;
        CsvWriter::appendNumber(out, value, style, digits);
        out += '\n';
    };
    out += "величина";
    out += separator;
    out += "значение";
    out += separator;
    out += "примечание\n";
    const Scenario& p = run.params;
    out += "метод";
    out += separator;
    quoted(LabPicture::methodName(p.method));
    out += '\n';
    pair("k1", p.k1);
    pair("k2", p.k2);
    pair("α1", p.a1);
    pair("α2", p.a2);
    pair("Δt", p.dt);
    pair("t", p.span);
    pair("x0", p.x0);
    pair("y0", p.y0);
    pair("момент катастрофы", run.strike >= 1 ? run.strike * p.dt : 0.0, 12);
    pair("делитель", p.divisor);
    for (const Row& row : readout) {
        quoted(row.label);
        out += separator;
        if (row.value && std::isfinite(*row.value))
            CsvWriter::appendNumber(out, *row.value, style);
        if (!row.note.isEmpty()) {
            out += separator;
            quoted(row.note);
        }
        out += '\n';
    }
    out += '\n';
    out += CsvWriter::series(run.x.data(), run.y.data(), run.x.size(), p.dt, style, "шаг,t,x,y")
               .mid(CsvWriter::start(style).size());
    return out;
}
