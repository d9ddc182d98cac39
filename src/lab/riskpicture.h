#pragma once

// The picture of the lab's extinction risk: above, x(t) and y(t) of the
// individual runs (median and the 10–90 % band, counts / Ω) over the
// deterministic curves of the windows' equations; below, on the same time
// axis, the share that died out with the disaster moved to each moment.
// Saved, copied and written as CSV from its menu, as the lab's plane is.

#include "export/csvwriter.h"
#include "extinction/ensemble.h"
#include "model/scenario.h"

#include <QWidget>
#include <optional>

class RiskPicture : public QWidget {
    Q_OBJECT
public:
    explicit RiskPicture(QWidget* parent);

    // None: the picture says there is nothing to draw yet.
    void show(const std::optional<Extinction::Result>& result, const Scenario& scenario);
    void paint(QPainter& p, const QRect& area) const;
    QImage image(qreal scale) const;
    QByteArray png() const;
    QByteArray svg() const;
    QByteArray csv(CsvWriter::Style style) const;

signals:
    void done(const QString& what);

protected:
    void paintEvent(QPaintEvent*) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    std::optional<Extinction::Result> m_result;
    // The deterministic curves at the ensemble's grid times.
    std::vector<double> m_x, m_y;
    std::optional<double> m_strike;
};
