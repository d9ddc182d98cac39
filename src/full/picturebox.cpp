#include "full/picturebox.h"

#include "ui/formbuilder.h"

#include <QMouseEvent>

PictureBox::PictureBox(QWidget* parent, const QString& name, const QString& resource, int left,
                       int top, int width, int height)
    : QLabel(parent) {
    setObjectName(name);
    setPixmap(QPixmap(resource));
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FormBuilder::place(this, left, top, width, height);
    FormBuilder::keepMouse(this);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton)
        emit clicked();
}
