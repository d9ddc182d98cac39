#pragma once

#include "export/csvwriter.h"
#include "export/labpicture.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>
#include <optional>

// What the lab's menu writes: its picture (the plane above the strip, at
// the window's size, under a caption line that says what run it shows) as
// an image, PNG or SVG, and its values as CSV.
class LabFiles {
public:
    static constexpr int CaptionHeight = 22;
    // The coefficients, Δt, t, x0, y0, the method and the disaster.
    static QString caption(const LabRun& run);
    // The same for any run; strike: the step the disaster struck, or below 1.
    static QString caption(const Scenario& p, int strike);
    // A picture's size for the plane and strip of `size`.
    static QSize withCaption(const QSize& size);

    static QImage image(const LabRun& run, const LabPicture::Style& style, const QSize& size,
                        qreal scale);
    static QByteArray png(const LabRun& run, const LabPicture::Style& style, const QSize& size,
                          qreal scale);
    static QByteArray svg(const LabRun& run, const LabPicture::Style& style, const QSize& size);

    // A readout figure as a spreadsheet wants it: its name, its number
    // (none when it has no value) and any words about it.
    struct Row {
        QString label;
        std::optional<double> value;
        QString note;
    };
    // The lab's values, then its readout as name;value;note rows, then the
    // run step by step; every header in Russian.
    static QByteArray csv(const LabRun& run, const QList<Row>& readout, CsvWriter::Style style);
};
