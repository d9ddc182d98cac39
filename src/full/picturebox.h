#pragma once

// A picture control: shows an image and catches its own clicks.

#include <QLabel>

class PictureBox : public QLabel {
    Q_OBJECT
public:
    PictureBox(QWidget* parent, const QString& name, const QString& resource, int left, int top,
               int width, int height);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
