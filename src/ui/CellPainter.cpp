#include "ui/CellPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPoint>

#include <algorithm>

namespace {

constexpr int kPadding = 4;     // distance of left and right aligned lines from the cell edge
constexpr int kIconWidth = 24;  // a label drawn as a picture counts as this wide...
constexpr int kIconHeight = 18; // ...and this high

const Channel& EmptyChannel() {
    static const Channel empty;
    return empty;
}

bool ToneShown(int32_t tone) {
    return tone >= 400 && tone <= 3000;
}

// Label and value of a subtone code; both empty for no subtone (0, negative, above 134).
bool SubtoneTexts(int32_t subtone, QString* label, QString* value) {
    if (subtone >= 1 && subtone <= 50) {
        *label = QStringLiteral("CTCSS:");
        *value = QString::fromLatin1(CTCSS_TONES[subtone]);
        return true;
    }
    if (subtone >= 51 && subtone <= 134) {
        *label = QStringLiteral("DCS:");
        *value = QString::fromLatin1(DCS_CODES[subtone - 50]);
        return true;
    }
    return false;
}

QString BandText(bool wide) {
    return wide ? QStringLiteral("25,0") : QStringLiteral("12,5");
}

QString FrequencyText(int32_t hz) {
    return CellPainter::GroupDigits(QString::number(hz));
}

} // namespace

CellPainter::CellPainter() {
    for (int i = 0; i < static_cast<int>(icons_.size()); ++i) {
        icons_[i] =
            QImage(QStringLiteral(":/icons/%1.png").arg(IconName(static_cast<CellIcon>(i))));
    }
}

void CellPainter::SetCell(QPainter* canvas, const QRect& rect, CellDrawState state) {
    canvas_ = canvas;
    rect_ = rect;
    state_ = state;
}

void CellPainter::PaintCell(int row, int column) {
    if (row < 0 || row > 200 || column < 0 || column >= ColumnCount) {
        return;
    }
    ComposeCell(row, column);
    Draw();
}

const CellPicture& CellPainter::ComposeCell(int row, int column) {
    cell_ = CellPicture{};
    cell_.row = row;
    cell_.column = column;
    cell_.rect = rect_;
    if (row < 0 || row > 200 || column < 0 || column >= ColumnCount) {
        cell_.content = false;
        return cell_;
    }
    const Channel& channel = channel_ ? *channel_ : EmptyChannel();
    if (row == 0) {
        FillHeader(column);
    } else {
        FillContent(row, column);
    }
    cell_.content = row == 0 || column == 0 || channel.IsUsed();
    MeasureLines();
    switch (cell_.layout) {
    case CellLayout::Centred:
        LayOutCentred();
        break;
    case CellLayout::Joint:
        LayOutJoint();
        break;
    case CellLayout::RxTx:
        LayOutRxTx();
        break;
    case CellLayout::Mark:
        break;
    }
    ChooseColours();
    return cell_;
}

void CellPainter::FillHeader(int column) {
    cell_.layout = CellLayout::Centred;
    const auto header = HeaderLines(column);
    for (int i = 0; i < 4; ++i) {
        cell_.lines[i].text = header[i];
    }
}

void CellPainter::FillContent(int row, int column) {
    const Channel& ch = channel_ ? *channel_ : EmptyChannel();
    auto& lines = cell_.lines;
    switch (column) {
    case 0:
        cell_.layout = CellLayout::Centred;
        lines[0].text = QString::asprintf("%02d", row - 1);
        return;
    case 1:
        cell_.layout = CellLayout::Centred;
        lines[0].text = QString::asprintf("%02d", ch.number % 100);
        return;
    case 2:
    case 3:
    case 4:
    case 5: {
        bool joint = false;
        if (column == 3) {
            joint = ch.freq_rx == ch.freq_tx;
        } else if (ch.HasRxAndTx()) {
            joint = (column == 2 && ch.band_rx == ch.band_tx) ||
                    (column == 4 && ch.subtone_rx == ch.subtone_tx) ||
                    (column == 5 && ch.tone_rx == ch.tone_tx);
        }
        if (joint) {
            FillJoint(column);
        } else {
            FillRxTx(column);
        }
        return;
    }
    case 6:
        cell_.layout = CellLayout::Centred;
        lines[0].text =
            QString::asprintf("L%d", commonSquelch ? int(commonSquelchLevel) : int(ch.squelch));
        return;
    case 7: {
        cell_.layout = CellLayout::Centred;
        const int low = commonPower ? 0 : ch.tx_power_low;
        const int high = commonPower ? commonPowerLevel : ch.tx_power_high;
        QString text;
        if (low >= 0 && low <= 3) {
            text = QString::asprintf("%d", int(watts[low]));
        }
        if (high != low && high >= 0 && high <= 3) {
            text += QString::asprintf("/%d", int(watts[high]));
        }
        lines[0].text = text;
        return;
    }
    default:
        break;
    }
    cell_.layout = CellLayout::Mark;
    const bool marks[] = {ch.active, ch.scan,  ch.scrambler, ch.tx_limit, ch.tx_busy,
                          ch.flag0,  ch.flag1, ch.flag2,     ch.flag3,    ch.flag4,
                          ch.flag5,  ch.flag6, ch.flag7};
    cell_.markValue = marks[column - 8];
}

void CellPainter::FillJoint(int column) {
    const Channel& ch = channel_ ? *channel_ : EmptyChannel();
    auto& lines = cell_.lines;
    cell_.layout = CellLayout::Joint;
    switch (column) {
    case 2:
        lines[1].text = BandText(ch.band_rx);
        break;
    case 3:
        if (ch.freq_rx >= 1) {
            lines[1].text = FrequencyText(ch.freq_rx);
        }
        break;
    case 4:
        SubtoneTexts(ch.subtone_rx, &lines[0].text, &lines[1].text);
        break;
    case 5:
        if (ToneShown(ch.tone_rx)) {
            lines[1].text = QString::number(ch.tone_rx);
        }
        break;
    default:
        break;
    }
}

void CellPainter::FillRxTx(int column) {
    const Channel& ch = channel_ ? *channel_ : EmptyChannel();
    auto& lines = cell_.lines;
    cell_.layout = CellLayout::RxTx;
    // One half: label line `label`, value line `label + 1`.
    auto half = [&](int label, bool present, bool wide, int32_t freq, int32_t tone, int32_t subtone,
                    const QString& name, bool* icon) {
        if (!present) {
            return;
        }
        QString value;
        switch (column) {
        case 2:
            value = BandText(wide);
            break;
        case 3:
            value = FrequencyText(freq);
            break;
        case 4: {
            QString text;
            if (SubtoneTexts(subtone, &text, &value)) {
                lines[label].text = text;
                lines[label + 1].text = value;
            }
            return;
        }
        case 5:
            if (!ToneShown(tone)) {
                return;
            }
            value = QString::number(tone);
            break;
        default:
            return;
        }
        lines[label].text = name;
        lines[label + 1].text = value;
        *icon = true;
    };
    half(0, ch.HasRx(), ch.band_rx, ch.freq_rx, ch.tone_rx, ch.subtone_rx, QStringLiteral("Rx:"),
         &cell_.rxIcon);
    half(2, ch.HasTx(), ch.band_tx, ch.freq_tx, ch.tone_tx, ch.subtone_tx, QStringLiteral("Tx:"),
         &cell_.txIcon);
}

void CellPainter::MeasureLines() {
    const QFontMetrics fm(font);
    for (int i = 0; i < 4; ++i) {
        CellLine& line = cell_.lines[i];
        if (line.IsEmpty()) {
            line.width = line.height = 0;
        } else if ((i == 0 && cell_.rxIcon) || (i == 2 && cell_.txIcon)) {
            line.width = kIconWidth;
            line.height = kIconHeight;
        } else {
            line.width = fm.horizontalAdvance(line.text);
            line.height = fm.height();
        }
    }
}

void CellPainter::LayOutCentred() {
    const int w = rect_.width();
    const int h = rect_.height();
    int n = 0;
    for (const CellLine& line : cell_.lines) {
        n += line.height != 0 ? 1 : 0;
    }
    if (n == 0) {
        n = 4;
    }
    for (int i = 0; i < 4; ++i) {
        CellLine& line = cell_.lines[i];
        line.x = rect_.left() + (w - line.width) / 2;
        line.y = rect_.top() + h * (i + 1) / (n + 1) - line.height / 2;
    }
}

void CellPainter::LayOutJoint() {
    const int h = rect_.height();
    const int right = rect_.left() + rect_.width();
    CellLine& label = cell_.lines[0];
    CellLine& value = cell_.lines[1];
    label.x = rect_.left() + kPadding;
    label.y = rect_.top() + std::max((h - label.height) / 2, kPadding);
    value.x = right - kPadding - value.width;
    value.y = rect_.top() + std::max((h - value.height) / 2, kPadding);
}

void CellPainter::LayOutRxTx() {
    const int h = rect_.height();
    const int right = rect_.left() + rect_.width();
    const int bottom = rect_.top() + h;
    int tallest = 0;
    for (const CellLine& line : cell_.lines) {
        tallest = std::max(tallest, line.height);
    }
    // An empty line takes the height of the tallest one, so that a lone half keeps its place.
    auto height = [&](int i) { return cell_.lines[i].IsEmpty() ? tallest : cell_.lines[i].height; };
    const int gapLabels = std::max((h - height(0) - height(2)) / 3, kPadding);
    const int gapValues = std::max((h - height(1) - height(3)) / 3, kPadding);
    auto& lines = cell_.lines;
    lines[0].x = rect_.left() + kPadding;
    lines[0].y = rect_.top() + gapLabels;
    lines[2].x = rect_.left() + kPadding;
    lines[2].y = bottom - gapLabels - height(2);
    lines[1].x = right - kPadding - lines[1].width;
    lines[1].y = rect_.top() + gapValues;
    lines[3].x = right - kPadding - lines[3].width;
    lines[3].y = bottom - gapValues - height(3);
}

void CellPainter::ChooseColours() {
    const Channel& ch = channel_ ? *channel_ : EmptyChannel();
    const bool selected = state_.selected && !state_.fixed;
    const bool inactive = cell_.row >= 1 && !ch.IsActive();
    const int row = cell_.row;

    if (state_.fixed) {
        cell_.background = FixedBackground();
    } else if (selected) {
        cell_.background = SelectedBackground();
    } else {
        cell_.background = row % 2 == 1 ? OddRowBackground() : EvenRowBackground();
    }

    for (int i = 0; i < 4; ++i) {
        CellLine& line = cell_.lines[i];
        if (state_.fixed) {
            line.colour = PlainText(false);
        } else if (cell_.layout == CellLayout::RxTx) {
            line.colour = inactive ? InactiveText() : i < 2 ? RxText(selected) : TxText(selected);
        } else {
            const bool grey = inactive && cell_.column != 0 && row != 0;
            line.colour = grey ? InactiveText() : PlainText(selected);
        }
        line.icon = CellIcon::None;
    }
    if (cell_.layout == CellLayout::Mark) {
        cell_.markColour = inactive          ? InactiveText()
                           : cell_.markValue ? CheckMark(selected)
                                             : CrossMark(selected);
    }
    auto pick = [&](CellIcon normal, CellIcon sel, CellIcon reserve) {
        return inactive ? reserve : selected ? sel : normal;
    };
    if (cell_.rxIcon) {
        cell_.lines[0].icon = pick(CellIcon::Rx, CellIcon::RxSelected, CellIcon::RxReserve);
    }
    if (cell_.txIcon) {
        cell_.lines[2].icon = pick(CellIcon::Tx, CellIcon::TxSelected, CellIcon::TxReserve);
    }
}

void CellPainter::Draw() const {
    if (!canvas_) {
        return;
    }
    QPainter& p = *canvas_;
    p.save();
    p.setClipRect(rect_, Qt::IntersectClip);
    p.fillRect(rect_, cell_.background);
    if (cell_.content) {
        if (cell_.layout == CellLayout::Mark) {
            DrawMark();
        } else {
            p.setFont(font);
            for (const CellLine& line : cell_.lines) {
                if (line.IsEmpty()) {
                    continue;
                }
                const QRect box = line.Box();
                if (line.icon != CellIcon::None) {
                    const QImage& icon = Icon(line.icon);
                    if (!icon.isNull()) {
                        // The pictogram sits in the middle of its picture: centre it on the box.
                        p.save();
                        p.setClipRect(box, Qt::IntersectClip);
                        p.drawImage(box.topLeft() + QPoint((box.width() - icon.width()) / 2,
                                                           (box.height() - icon.height()) / 2),
                                    icon);
                        p.restore();
                        continue;
                    }
                }
                p.setPen(line.colour);
                p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line.text);
            }
        }
    }
    p.setPen(QPen(FrameColour(), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect_.adjusted(0, 0, -1, -1));
    p.restore();
}

void CellPainter::DrawMark() const {
    QPainter& p = *canvas_;
    const int cx = rect_.left() + rect_.width() / 2;
    const int cy = rect_.top() + rect_.height() / 2;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int pass = 0; pass < 2; ++pass) {
        QPen pen(pass == 0 ? QColor(Qt::black) : cell_.markColour, pass == 0 ? 5 : 2);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        p.setPen(pen);
        if (cell_.markValue) {
            const QPoint check[] = {{cx - 6, cy}, {cx - 2, cy + 4}, {cx + 6, cy - 4}};
            p.drawPolyline(check, 3);
        } else {
            p.drawLine(cx - 4, cy - 4, cx + 4, cy + 4);
            p.drawLine(cx - 4, cy + 4, cx + 4, cy - 4);
        }
    }
    p.restore();
}

QSize CellPainter::MeasureCell(bool header, int column) const {
    if (column < 0 || column >= ColumnCount) {
        return QSize(0, 0);
    }
    const QFontMetrics fm(font);
    if (header) {
        int width = 0;
        int height = 0;
        for (const QString& line : HeaderLines(column)) {
            if (line.isEmpty()) {
                continue;
            }
            width = std::max(width, fm.horizontalAdvance(line));
            height += fm.height() + 2;
        }
        return QSize(width + 8, height + 8);
    }
    const int th = fm.height();
    auto w = [&](const char* text) { return fm.horizontalAdvance(QString::fromUtf8(text)); };
    int width = 0;
    int height = 0;
    switch (column) {
    case 0:
    case 1:
        width = w("00") + 8;
        height = th + 8;
        break;
    case 2:
        width = std::max(w("Tx: 25,0"), w("Rx: 12,5")) + 8;
        height = th + 8;
        break;
    case 3:
        width = w("Rx: 000 000 000") + 8;
        height = 2 * th + 8;
        break;
    case 4:
        width = w("CTCSS: 000,0*") + 8;
        height = 2 * th + 8;
        break;
    case 5:
        width = w("Rx: 0000") + 8;
        height = 2 * th + 8;
        break;
    case 6:
        width = w("L8") + 8;
        height = th + 8;
        break;
    case 7:
        width = w("20/40") + 8;
        height = th + 8;
        break;
    default:
        width = std::max(w("Ф0") + 8, 44);
        height = th + 8;
        break;
    }
    return QSize(width, std::max(height, MinDataHeight));
}

QString CellPainter::GroupDigits(const QString& digits) {
    int start = 0;
    if (!digits.isEmpty() && (digits[0] == QLatin1Char('-') || digits[0] == QLatin1Char('+'))) {
        start = 1;
    }
    QString out = digits.left(start);
    const int count = digits.size() - start;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0) {
            out += QLatin1Char(' ');
        }
        out += digits[start + i];
    }
    return out;
}

std::array<QString, 4> CellPainter::HeaderLines(int column) {
    switch (column) {
    case 0:
        return {QStringLiteral("Ячейка"), {}, {}, {}};
    case 1:
        return {QStringLiteral("Номер"), QStringLiteral("канала"), {}, {}};
    case 2:
        return {QStringLiteral("Полоса"), QStringLiteral("(кГц)"), {}, {}};
    case 3:
        return {QStringLiteral("Рабочая"), QStringLiteral("частота"), QStringLiteral("(Гц)"), {}};
    case 4:
        return {QStringLiteral("Субтон"), QStringLiteral("CTCSS(Гц)"), QStringLiteral("или"),
                QStringLiteral("DCS")};
    case 5:
        return {QStringLiteral("Вызывной"), QStringLiteral("тон"), QStringLiteral("(Гц)"), {}};
    case 6:
        return {QStringLiteral("Порог"), QStringLiteral("ШП"), {}, {}};
    case 7:
        return {QStringLiteral("Мощность"), QStringLiteral("передачи"), QStringLiteral("мин/макс"),
                QStringLiteral("(Вт)")};
    case 8:
        return {QStringLiteral("Рабочий"), QStringLiteral("канал"), {}, {}};
    case 9:
        return {QStringLiteral("Скан"), {}, {}, {}};
    case 10:
        return {QStringLiteral("УПР"), {}, {}, {}};
    case 11:
        return {QStringLiteral("Время"), QStringLiteral("непрерывной"), QStringLiteral("передачи"),
                QStringLiteral("ограничено")};
    case 12:
        return {QStringLiteral("Передача"), QStringLiteral("на"), QStringLiteral("занятом"),
                QStringLiteral("канале")};
    default:
        break;
    }
    if (column >= 13 && column <= 20) {
        return {QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "),
                QStringLiteral("Ф%1").arg(column - 13)};
    }
    return {};
}

QString CellPainter::IconName(CellIcon icon) {
    switch (icon) {
    case CellIcon::Rx:
        return QStringLiteral("ico_Rx_text");
    case CellIcon::RxSelected:
        return QStringLiteral("ico_Rx_text_sel");
    case CellIcon::RxReserve:
        return QStringLiteral("ico_Rx_text_reserve");
    case CellIcon::Tx:
        return QStringLiteral("ico_Tx_text");
    case CellIcon::TxSelected:
        return QStringLiteral("ico_Tx_text_sel");
    case CellIcon::TxReserve:
        return QStringLiteral("ico_Tx_text_reserve");
    case CellIcon::None:
        break;
    }
    return QString();
}

const QImage& CellPainter::Icon(CellIcon icon) const {
    static const QImage none;
    const int i = static_cast<int>(icon);
    if (i < 0 || i >= static_cast<int>(icons_.size())) {
        return none;
    }
    return icons_[i];
}
