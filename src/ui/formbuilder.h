#pragma once

#include "plot/graphgeometry.h"

#include <QString>
#include <Qt>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Builds controls at twips positions: 15 twips are one logical pixel. Each
// control carries its name as its objectName, and every control except the
// lines and shapes keeps mouse presses to itself, so only presses on the
// window surface reach the window's own handler.
class FormBuilder {
public:
    static constexpr int TwipsPerPixel = GraphGeometry::TwipsPerPixel;
    static int px(int twips) { return twips / TwipsPerPixel; }

    static void place(QWidget* w, int left, int top, int width, int height);
    static QLabel* label(QWidget* parent, const QString& name, const QString& text, int left,
                         int top, int width, int height,
                         Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop,
                         bool transparent = false);
    static QLineEdit* textBox(QWidget* parent, const QString& name, const QString& text, int left,
                              int top, int width = 495, int height = 285);
    static QPushButton* button(QWidget* parent, const QString& name, const QString& text, int left,
                               int top, int width, int height);
    static QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& text, int left,
                               int top, int width, int height, bool checked);
    static void setTextColour(QWidget* w, int r, int g, int b);
    static void setBold(QWidget* w);
    // Keeps mouse presses from travelling on to the window.
    static void keepMouse(QWidget* w);
};
