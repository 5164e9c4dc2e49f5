#include "ui/ChannelGrid.h"

#include <QPainter>

#include "model/ChannelsContext.h"

ChannelGrid::ChannelGrid(ChannelsContext& channels, CellPainter& painter, QWidget* parent)
    : QAbstractScrollArea(parent), channels_(channels), painter_(painter) {}

void ChannelGrid::LayoutGrid() {}
void ChannelGrid::setCurrentRow(int row) {
    currentRow_ = row;
}
void ChannelGrid::Refresh() {
    viewport()->update();
}
int ChannelGrid::columnWidth(int column) const {
    return widths_[column];
}
int ChannelGrid::rowHeight(int row) const {
    return row == 0 ? headerHeight_ : dataHeight_;
}
QRect ChannelGrid::cellRect(int, int) const {
    return QRect();
}
bool ChannelGrid::cellAt(const QPoint&, int*, int*) const {
    return false;
}
void ChannelGrid::DrawCell(QPainter&, const QRect&, int, int, CellDrawState) {}
void ChannelGrid::paintEvent(QPaintEvent*) {}
void ChannelGrid::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
}
void ChannelGrid::mousePressEvent(QMouseEvent*) {}
void ChannelGrid::mouseMoveEvent(QMouseEvent*) {}
void ChannelGrid::mouseDoubleClickEvent(QMouseEvent*) {}
void ChannelGrid::keyPressEvent(QKeyEvent*) {}
void ChannelGrid::scrollContentsBy(int, int) {}
bool ChannelGrid::viewportEvent(QEvent* e) {
    return QAbstractScrollArea::viewportEvent(e);
}
int ChannelGrid::ColumnLeft(int) const {
    return 0;
}
int ChannelGrid::RowTop(int) const {
    return 0;
}
int ChannelGrid::ContentWidth() const {
    return 0;
}
int ChannelGrid::ContentHeight() const {
    return 0;
}
void ChannelGrid::UpdateScrollBars() {}
void ChannelGrid::EnsureRowVisible(int) {}
int ChannelGrid::PageRows() const {
    return 1;
}
bool ChannelGrid::ToggleMark(int, int) {
    return false;
}
