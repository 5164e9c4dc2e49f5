// Cell contents, layouts and colours of the channel grid, checked on the painter's computed
// cell (no pixels).
#include <QImage>
#include <QPainter>
#include <QtTest>

#include <functional>
#include <vector>

#include "model/Channel.h"
#include "ui/CellPainter.h"

namespace {

const QRect kCell(10, 20, 220, 60);

Channel Used(int32_t rx, int32_t tx) {
    Channel c;
    c.freq_rx = rx;
    c.freq_tx = tx;
    return c;
}

QFont GridFont() {
    QFont f(QStringLiteral("Lucida Console"));
    f.setStyleHint(QFont::Monospace);
    f.setBold(true);
    f.setPointSize(12);
    return f;
}

struct TextCase {
    const char* name;
    std::function<Channel()> channel;
    std::function<void(CellPainter&)> setup; // common values; may be empty
    int column;
    CellLayout layout;
    std::array<const char*, 4> lines;
    bool rxIcon;
    bool txIcon;
};

const std::vector<TextCase>& TextCases() {
    static const std::vector<TextCase> cases = {
        {"simplex frequency once",
         [] { return Used(146500000, 146500000); },
         {},
         3,
         CellLayout::Joint,
         {"", "146 500 000", "", ""},
         false,
         false},
        {"split frequencies",
         [] { return Used(146500000, 151825000); },
         {},
         3,
         CellLayout::RxTx,
         {"Rx:", "146 500 000", "Tx:", "151 825 000"},
         true,
         true},
        {"receive only: band",
         [] { return Used(146500000, 0); },
         {},
         2,
         CellLayout::RxTx,
         {"Rx:", "25,0", "", ""},
         true,
         false},
        {"receive only: frequency",
         [] { return Used(146500000, 0); },
         {},
         3,
         CellLayout::RxTx,
         {"Rx:", "146 500 000", "", ""},
         true,
         false},
        {"receive only: subtone",
         [] {
             Channel c = Used(146500000, 0);
             c.subtone_rx = c.subtone_tx = 1;
             return c;
         },
         {},
         4,
         CellLayout::RxTx,
         {"CTCSS:", " 67,0", "", ""},
         false,
         false},
        {"receive only: call tone",
         [] {
             Channel c = Used(146500000, 0);
             c.tone_rx = c.tone_tx = 1000;
             return c;
         },
         {},
         5,
         CellLayout::RxTx,
         {"Rx:", "1000", "", ""},
         true,
         false},
        {"transmit only: frequency",
         [] { return Used(0, 151825000); },
         {},
         3,
         CellLayout::RxTx,
         {"", "", "Tx:", "151 825 000"},
         false,
         true},
        {"bands differ",
         [] {
             Channel c = Used(146500000, 146500000);
             c.band_tx = false;
             return c;
         },
         {},
         2,
         CellLayout::RxTx,
         {"Rx:", "25,0", "Tx:", "12,5"},
         true,
         true},
        {"equal bands",
         [] { return Used(146500000, 151825000); },
         {},
         2,
         CellLayout::Joint,
         {"", "25,0", "", ""},
         false,
         false},
        {"DCS both ways",
         [] {
             Channel c = Used(146500000, 146500000);
             c.subtone_rx = c.subtone_tx = 51;
             return c;
         },
         {},
         4,
         CellLayout::Joint,
         {"DCS:", "023", "", ""},
         false,
         false},
        {"CTCSS both ways",
         [] {
             Channel c = Used(146500000, 146500000);
             c.subtone_rx = c.subtone_tx = 1;
             return c;
         },
         {},
         4,
         CellLayout::Joint,
         {"CTCSS:", " 67,0", "", ""},
         false,
         false},
        {"CTCSS receive, DCS transmit",
         [] {
             Channel c = Used(146500000, 146500000);
             c.subtone_rx = 50;
             c.subtone_tx = 133;
             return c;
         },
         {},
         4,
         CellLayout::RxTx,
         {"CTCSS:", "254,1", "DCS:", "754"},
         false,
         false},
        {"subtone transmit only",
         [] {
             Channel c = Used(146500000, 146500000);
             c.subtone_tx = 19;
             return c;
         },
         {},
         4,
         CellLayout::RxTx,
         {"", "", "CTCSS:", "123,0"},
         false,
         false},
        {"subtone above 134 is none",
         [] {
             Channel c = Used(146500000, 146500000);
             c.subtone_rx = c.subtone_tx = 135;
             return c;
         },
         {},
         4,
         CellLayout::Joint,
         {"", "", "", ""},
         false,
         false},
        {"negative subtone is none",
         [] {
             Channel c = Used(146500000, 146500000);
             c.subtone_rx = -7;
             c.subtone_tx = -1;
             return c;
         },
         {},
         4,
         CellLayout::RxTx,
         {"", "", "", ""},
         false,
         false},
        {"equal negative subtones are none",
         [] {
             Channel c = Used(146500000, 146500000);
             c.subtone_rx = c.subtone_tx = -51;
             return c;
         },
         {},
         4,
         CellLayout::Joint,
         {"", "", "", ""},
         false,
         false},
        {"call tone both ways",
         [] {
             Channel c = Used(146500000, 146500000);
             c.tone_rx = c.tone_tx = 3000;
             return c;
         },
         {},
         5,
         CellLayout::Joint,
         {"", "3000", "", ""},
         false,
         false},
        {"call tone below 400 is none",
         [] {
             Channel c = Used(146500000, 146500000);
             c.tone_rx = c.tone_tx = 399;
             return c;
         },
         {},
         5,
         CellLayout::Joint,
         {"", "", "", ""},
         false,
         false},
        {"call tone transmit only",
         [] {
             Channel c = Used(146500000, 146500000);
             c.tone_tx = 1750;
             c.tone_rx = 3001;
             return c;
         },
         {},
         5,
         CellLayout::RxTx,
         {"", "", "Tx:", "1750"},
         false,
         true},
        {"channel number modulo 100",
         [] {
             Channel c = Used(146500000, 146500000);
             c.number = 107;
             return c;
         },
         {},
         1,
         CellLayout::Centred,
         {"07", "", "", ""},
         false,
         false},
        {"own squelch",
         [] {
             Channel c = Used(146500000, 146500000);
             c.squelch = 3;
             return c;
         },
         {},
         6,
         CellLayout::Centred,
         {"L3", "", "", ""},
         false,
         false},
        {"common squelch",
         [] {
             Channel c = Used(146500000, 146500000);
             c.squelch = 3;
             return c;
         },
         [](CellPainter& p) {
             p.commonSquelch = true;
             p.commonSquelchLevel = 6;
         },
         6,
         CellLayout::Centred,
         {"L6", "", "", ""},
         false,
         false},
        {"power low 1 high 3",
         [] {
             Channel c = Used(146500000, 146500000);
             c.tx_power_low = 1;
             c.tx_power_high = 3;
             return c;
         },
         {},
         7,
         CellLayout::Centred,
         {"10/40", "", "", ""},
         false,
         false},
        {"power levels equal",
         [] {
             Channel c = Used(146500000, 146500000);
             c.tx_power_low = c.tx_power_high = 2;
             return c;
         },
         {},
         7,
         CellLayout::Centred,
         {"20", "", "", ""},
         false,
         false},
        {"common power level 4 shows only the lowest",
         [] { return Used(146500000, 146500000); },
         [](CellPainter& p) {
             p.commonPower = true;
             p.commonPowerLevel = 4;
         },
         7,
         CellLayout::Centred,
         {"5", "", "", ""},
         false,
         false},
        {"common power level 2",
         [] {
             Channel c = Used(146500000, 146500000);
             c.tx_power_low = c.tx_power_high = 3;
             return c;
         },
         [](CellPainter& p) {
             p.commonPower = true;
             p.commonPowerLevel = 2;
         },
         7,
         CellLayout::Centred,
         {"5/20", "", "", ""},
         false,
         false},
        {"radio's own wattages",
         [] { return Used(146500000, 146500000); },
         [](CellPainter& p) {
             p.watts = {1, 8, 25, 50};
         },
         7,
         CellLayout::Centred,
         {"1/50", "", "", ""},
         false,
         false},
    };
    return cases;
}

CellPicture Compose(CellPainter& painter, const Channel& ch, int row, int column,
                    CellDrawState state = {}, QRect rect = kCell) {
    painter.SetChannel(ch);
    painter.SetCell(nullptr, rect, state);
    return painter.ComposeCell(row, column);
}

} // namespace

class TestGridPainter : public QObject {
    Q_OBJECT
private slots:
    void cellTexts_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < static_cast<int>(TextCases().size()); ++i) {
            QTest::newRow(TextCases()[i].name) << i;
        }
    }

    void cellTexts() {
        QFETCH(int, index);
        const TextCase& tc = TextCases()[index];
        CellPainter painter;
        painter.font = GridFont();
        if (tc.setup) {
            tc.setup(painter);
        }
        const Channel ch = tc.channel();
        const CellPicture cell = Compose(painter, ch, 4, tc.column);
        QVERIFY(cell.content);
        QCOMPARE(cell.layout, tc.layout);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(cell.lines[i].text, QString::fromUtf8(tc.lines[i]));
        }
        QCOMPARE(cell.rxIcon, tc.rxIcon);
        QCOMPARE(cell.txIcon, tc.txIcon);
    }

    void emptySlotShowsOnlyItsIndex() {
        CellPainter painter;
        painter.font = GridFont();
        Channel ch; // no frequency, but everything else set
        ch.number = 42;
        ch.subtone_rx = ch.subtone_tx = 51;
        ch.tone_rx = ch.tone_tx = 1000;
        ch.active = false;
        ch.scrambler = true;
        const CellPicture slot = Compose(painter, ch, 13, 0, {false, false, true});
        QVERIFY(slot.content);
        QCOMPARE(slot.lines[0].text, QStringLiteral("12"));
        QCOMPARE(slot.lines[0].colour, QColor(0, 0, 0)); // slot index never grey
        for (int column = 1; column < CellPainter::ColumnCount; ++column) {
            const CellPicture cell = Compose(painter, ch, 13, column);
            QVERIFY2(!cell.content, qPrintable(QString("column %1").arg(column)));
            QCOMPARE(cell.background, CellPainter::OddRowBackground());
        }
        // The same slot painted: only background and frame.
        QImage img(kCell.size() + QSize(20, 40), QImage::Format_RGB32);
        img.fill(Qt::black);
        QPainter p(&img);
        painter.SetCell(&p, kCell, {});
        painter.PaintCell(13, 10);
        p.end();
        const QPoint centre = kCell.center();
        QCOMPARE(QColor(img.pixel(centre)), CellPainter::OddRowBackground());
        QCOMPARE(QColor(img.pixel(kCell.topLeft())), CellPainter::FrameColour());
    }

    void headerLines() {
        CellPainter painter;
        painter.font = GridFont();
        const Channel ch = Used(146500000, 146500000);
        CellPicture cell = Compose(painter, ch, 0, 4, {false, false, true});
        QCOMPARE(cell.layout, CellLayout::Centred);
        QCOMPARE(cell.lines[0].text, QStringLiteral("Субтон"));
        QCOMPARE(cell.lines[3].text, QStringLiteral("DCS"));
        cell = Compose(painter, ch, 0, 20, {false, false, true});
        QCOMPARE(cell.lines[3].text, QStringLiteral("Ф7"));
        cell = Compose(painter, ch, 0, 0, {false, false, true});
        QCOMPARE(cell.lines[0].text, QStringLiteral("Ячейка"));
        QCOMPARE(cell.lines[1].text, QString());
    }

    void jointLayout() {
        CellPainter painter;
        painter.font = GridFont();
        Channel ch = Used(146500000, 146500000);
        ch.subtone_rx = ch.subtone_tx = 51;
        const CellPicture freq = Compose(painter, ch, 1, 3);
        const CellLine& value = freq.lines[1];
        QVERIFY(value.width > 0 && value.height > 0);
        QCOMPARE(value.x + value.width, kCell.left() + kCell.width() - 4); // right-aligned
        QCOMPARE(value.y, kCell.top() + (kCell.height() - value.height) / 2);
        QCOMPARE(freq.lines[0].width, 0); // empty line has no size
        QCOMPARE(freq.lines[0].height, 0);

        const CellPicture tone = Compose(painter, ch, 1, 4);
        QCOMPARE(tone.lines[0].x, kCell.left() + 4);
        QCOMPARE(tone.lines[1].x + tone.lines[1].width, kCell.left() + kCell.width() - 4);

        // A cell lower than its text keeps a 4-pixel top margin.
        const CellPicture flat = Compose(painter, ch, 1, 3, {}, QRect(0, 0, 200, 6));
        QCOMPARE(flat.lines[1].y, 4);
    }

    void rxTxLayout() {
        CellPainter painter;
        painter.font = GridFont();
        const int bottom = kCell.top() + kCell.height();
        const int right = kCell.left() + kCell.width();

        const CellPicture split = Compose(painter, Used(146500000, 151825000), 1, 3);
        const auto& l = split.lines;
        // Both labels are pictures of 24 x 18.
        QCOMPARE(QSize(l[0].width, l[0].height), QSize(24, 18));
        QCOMPARE(QSize(l[2].width, l[2].height), QSize(24, 18));
        const int g = std::max((kCell.height() - 36) / 3, 4);
        QCOMPARE(l[0].x, kCell.left() + 4);
        QCOMPARE(l[0].y, kCell.top() + g);
        QCOMPARE(l[2].y, bottom - g - 18);
        const int h = l[1].height;
        const int gv = std::max((kCell.height() - 2 * h) / 3, 4);
        QCOMPARE(l[1].x + l[1].width, right - 4);
        QCOMPARE(l[1].y, kCell.top() + gv);
        QCOMPARE(l[3].y, bottom - gv - h);
        QVERIFY(l[1].y + l[1].height <= l[3].y); // the two values do not overlap

        // Receive only: the upper half keeps its place as if the lower half were there.
        const CellPicture rxOnly = Compose(painter, Used(146500000, 0), 1, 3);
        const int tallest = std::max(18, h);
        QCOMPARE(rxOnly.lines[0].y, kCell.top() + std::max((kCell.height() - 18 - tallest) / 3, 4));
        QCOMPARE(rxOnly.lines[1].y, l[1].y);
    }

    void centredLayout() {
        CellPainter painter;
        painter.font = GridFont();
        const Channel ch = Used(146500000, 146500000);
        const int height = kCell.height();
        auto centreY = [](const CellLine& line) { return line.y + line.height / 2; };

        // One line: in the middle.
        const CellPicture number = Compose(painter, ch, 1, 1);
        QCOMPARE(centreY(number.lines[0]), kCell.top() + height / 2);
        QCOMPARE(number.lines[0].x, kCell.left() + (kCell.width() - number.lines[0].width) / 2);

        // Two header lines at one and two thirds.
        const CellPicture two = Compose(painter, ch, 0, 1, {false, false, true});
        QCOMPARE(centreY(two.lines[0]), kCell.top() + height / 3);
        QCOMPARE(centreY(two.lines[1]), kCell.top() + height * 2 / 3);

        // The blank lines above "Ф0" put it at four fifths of the height.
        const CellPicture flag = Compose(painter, ch, 0, 13, {false, false, true});
        QCOMPARE(centreY(flag.lines[3]), kCell.top() + height * 4 / 5);
    }

    void colours_data() {
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("rx");
        QTest::addColumn<QColor>("tx");
        QTest::addColumn<QColor>("plain");
        QTest::addColumn<QColor>("check");
        QTest::addColumn<QColor>("cross");
        QTest::addColumn<int>("rxIcon");
        QTest::addColumn<int>("txIcon");
        const QColor grey(128, 128, 128);
        QTest::newRow("normal") << true << false << QColor(240, 240, 240) << QColor(0, 168, 0)
                                << QColor(168, 0, 0) << QColor(0, 0, 0) << QColor(0, 208, 0)
                                << QColor(208, 0, 0) << int(CellIcon::Rx) << int(CellIcon::Tx);
        QTest::newRow("selected") << true << true << QColor(30, 144, 255) << QColor(128, 255, 128)
                                  << QColor(255, 128, 128) << QColor(255, 255, 255)
                                  << QColor(0, 255, 0) << QColor(255, 0, 0)
                                  << int(CellIcon::RxSelected) << int(CellIcon::TxSelected);
        QTest::newRow("inactive") << false << false << QColor(240, 240, 240) << grey << grey << grey
                                  << grey << grey << int(CellIcon::RxReserve)
                                  << int(CellIcon::TxReserve);
        QTest::newRow("inactive selected")
            << false << true << QColor(30, 144, 255) << grey << grey << grey << grey << grey
            << int(CellIcon::RxReserve) << int(CellIcon::TxReserve);
    }

    void colours() {
        QFETCH(bool, active);
        QFETCH(bool, selected);
        QFETCH(QColor, background);
        QFETCH(QColor, rx);
        QFETCH(QColor, tx);
        QFETCH(QColor, plain);
        QFETCH(QColor, check);
        QFETCH(QColor, cross);
        QFETCH(int, rxIcon);
        QFETCH(int, txIcon);

        CellPainter painter;
        painter.font = GridFont();
        Channel ch = Used(146500000, 151825000);
        ch.active = active;
        ch.scan = true;
        ch.scrambler = false;
        const CellDrawState state{selected, false, false};

        const CellPicture freq = Compose(painter, ch, 1, 3, state);
        QCOMPARE(freq.background, background);
        QCOMPARE(freq.lines[0].colour, rx);
        QCOMPARE(freq.lines[1].colour, rx);
        QCOMPARE(freq.lines[2].colour, tx);
        QCOMPARE(freq.lines[3].colour, tx);
        QCOMPARE(int(freq.lines[0].icon), rxIcon);
        QCOMPARE(int(freq.lines[2].icon), txIcon);
        QCOMPARE(int(freq.lines[1].icon), int(CellIcon::None));

        QCOMPARE(Compose(painter, ch, 1, 1, state).lines[0].colour, plain);
        QCOMPARE(Compose(painter, ch, 1, 7, state).lines[0].colour, plain);
        QCOMPARE(Compose(painter, ch, 1, 9, state).markColour, check);
        QCOMPARE(Compose(painter, ch, 1, 10, state).markColour, cross);

        // Fixed cells keep black texts on their own background, whatever the channel.
        const CellPicture slot = Compose(painter, ch, 1, 0, {false, false, true});
        QCOMPARE(slot.background, QColor(208, 208, 208));
        QCOMPARE(slot.lines[0].colour, QColor(0, 0, 0));
        const CellPicture header = Compose(painter, ch, 0, 3, {false, false, true});
        QCOMPARE(header.background, QColor(208, 208, 208));
        QCOMPARE(header.lines[0].colour, QColor(0, 0, 0));
    }

    void rowParity() {
        CellPainter painter;
        painter.font = GridFont();
        const Channel ch = Used(146500000, 146500000);
        QCOMPARE(Compose(painter, ch, 1, 5).background, QColor(240, 240, 240)); // slot 0
        QCOMPARE(Compose(painter, ch, 2, 5).background, QColor(224, 224, 224)); // slot 1
        QCOMPARE(Compose(painter, ch, 200, 5).background, QColor(224, 224, 224));
    }

    void marks() {
        CellPainter painter;
        painter.font = GridFont();
        Channel ch = Used(146500000, 146500000);
        // Every boolean column shows its own field.
        bool* fields[] = {&ch.active, &ch.scan,  &ch.scrambler, &ch.tx_limit, &ch.tx_busy,
                          &ch.flag0,  &ch.flag1, &ch.flag2,     &ch.flag3,    &ch.flag4,
                          &ch.flag5,  &ch.flag6, &ch.flag7};
        for (int column = 8; column <= 20; ++column) {
            for (bool* f : fields) {
                *f = false;
            }
            *fields[column - 8] = true;
            for (int other = 8; other <= 20; ++other) {
                const CellPicture cell = Compose(painter, ch, 1, other);
                QCOMPARE(cell.layout, CellLayout::Mark);
                QVERIFY2(
                    cell.markValue == (other == column),
                    qPrintable(QString("field of column %1 in column %2").arg(column).arg(other)));
            }
        }
    }

    void groupDigits_data() {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("nine digits") << "146500000"
                                     << "146 500 000";
        QTest::newRow("four digits") << "1000"
                                     << "1 000";
        QTest::newRow("three digits") << "999"
                                      << "999";
        QTest::newRow("seven digits") << "1234567"
                                      << "1 234 567";
        QTest::newRow("one digit") << "7"
                                   << "7";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("negative") << "-1000000"
                                  << "-1 000 000";
    }

    void groupDigits() {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(CellPainter::GroupDigits(in), out);
    }

    // The natural size of every column holds the widest content it can show.
    void measuredCellsHoldTheirContent() {
        CellPainter painter;
        painter.font = GridFont();
        painter.watts = {20, 20, 20, 40};
        Channel wide = Used(999999999, 888888888);
        wide.subtone_rx = 2;
        wide.subtone_tx = 45;
        wide.tone_rx = 2999;
        wide.tone_tx = 1750;
        wide.tx_power_low = 2;
        wide.tx_power_high = 3;
        wide.squelch = 8;
        wide.number = 88;
        int dataHeight = 0;
        int headerHeight = 0;
        for (int column = 0; column < CellPainter::ColumnCount; ++column) {
            dataHeight = std::max(dataHeight, painter.MeasureCell(false, column).height());
            headerHeight = std::max(headerHeight, painter.MeasureCell(true, column).height());
        }
        QVERIFY(dataHeight >= CellPainter::MinDataHeight);
        for (int column = 0; column < CellPainter::ColumnCount; ++column) {
            const QSize data = painter.MeasureCell(false, column);
            const QSize header = painter.MeasureCell(true, column);
            QVERIFY(data.height() >= CellPainter::MinDataHeight);
            const int width = std::max(data.width(), header.width());
            for (int row : {0, 1}) {
                const QRect rect(0, 0, width, row == 0 ? headerHeight : dataHeight);
                const CellPicture cell = Compose(painter, wide, row, column, {}, rect);
                for (const CellLine& line : cell.lines) {
                    if (!line.IsEmpty()) {
                        QVERIFY2(rect.contains(line.Box()),
                                 qPrintable(QString("row %1 column %2 line '%3'")
                                                .arg(row)
                                                .arg(column)
                                                .arg(line.text)));
                    }
                }
                // Label and value of one half never run into each other.
                if (row == 1) {
                    QVERIFY2(!cell.lines[0].Box().intersects(cell.lines[1].Box()),
                             qPrintable(QString("column %1").arg(column)));
                    QVERIFY2(!cell.lines[2].Box().intersects(cell.lines[3].Box()),
                             qPrintable(QString("column %1").arg(column)));
                }
            }
        }
        QVERIFY(painter.MeasureCell(false, 12).width() >= 44);
        QCOMPARE(painter.MeasureCell(false, 21), QSize(0, 0));
    }

    void iconsLoadedAndDistinct() {
        CellPainter painter;
        const CellIcon all[] = {CellIcon::Rx, CellIcon::RxSelected, CellIcon::RxReserve,
                                CellIcon::Tx, CellIcon::TxSelected, CellIcon::TxReserve};
        for (CellIcon a : all) {
            QVERIFY2(!painter.Icon(a).isNull(), qPrintable(CellPainter::IconName(a)));
            QCOMPARE(painter.Icon(a).size(), QSize(32, 32));
            for (CellIcon b : all) {
                if (a != b) {
                    QVERIFY(painter.Icon(a) != painter.Icon(b));
                }
            }
        }
        QCOMPARE(CellPainter::IconName(CellIcon::TxReserve), QStringLiteral("ico_Tx_text_reserve"));
    }

    void rowsOutsideTheGridPaintNothing() {
        CellPainter painter;
        painter.font = GridFont();
        const Channel ch = Used(146500000, 146500000);
        QImage img(300, 100, QImage::Format_RGB32);
        img.fill(Qt::black);
        const QImage before = img;
        QPainter p(&img);
        painter.SetChannel(ch);
        for (auto [row, column] : {std::pair{201, 3}, {-1, 3}, {5, 21}, {5, -1}}) {
            painter.SetCell(&p, kCell, {});
            painter.PaintCell(row, column);
        }
        p.end();
        QCOMPARE(img, before);
    }
};

QTEST_MAIN(TestGridPainter)
#include "tst_gridpainter.moc"
