#include "ui/VolumeDiagram.h"

#include <QPainter>

VolumeDiagramGeometry ComputeVolumeDiagram(QSize box, const VolumeDiagramInput& input) {
    VolumeDiagramGeometry g;
    g.width = box.width() - 8;
    g.height = box.height() - 16;
    (void)input;
    return g;
}

void PaintVolumeDiagram(QPainter& painter, QSize box, const VolumeDiagramInput& input) {
    (void)painter;
    (void)box;
    (void)input;
}

VolumeDiagram::VolumeDiagram(std::function<VolumeDiagramInput()> source_, QWidget* parent)
    : QWidget(parent), source(std::move(source_)) {
    setFixedSize(256, 256);
}

void VolumeDiagram::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintVolumeDiagram(p, size(), source ? source() : VolumeDiagramInput{});
}
