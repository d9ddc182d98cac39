#pragma once

class PhaseFrm;
class QPoint;

// The lab's menu (a right click on the plane, the Menu key, Shift+F10): the
// graph menu's three items for the lab's picture and values, then its
// scenario file's two.
class LabMenu {
public:
    static void open(PhaseFrm* lab, const QPoint& globalPosition);
    static void savePicture(PhaseFrm* lab);
    static void copyPicture(PhaseFrm* lab);
    static void saveValues(PhaseFrm* lab);
};
