#pragma once

#include "export/csvwriter.h"
#include "export/labpicture.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>

// What the lab's menu writes: its picture (the plane above the strip, at
// the window's size) as an image, PNG or SVG, and its values as CSV.
class LabFiles {
public:
    static QImage image(const LabRun& run, const LabPicture::Style& style, const QSize& size,
                        qreal scale);
    static QByteArray png(const LabRun& run, const LabPicture::Style& style, const QSize& size,
                          qreal scale);
    static QByteArray svg(const LabRun& run, const LabPicture::Style& style, const QSize& size);

    // The lab's values, then its readout line by line, then the run step
    // by step.
    static QByteArray csv(const LabRun& run, const QStringList& readout, CsvWriter::Style style);
};
