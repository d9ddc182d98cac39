#pragma once

#include <QScrollArea>
#include <QStringList>

class QGridLayout;
class QLabel;

// The lab's readout: a label per line, named Readout1, Readout2, ... so a
// screen reader reads each as it stands. The lines every run has fill the
// first column; those of a fall or a disaster go beside them, and without
// them the first column takes the whole width. Long reasons wrap, and when
// the lines need more than the panel's fixed height it scrolls, so that
// every word stays readable.
class ReadoutPanel : public QScrollArea {
    Q_OBJECT
public:
    explicit ReadoutPanel(QWidget* parent);
    // `shown` on the labels; `full`, line for line, in their tooltips and
    // in what their menu copies; `tips` adds a word to the lines it names
    // by their start.
    void setLines(const QStringList& shown, const QStringList& full,
                  const QList<QPair<QString, QString>>& tips = {});

private:
    static constexpr int Lines = 16;
    static constexpr int FirstColumn = 9;
    QGridLayout* m_grid = nullptr;
    QList<QLabel*> m_lines;
    QStringList m_full;
    bool m_twoColumns = true;
};
