#pragma once

// The full window's status bar: a strip along the bottom edge with two
// sunken text panels addressed by index 1 and 2, as in "Статус:" | stage.

#include <QWidget>

class QLabel;

class StatusBar : public QWidget {
    Q_OBJECT
public:
    // Panel widths in twips.
    StatusBar(QWidget* parent, const QString& name, int left, int top, int width, int height,
              int panel1Width, int panel2Width);

    QString panelText(int index) const;
    void setPanelText(int index, const QString& text);

signals:
    void panelTextChanged(int index, const QString& text);

private:
    QLabel* m_panels[2];
};
