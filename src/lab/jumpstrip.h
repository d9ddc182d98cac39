#pragma once

#include "export/labpicture.h"

#include <QWidget>

// The strip of ΔV for a disaster at every step under the plane. A press
// on it puts the disaster at that moment.
class JumpStrip : public QWidget {
    Q_OBJECT
public:
    JumpStrip(const LabRun* run, const LabPicture::Style* style, QWidget* parent);

signals:
    void strikeChosen(double time);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const LabRun* m_run;
    const LabPicture::Style* m_style;
};
