#include "full/statusbar.h"

#include "ui/formbuilder.h"

#include <QLabel>

StatusBar::StatusBar(QWidget* parent, const QString& name, int left, int top, int width, int height,
                     int panel1Width, int panel2Width)
    : QWidget(parent) {
    setObjectName(name);
    FormBuilder::place(this, left, top, width, height);
    FormBuilder::keepMouse(this);
    setAutoFillBackground(true);
    const int widths[2] = {panel1Width, panel2Width};
    int x = 0;
    for (int i = 0; i < 2; ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setContentsMargins(2, 0, 2, 0);
        panel->setGeometry(FormBuilder::px(x), 1, FormBuilder::px(widths[i]), this->height() - 2);
        x += widths[i];
        m_panels[i] = panel;
    }
}

QString StatusBar::panelText(int index) const {
    return index >= 1 && index <= 2 ? m_panels[index - 1]->text() : QString();
}

void StatusBar::setPanelText(int index, const QString& text) {
    if (index < 1 || index > 2)
        return;
    m_panels[index - 1]->setText(text);
    emit panelTextChanged(index, text);
}
