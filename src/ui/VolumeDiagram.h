#pragma once

#include <QColor>
#include <QPoint>
#include <QSize>
#include <QWidget>
#include <functional>

class QPainter;

// What the volume diagram shows: the volume curve, the key-beep range and
// the markers of the current level.
struct VolumeDiagramInput {
    int volume = 0;
    int minVolume = 0;
    int beepMin = 1;
    int beepMax = 1;
    bool keyBeepDrawn = true;
};

// Every line and icon position of the diagram for a box of the given size.
struct VolumeDiagramGeometry {
    int width = 0;  // box width - 8
    int height = 0; // box height - 16
    QPoint curveFrom, curveTo;
    bool beepDrawn = false;
    QPoint beepFrom, beepTo; // the red beep range on the curve
    bool markersDrawn = false;
    // Volume level marker: dashed from volumeBase up to volumeCorner, then across to volumeEnd.
    QPoint volumeBase, volumeCorner, volumeEnd, volumeIcon;
    bool beepMarkerDrawn = false;
    QPoint beepBase, beepCorner, beepEnd, beepIcon;
};

VolumeDiagramGeometry ComputeVolumeDiagram(QSize box, const VolumeDiagramInput& input);
// Draws the diagram on a box of the given size; `face` fills the area around the chart.
void PaintVolumeDiagram(QPainter& painter, QSize box, const VolumeDiagramInput& input,
                        const QColor& face);

// The 256 x 256 paint box that draws the diagram from what `source` returns.
class VolumeDiagram : public QWidget {
    Q_OBJECT
public:
    VolumeDiagram(std::function<VolumeDiagramInput()> source, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<VolumeDiagramInput()> source;
};
