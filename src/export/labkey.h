#pragma once

#include "export/labpicture.h"

class QPainter;

// The key of the lab's plane: what each line, dot and square drawn on it
// is, in the corner of the plane that hides least of the run.
class LabKey {
public:
    // notes: the room lines of text take already; the key stays off them.
    static void paint(QPainter& p, const PhaseView& view, const LabRun& run,
                      const LabPicture::Style& s, const QRectF& notes);
};
