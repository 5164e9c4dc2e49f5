#include "ui/VolumeDiagram.h"

#include <QPainter>
#include <QPixmap>

namespace {

// Marker pictures drawn at the right edge of the chart.
const QPixmap& VolumeMarker() {
    static const QPixmap pixmap(QStringLiteral(":/icons/marker_volume.png"));
    return pixmap;
}

const QPixmap& BeepMarker() {
    static const QPixmap pixmap(QStringLiteral(":/icons/marker_beep.png"));
    return pixmap;
}

} // namespace

// All divisions truncate toward zero, as the chart's integer geometry wants.
VolumeDiagramGeometry ComputeVolumeDiagram(QSize box, const VolumeDiagramInput& input) {
    VolumeDiagramGeometry g;
    const int W = box.width() - 8;
    const int H = box.height() - 16;
    g.width = W;
    g.height = H;

    const int y0 = H - input.minVolume * H / 18 - 8;
    g.curveFrom = QPoint(0, y0);
    g.curveTo = QPoint(W - 8, 8);

    const int b = input.beepMin - 1;
    const int c = input.beepMax - 1;
    const int x1 = (W - 8) * b / 15;
    const int y1 = b * (8 - y0) / 15 + y0;
    const int x2 = (W - 8) * c / 15;
    const int y2 = c * (8 - y0) / 15 + y0;
    g.beepDrawn = input.keyBeepDrawn;
    g.beepFrom = QPoint(x1, y1);
    g.beepTo = QPoint(x2, y2);

    if (input.volume != 0) {
        const int v = input.volume - 1;
        const int xv = v * (W - 8) / 15;
        const int yv = y0 + v * (8 - y0) / 15;
        g.markersDrawn = true;
        g.volumeBase = QPoint(xv, H - 8);
        g.volumeCorner = QPoint(xv, yv);
        g.volumeEnd = QPoint(W - 8, yv);
        g.volumeIcon = QPoint(W - 8, yv - 8);
        if (g.beepDrawn) {
            const int xb = x1 + v * (x2 - x1) / 15;
            const int yb = y1 + v * (y2 - y1) / 15;
            g.beepMarkerDrawn = true;
            g.beepBase = QPoint(xv + 1, H - 8);
            g.beepCorner = QPoint(xb + 1, yb + 1);
            g.beepEnd = QPoint(W - 8, yb + 1);
            g.beepIcon = QPoint(W - 8, yb - 8);
        }
    }
    return g;
}

void PaintVolumeDiagram(QPainter& painter, QSize box, const VolumeDiagramInput& input,
                        const QColor& face) {
    const VolumeDiagramGeometry g = ComputeVolumeDiagram(box, input);
    const QColor green(0, 128, 0);
    const QColor red(255, 0, 0);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);

    painter.fillRect(QRect(QPoint(0, 0), box), face);
    painter.fillRect(QRect(QPoint(0, 8), QPoint(g.width - 9, g.height - 9)), Qt::white);

    painter.setPen(QPen(green, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(g.curveFrom, g.curveTo);

    if (g.beepDrawn) {
        painter.setPen(QPen(red, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(g.beepFrom, g.beepTo);
    }

    if (g.markersDrawn) {
        painter.setPen(QPen(green, 1, Qt::DashLine));
        const QPoint volumeLine[] = {g.volumeBase, g.volumeCorner, g.volumeEnd};
        painter.drawPolyline(volumeLine, 3);
        painter.drawPixmap(g.volumeIcon, VolumeMarker());
    }
    if (g.beepMarkerDrawn) {
        painter.setPen(QPen(red, 1, Qt::DashLine));
        const QPoint beepLine[] = {g.beepBase, g.beepCorner, g.beepEnd};
        painter.drawPolyline(beepLine, 3);
        painter.drawPixmap(g.beepIcon, BeepMarker());
    }

    if (g.beepDrawn) {
        painter.setPen(QPen(red, 1, Qt::DotLine));
        painter.drawLine(QPoint(g.beepFrom.x(), 8), g.beepFrom);
        painter.drawLine(QPoint(g.beepTo.x(), 8), g.beepTo);
    }
    painter.restore();
}

VolumeDiagram::VolumeDiagram(std::function<VolumeDiagramInput()> source_, QWidget* parent)
    : QWidget(parent), source(std::move(source_)) {
    setFixedSize(256, 256);
}

void VolumeDiagram::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintVolumeDiagram(p, size(), source ? source() : VolumeDiagramInput{},
                       palette().color(QPalette::Button));
}
