#include "ui/ChannelGrid.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

#include "model/ChannelsContext.h"

namespace {

// Colour of the 2-pixel lines between the cells.
QColor GridLineColour() {
    return QColor(160, 160, 160);
}

} // namespace

ChannelGrid::ChannelGrid(ChannelsContext& channels, CellPainter& painter, QWidget* parent)
    : QAbstractScrollArea(parent), channels_(channels), painter_(painter) {
    QFont gridFont(QStringLiteral("Lucida Console"));
    gridFont.setStyleHint(QFont::Monospace);
    gridFont.setBold(true);
    gridFont.setPointSize(FontPointSize);
    setFont(gridFont);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setTracking(true);
    horizontalScrollBar()->setTracking(true);
    // Every pixel is painted by paintEvent. The viewport stays non-opaque, so that update() on
    // the grid itself (not only on its viewport) repaints the cells.
    viewport()->setAutoFillBackground(false);
    LayoutGrid();
}

void ChannelGrid::LayoutGrid() {
    // Measure with a copy of the painter: the real one keeps whatever cell it holds.
    CellPainter measurer = painter_;
    measurer.font = font();
    int header = 0;
    int data = 0;
    int sum = 0;
    for (int c = 0; c < ColumnCount; ++c) {
        const QSize h = measurer.MeasureCell(true, c);
        const QSize d = measurer.MeasureCell(false, c);
        widths_[c] = std::max(h.width(), d.width());
        header = std::max(header, h.height());
        data = std::max(data, d.height());
        sum += widths_[c];
    }
    headerHeight_ = header;
    dataHeight_ = data;

    // The cells share the visible width with the line right of every column.
    const int available = viewport()->width() - ColumnCount * GridLineWidth;
    if (sum > 0 && sum < available) {
        int used = 0;
        for (int c = 0; c < ColumnCount - 1; ++c) {
            widths_[c] = widths_[c] * available / sum;
            used += widths_[c];
        }
        widths_[ColumnCount - 1] = available - used;
    }
    UpdateScrollBars();
    viewport()->update();
}

void ChannelGrid::setCurrentRow(int row) {
    MoveCurrent(row, Pick::Only);
}

ChannelGrid::Pick ChannelGrid::PickFor(Qt::KeyboardModifiers mods, bool click) {
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    if (shift)
        return ctrl && click ? Pick::AddRange : Pick::Range;
    return ctrl && click ? Pick::Toggle : Pick::Only;
}

void ChannelGrid::MoveCurrent(int row, Pick pick) {
    row = std::clamp(row, 0, RowCount - 1);
    switch (pick) {
    case Pick::Only:
        selected_.fill(false);
        selected_[static_cast<std::size_t>(row)] = row >= 1;
        anchorRow_ = row;
        break;
    case Pick::Toggle:
        if (row >= 1) {
            // The current row counts as selected while nothing else is.
            if (currentRow_ >= 1 && NothingSelected())
                selected_[static_cast<std::size_t>(currentRow_)] = true;
            selected_[static_cast<std::size_t>(row)] = !selected_[static_cast<std::size_t>(row)];
        }
        anchorRow_ = row;
        break;
    case Pick::Range:
    case Pick::AddRange: {
        if (pick == Pick::Range)
            selected_.fill(false);
        const int anchor = std::max(1, anchorRow_);
        for (int r = std::min(anchor, row); r <= std::max(anchor, row); ++r)
            selected_[static_cast<std::size_t>(r)] = r >= 1;
        break;
    }
    }
    const bool moved = row != currentRow_;
    currentRow_ = row;
    EnsureRowVisible(row);
    viewport()->update();
    if (moved)
        emit currentRowChanged(row);
}

bool ChannelGrid::isRowSelected(int row) const {
    if (row < 1 || row >= RowCount)
        return false;
    if (selected_[static_cast<std::size_t>(row)])
        return true;
    // The current row stands for the selection while nothing is selected.
    return row == currentRow_ && NothingSelected();
}

bool ChannelGrid::NothingSelected() const {
    return std::none_of(selected_.begin(), selected_.end(), [](bool on) { return on; });
}

std::vector<int> ChannelGrid::selectedSlots() const {
    std::vector<int> slotList;
    for (int row = 1; row < RowCount; ++row) {
        if (selected_[static_cast<std::size_t>(row)])
            slotList.push_back(row - 1);
    }
    if (slotList.empty() && currentRow_ >= 1)
        slotList.push_back(currentRow_ - 1); // the current row stands for the selection
    return slotList;
}

void ChannelGrid::selectSlots(const std::vector<int>& slotList) {
    if (slotList.empty())
        return;
    MoveCurrent(slotList.front() + 1, Pick::Only);
    for (int slot : slotList) {
        if (slot >= 0 && slot < RowCount - 1)
            selected_[static_cast<std::size_t>(slot + 1)] = true;
    }
    viewport()->update();
}

void ChannelGrid::contextMenuEvent(QContextMenuEvent* event) {
    // The mouse's right button is handled on press (it toggles cells); this is the keyboard's.
    if (event->reason() == QContextMenuEvent::Mouse) {
        event->accept();
        return;
    }
    const QRect cell = cellRect(0, std::max(1, currentRow_));
    emit contextMenuRequested(viewport()->mapToGlobal(cell.center()));
    event->accept();
}

void ChannelGrid::Refresh() {
    viewport()->update();
}

int ChannelGrid::columnWidth(int column) const {
    return column >= 0 && column < ColumnCount ? widths_[column] : 0;
}

int ChannelGrid::rowHeight(int row) const {
    if (row < 0 || row >= RowCount) {
        return 0;
    }
    return row == 0 ? headerHeight_ : dataHeight_;
}

int ChannelGrid::ColumnLeft(int column) const {
    int x = 0;
    for (int c = 0; c < column && c < ColumnCount; ++c) {
        x += widths_[c] + GridLineWidth;
    }
    return x;
}

int ChannelGrid::RowTop(int row) const {
    if (row <= 0) {
        return 0;
    }
    return headerHeight_ + GridLineWidth + (row - 1) * (dataHeight_ + GridLineWidth);
}

int ChannelGrid::ContentWidth() const {
    return ColumnLeft(ColumnCount);
}

int ChannelGrid::ContentHeight() const {
    return RowTop(RowCount);
}

QRect ChannelGrid::cellRect(int column, int row) const {
    if (column < 0 || column >= ColumnCount || row < 0 || row >= RowCount) {
        return QRect();
    }
    const int x = column == 0 ? 0 : ColumnLeft(column) - horizontalScrollBar()->value();
    const int y = row == 0 ? 0 : RowTop(row) - verticalScrollBar()->value();
    return QRect(x, y, widths_[column], rowHeight(row));
}

bool ChannelGrid::cellAt(const QPoint& pos, int* column, int* row) const {
    if (pos.x() < 0 || pos.y() < 0) {
        return false;
    }
    const int fixedWidth = widths_[0] + GridLineWidth;
    const int fixedHeight = headerHeight_ + GridLineWidth;
    // A cell owns the line to its right and below it.
    int c = -1;
    if (pos.x() < fixedWidth) {
        c = 0;
    } else {
        const int x = pos.x() + horizontalScrollBar()->value();
        for (int k = 1; k < ColumnCount; ++k) {
            if (x < ColumnLeft(k + 1)) {
                c = k;
                break;
            }
        }
    }
    int r = -1;
    if (pos.y() < fixedHeight) {
        r = 0;
    } else {
        const int y = pos.y() + verticalScrollBar()->value() - fixedHeight;
        const int k = 1 + y / (dataHeight_ + GridLineWidth);
        if (k < RowCount) {
            r = k;
        }
    }
    if (c < 0 || r < 0) {
        return false;
    }
    *column = c;
    *row = r;
    return true;
}

void ChannelGrid::DrawCell(QPainter& canvas, const QRect& rect, int column, int row,
                           CellDrawState state) {
    if (row < 0 || row >= RowCount || column < 0 || column >= ColumnCount) {
        return;
    }
    painter_.SetChannel(row == 0 ? channels_.channels[0] : channels_.channels[row - 1]);
    painter_.SetCell(&canvas, rect, state);
    painter_.PaintCell(row, column);
}

void ChannelGrid::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    const QRect dirty = event->rect();
    const int vw = viewport()->width();
    const int vh = viewport()->height();
    const int hs = horizontalScrollBar()->value();
    const int vs = verticalScrollBar()->value();
    const int fixedWidth = widths_[0] + GridLineWidth;
    const int fixedHeight = headerHeight_ + GridLineWidth;

    p.fillRect(dirty, palette().base());
    p.fillRect(QRect(0, 0, ContentWidth() - hs, ContentHeight() - vs), GridLineColour());
    painter_.font = font();

    const bool focused = hasFocus();
    auto paint = [&](int column, int row, const QRect& clip) {
        const QRect rect = cellRect(column, row);
        if (!rect.intersects(dirty) || !rect.intersects(clip)) {
            return;
        }
        CellDrawState state;
        state.fixed = row == 0 || column == 0;
        state.selected = !state.fixed && isRowSelected(row);
        state.focused = state.selected && focused && column == 1;
        DrawCell(p, rect, column, row, state);
    };

    const int firstRow = 1 + vs / (dataHeight_ + GridLineWidth);
    const int lastRow =
        std::min(RowCount - 1, 1 + (vs + vh - fixedHeight) / (dataHeight_ + GridLineWidth));

    // Scrolling body first, then the fixed header row and slot column over it.
    const QRect body(fixedWidth, fixedHeight, vw - fixedWidth, vh - fixedHeight);
    p.save();
    p.setClipRect(body);
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = 1; c < ColumnCount; ++c) {
            paint(c, r, body);
        }
    }
    p.restore();

    const QRect headerStrip(fixedWidth, 0, vw - fixedWidth, fixedHeight);
    p.save();
    p.setClipRect(headerStrip);
    for (int c = 1; c < ColumnCount; ++c) {
        paint(c, 0, headerStrip);
    }
    p.restore();

    const QRect slotStrip(0, fixedHeight, fixedWidth, vh - fixedHeight);
    p.save();
    p.setClipRect(slotStrip);
    for (int r = firstRow; r <= lastRow; ++r) {
        paint(0, r, slotStrip);
    }
    p.restore();

    paint(0, 0, QRect(0, 0, fixedWidth, fixedHeight));
}

void ChannelGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    LayoutGrid();
}

void ChannelGrid::UpdateScrollBars() {
    const int vw = viewport()->width();
    const int vh = viewport()->height();
    const int fixedHeight = headerHeight_ + GridLineWidth;
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, ContentWidth() - vw));
    h->setPageStep(std::max(1, vw - widths_[0] - GridLineWidth));
    h->setSingleStep(std::max(1, widths_[1] + GridLineWidth));
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, ContentHeight() - vh));
    v->setPageStep(std::max(1, vh - fixedHeight));
    v->setSingleStep(dataHeight_ + GridLineWidth);
}

void ChannelGrid::EnsureRowVisible(int row) {
    if (row < 1) {
        return;
    }
    QScrollBar* v = verticalScrollBar();
    const int fixedHeight = headerHeight_ + GridLineWidth;
    const int highest = RowTop(row) - fixedHeight;                       // row at the top
    const int lowest = RowTop(row) + dataHeight_ - viewport()->height(); // row at the bottom
    if (v->value() > highest) {
        v->setValue(highest);
    } else if (v->value() < lowest) {
        v->setValue(std::min(lowest, highest));
    }
}

int ChannelGrid::PageRows() const {
    const int visible = viewport()->height() - headerHeight_ - GridLineWidth;
    return std::max(1, visible / (dataHeight_ + GridLineWidth));
}

bool ChannelGrid::ToggleMark(int column, int row) {
    if (row < 1 || row >= RowCount || column < 8 || column >= ColumnCount) {
        return false;
    }
    Channel& ch = channels_.channels[row - 1];
    if (!ch.IsUsed()) {
        return false;
    }
    bool* fields[] = {&ch.active, &ch.scan,  &ch.scrambler, &ch.tx_limit, &ch.tx_busy,
                      &ch.flag0,  &ch.flag1, &ch.flag2,     &ch.flag3,    &ch.flag4,
                      &ch.flag5,  &ch.flag6, &ch.flag7};
    bool& field = *fields[column - 8];
    field = !field;
    viewport()->update();
    emit channelToggled(row - 1, column);
    return true;
}

void ChannelGrid::mousePressEvent(QMouseEvent* event) {
    int column = 0;
    int row = 0;
    if (!cellAt(event->position().toPoint(), &column, &row)) {
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) {
        if (column == 0 && row >= 1) {
            if (!isRowSelected(row))
                MoveCurrent(row, Pick::Only);
            emit contextMenuRequested(viewport()->mapToGlobal(event->position().toPoint()));
        } else {
            ToggleMark(column, row);
        }
    } else if (event->button() == Qt::LeftButton && row >= 1) {
        MoveCurrent(row, PickFor(event->modifiers(), true));
    }
    event->accept();
}

void ChannelGrid::mouseMoveEvent(QMouseEvent* event) {
    int column = 0;
    int row = 0;
    if ((event->buttons() & Qt::LeftButton) && cellAt(event->position().toPoint(), &column, &row) &&
        row >= 1 && row != currentRow_) {
        MoveCurrent(row, Pick::Range); // dragging selects from the row pressed
    }
    event->accept();
}

void ChannelGrid::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void ChannelGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        int column = 0;
        int row = 0;
        if (cellAt(event->position().toPoint(), &column, &row) && row >= 1) {
            setCurrentRow(row);
        }
        emit editChannelRequested();
    }
    event->accept();
}

void ChannelGrid::keyPressEvent(QKeyEvent* event) {
    const int last = RowCount - 1;
    const Pick pick = PickFor(event->modifiers(), false);
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit editChannelRequested();
        break;
    case Qt::Key_Up:
        MoveCurrent(std::max(1, currentRow_ - 1), pick);
        break;
    case Qt::Key_Down:
        MoveCurrent(std::min(last, currentRow_ + 1), pick);
        break;
    case Qt::Key_PageUp:
        MoveCurrent(std::max(1, currentRow_ - PageRows()), pick);
        break;
    case Qt::Key_PageDown:
        MoveCurrent(std::min(last, currentRow_ + PageRows()), pick);
        break;
    case Qt::Key_Home:
        MoveCurrent(1, pick);
        break;
    case Qt::Key_End:
        MoveCurrent(last, pick);
        break;
    case Qt::Key_F10:
        if (event->modifiers() != Qt::ShiftModifier) {
            QAbstractScrollArea::keyPressEvent(event);
            return;
        }
        emit contextMenuRequested(
            viewport()->mapToGlobal(cellRect(0, std::max(1, currentRow_)).center()));
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ChannelGrid::scrollContentsBy(int, int) {
    viewport()->update();
}

void ChannelGrid::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        LayoutGrid();
    }
}
