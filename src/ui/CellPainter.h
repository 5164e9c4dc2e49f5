#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>

#include "model/Channel.h"

class QPainter;

// How the channel grid reports a cell it asks to be painted.
struct CellDrawState {
    bool selected = false; // the cell lies in the selected row
    bool focused = false;  // the cell is the grid's focus cell
    bool fixed = false;    // header row or slot column
};

// The four ways a cell arranges its lines.
enum class CellLayout {
    Centred = 1, // every line centred (slot, number, squelch, power, every header)
    Joint = 2,   // one value for both directions: label left, value right
    RxTx = 3,    // receive label and value above, transmit label and value below
    Mark = 4,    // a check mark or a cross
};

// The six pictures of the receive and transmit labels.
enum class CellIcon {
    None = -1,
    Rx = 0,
    RxSelected,
    RxReserve,
    Tx,
    TxSelected,
    TxReserve,
};

// One text line of a cell: what it shows, where, and in which colour. The box is the line's
// natural size (an empty line is 0 x 0); a line that carries a picture has icon != None and is
// drawn as that picture instead of its text.
struct CellLine {
    QString text;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    QColor colour;
    CellIcon icon = CellIcon::None;

    bool IsEmpty() const { return text.isEmpty(); }
    QRect Box() const { return QRect(x, y, width, height); }
};

// Everything one cell paints, computed before any pixel is touched.
struct CellPicture {
    int row = 0;
    int column = 0;
    QRect rect;
    CellLayout layout = CellLayout::Centred;
    QColor background;
    // False for the cells of an empty slot (other than its slot index): background and frame
    // only.
    bool content = true;
    std::array<CellLine, 4> lines;
    bool rxIcon = false; // line 0 is drawn as the receive picture
    bool txIcon = false; // line 2 is drawn as the transmit picture
    bool markValue = false;
    QColor markColour;
};

// Draws the cells of the channel grid: the header lines, the slot index and the channel
// properties of every column, in the grid's colours. One painter lives beside the channel
// table for the program's whole life; the settings pages and the information refresh set its
// common values and the radio's wattages.
class CellPainter {
public:
    static constexpr int ColumnCount = 21;
    static constexpr int MinDataHeight = 44;

    // Wattages of power levels 0..3; replaced by the radio's own after an information read.
    std::array<int32_t, 4> watts{5, 10, 20, 40};
    bool commonPower = false;       // power is common to all channels (TxPowerCommon)
    bool commonSquelch = false;     // squelch is common to all channels (SqlCommon)
    int32_t commonPowerLevel = 3;   // upper power level shown while power is common
    int32_t commonSquelchLevel = 1; // squelch level shown while squelch is common

    // Font of every text in the grid; the grid sets its own font here.
    QFont font;

    // Loads the six label pictures.
    CellPainter();

    // The channel the next cell shows (channel 0 for the header row). Held by reference: it
    // must outlive the PaintCell/ComposeCell calls that use it.
    void SetChannel(const Channel& channel) { channel_ = &channel; }

    // Canvas, rectangle and state of the next cell. The canvas may be null when only
    // ComposeCell is wanted.
    void SetCell(QPainter* canvas, const QRect& rect, CellDrawState state);

    // Fills the lines of cell (row, column) for the rectangle and state of SetCell, lays them
    // out and paints them on the canvas. Rows outside 0..200 and columns outside 0..20 paint
    // nothing.
    void PaintCell(int row, int column);

    // What PaintCell would draw for (row, column), without drawing it. The result is also
    // kept as LastCell().
    const CellPicture& ComposeCell(int row, int column);

    // The cell most recently composed or painted.
    const CellPicture& LastCell() const { return cell_; }

    // Natural size of a header cell or a data cell of the column in the painter's font; a
    // data cell is at least MinDataHeight high.
    QSize MeasureCell(bool header, int column) const;

    // Decimal text grouped by threes with blanks: "146500000" -> "146 500 000". A leading
    // sign stays in front of the digits.
    static QString GroupDigits(const QString& digits);

    // Header lines of a column, top to bottom (unused lines are empty).
    static std::array<QString, 4> HeaderLines(int column);

    // Resource name of a label picture ("ico_Rx_text", ...).
    static QString IconName(CellIcon icon);

    // The loaded label picture (a null image when the resource is missing).
    const QImage& Icon(CellIcon icon) const;

    // The grid's colours.
    static QColor FixedBackground() { return QColor(208, 208, 208); }
    static QColor SelectedBackground() { return QColor(30, 144, 255); }
    static QColor OddRowBackground() { return QColor(240, 240, 240); }
    static QColor EvenRowBackground() { return QColor(224, 224, 224); }
    static QColor FrameColour() { return QColor(255, 255, 255); }
    static QColor RxText(bool selected) {
        return selected ? QColor(128, 255, 128) : QColor(0, 168, 0);
    }
    static QColor TxText(bool selected) {
        return selected ? QColor(255, 128, 128) : QColor(168, 0, 0);
    }
    static QColor PlainText(bool selected) {
        return selected ? QColor(255, 255, 255) : QColor(0, 0, 0);
    }
    static QColor InactiveText() { return QColor(128, 128, 128); }
    static QColor CheckMark(bool selected) {
        return selected ? QColor(0, 255, 0) : QColor(0, 208, 0);
    }
    static QColor CrossMark(bool selected) {
        return selected ? QColor(255, 0, 0) : QColor(208, 0, 0);
    }

private:
    void FillHeader(int column);
    void FillContent(int row, int column);
    void FillRxTx(int column);
    void FillJoint(int column);
    void MeasureLines();
    void LayOutCentred();
    void LayOutJoint();
    void LayOutRxTx();
    void ChooseColours();
    void Draw() const;
    void DrawMark() const;

    const Channel* channel_ = nullptr;
    QPainter* canvas_ = nullptr;
    QRect rect_;
    CellDrawState state_;
    CellPicture cell_;
    std::array<QImage, 6> icons_;
};
