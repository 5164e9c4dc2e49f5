#include "ui/CellPainter.h"

#include <QPainter>

CellPainter::CellPainter() {}

void CellPainter::SetCell(QPainter* canvas, const QRect& rect, CellDrawState state) {
    canvas_ = canvas;
    rect_ = rect;
    state_ = state;
}

void CellPainter::PaintCell(int row, int column) {
    ComposeCell(row, column);
}

const CellPicture& CellPainter::ComposeCell(int row, int column) {
    cell_ = CellPicture{};
    cell_.row = row;
    cell_.column = column;
    cell_.rect = rect_;
    return cell_;
}

QSize CellPainter::MeasureCell(bool, int) const {
    return QSize(44, 44);
}

QString CellPainter::GroupDigits(const QString& digits) {
    return digits;
}

std::array<QString, 4> CellPainter::HeaderLines(int) {
    return {};
}

QString CellPainter::IconName(CellIcon) {
    return QString();
}

const QImage& CellPainter::Icon(CellIcon) const {
    return icons_[0];
}
