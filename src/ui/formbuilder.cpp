#include "ui/formbuilder.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

void FormBuilder::place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(px(left), px(top), px(width), px(height));
}

void FormBuilder::keepMouse(QWidget* w) {
    w->setAttribute(Qt::WA_NoMousePropagation);
}

QLabel* FormBuilder::label(QWidget* parent, const QString& name, const QString& text, int left,
                           int top, int width, int height, Qt::Alignment align, bool transparent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setAlignment(align);
    l->setAutoFillBackground(!transparent);
    l->setContentsMargins(0, 0, 0, 0);
    l->setIndent(0);
    place(l, left, top, width, height);
    keepMouse(l);
    return l;
}

QLineEdit* FormBuilder::textBox(QWidget* parent, const QString& name, const QString& text, int left,
                                int top, int width, int height) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setTextMargins(0, 0, 0, 0);
    place(e, left, top, width, height);
    keepMouse(e);
    return e;
}

QPushButton* FormBuilder::button(QWidget* parent, const QString& name, const QString& text,
                                 int left, int top, int width, int height) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    place(b, left, top, width, height);
    keepMouse(b);
    return b;
}

QCheckBox* FormBuilder::checkBox(QWidget* parent, const QString& name, const QString& text,
                                 int left, int top, int width, int height, bool checked) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    c->setChecked(checked);
    place(c, left, top, width, height);
    keepMouse(c);
    return c;
}

void FormBuilder::setTextColour(QWidget* w, int r, int g, int b) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, QColor(r, g, b));
    pal.setColor(QPalette::Text, QColor(r, g, b));
    w->setPalette(pal);
}

void FormBuilder::setBold(QWidget* w) {
    QFont f = w->font();
    f.setBold(true);
    w->setFont(f);
}
