// The channel grid widget: geometry, selection, the right-button toggle, edit requests and
// the colours it actually puts on the screen.
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

#include "model/ChannelsContext.h"
#include "ui/CellPainter.h"
#include "ui/ChannelGrid.h"

namespace {

Channel Used(int32_t rx, int32_t tx) {
    Channel c;
    c.freq_rx = rx;
    c.freq_tx = tx;
    return c;
}

struct Fixture {
    ChannelsContext channels;
    CellPainter painter;
    ChannelGrid grid{channels, painter, nullptr};

    explicit Fixture(QSize size = QSize(1200, 700)) {
        grid.resize(size);
        grid.show();
        grid.LayoutGrid();
    }
    QPoint Centre(int column, int row) const { return grid.cellRect(column, row).center(); }
    void Click(Qt::MouseButton button, int column, int row) {
        QTest::mouseClick(grid.viewport(), button, {}, Centre(column, row));
    }
};

bool* Field(Channel& c, int column) {
    bool* fields[] = {&c.active, &c.scan,  &c.scrambler, &c.tx_limit, &c.tx_busy,
                      &c.flag0,  &c.flag1, &c.flag2,     &c.flag3,    &c.flag4,
                      &c.flag5,  &c.flag6, &c.flag7};
    return fields[column - 8];
}

int CountPixels(const QImage& img, const QRect& area, const QColor& colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            n += QColor(img.pixel(x, y)) == colour ? 1 : 0;
        }
    }
    return n;
}

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// Inside of a cell, clear of its white frame.
QRect Inside(const QRect& cell) {
    return cell.adjusted(1, 1, -1, -1);
}

} // namespace

class TestGridWidget : public QObject {
    Q_OBJECT
private slots:
    void layoutSpreadsOverTheVisibleWidth() {
        Fixture f(QSize(1600, 600));
        CellPainter measurer;
        measurer.font = f.grid.font();
        int total = 0;
        for (int c = 0; c < ChannelGrid::ColumnCount; ++c) {
            const int natural = std::max(measurer.MeasureCell(true, c).width(),
                                         measurer.MeasureCell(false, c).width());
            QVERIFY(f.grid.columnWidth(c) >= natural);
            total += f.grid.columnWidth(c) + ChannelGrid::GridLineWidth;
        }
        // Cells and their lines fill the width exactly: no sideways scrolling, nothing cut off.
        QCOMPARE(total, f.grid.viewport()->width());
        QCOMPARE(f.grid.horizontalScrollBar()->maximum(), 0);
        const QRect last = f.grid.cellRect(20, 1);
        QCOMPARE(last.left() + last.width() + ChannelGrid::GridLineWidth,
                 f.grid.viewport()->width());
    }

    void layoutKeepsNaturalWidthsWhenTooNarrow() {
        Fixture f(QSize(500, 400));
        CellPainter measurer;
        measurer.font = f.grid.font();
        int total = 0;
        int header = 0;
        int data = 0;
        for (int c = 0; c < ChannelGrid::ColumnCount; ++c) {
            const QSize h = measurer.MeasureCell(true, c);
            const QSize d = measurer.MeasureCell(false, c);
            QCOMPARE(f.grid.columnWidth(c), std::max(h.width(), d.width()));
            total += f.grid.columnWidth(c) + ChannelGrid::GridLineWidth;
            header = std::max(header, h.height());
            data = std::max(data, d.height());
        }
        QCOMPARE(f.grid.horizontalScrollBar()->maximum(), total - f.grid.viewport()->width());
        QCOMPARE(f.grid.rowHeight(0), header);
        QCOMPARE(f.grid.rowHeight(1), data);
        QCOMPARE(f.grid.rowHeight(200), data);
        QVERIFY(data >= 44);
    }

    void resizeLaysOutAgain() {
        Fixture f(QSize(1300, 600));
        const int before = f.grid.columnWidth(3);
        f.grid.resize(1700, 600);
        QVERIFY(f.grid.columnWidth(3) > before);
        QCOMPARE(f.grid.horizontalScrollBar()->maximum(), 0);
    }

    void fontChangeLaysOutAgain() {
        Fixture f(QSize(500, 400));
        const int before = f.grid.rowHeight(1);
        QFont larger = f.grid.font();
        larger.setPointSize(30);
        f.grid.setFont(larger);
        QVERIFY(f.grid.rowHeight(1) > before);
    }

    void cellAtFindsTheCellWhereverScrolled() {
        Fixture f(QSize(500, 400));
        for (int hs : {0, f.grid.horizontalScrollBar()->maximum()}) {
            for (int vs : {0, 1000, f.grid.verticalScrollBar()->maximum()}) {
                f.grid.horizontalScrollBar()->setValue(hs);
                f.grid.verticalScrollBar()->setValue(vs);
                // The header row and the slot column stay in place.
                QCOMPARE(f.grid.cellRect(5, 0).top(), 0);
                QCOMPARE(f.grid.cellRect(0, 50).left(), 0);
                const QRect view = f.grid.viewport()->rect();
                for (int r = 0; r < ChannelGrid::RowCount; ++r) {
                    for (int c = 0; c < ChannelGrid::ColumnCount; ++c) {
                        const QPoint p = f.Centre(c, r);
                        // Scrolled under the fixed row or column (and its line).
                        const int line = ChannelGrid::GridLineWidth;
                        const bool hidden = (c != 0 && p.x() < f.grid.columnWidth(0) + line) ||
                                            (r != 0 && p.y() < f.grid.rowHeight(0) + line);
                        if (!view.contains(p) || hidden) {
                            continue;
                        }
                        int column = -1;
                        int row = -1;
                        QVERIFY(f.grid.cellAt(p, &column, &row));
                        QCOMPARE(column, c);
                        QCOMPARE(row, r);
                    }
                }
            }
        }
    }

    void currentRow() {
        Fixture f(QSize(800, 400));
        QSignalSpy changed(&f.grid, &ChannelGrid::currentRowChanged);
        QCOMPARE(f.grid.currentRow(), 1);
        f.grid.setCurrentRow(200);
        QCOMPARE(f.grid.currentRow(), 200);
        // Scrolled into view, below the header.
        const QRect rect = f.grid.cellRect(1, 200);
        QVERIFY(f.grid.viewport()->rect().contains(rect));
        QVERIFY(rect.top() >= f.grid.rowHeight(0));
        f.grid.setCurrentRow(1);
        QCOMPARE(f.grid.verticalScrollBar()->value(), 0);
        f.grid.setCurrentRow(1000);
        QCOMPARE(f.grid.currentRow(), 200);
        f.grid.setCurrentRow(-3);
        QCOMPARE(f.grid.currentRow(), 0);
        QCOMPARE(changed.count(), 4);
        QCOMPARE(changed.last().at(0).toInt(), 0);
    }

    void keysMoveTheCurrentRow() {
        Fixture f(QSize(800, 400));
        f.grid.setFocus();
        QTest::keyClick(&f.grid, Qt::Key_Up);
        QCOMPARE(f.grid.currentRow(), 1);
        QTest::keyClick(&f.grid, Qt::Key_Down);
        QCOMPARE(f.grid.currentRow(), 2);
        QTest::keyClick(&f.grid, Qt::Key_PageDown);
        QVERIFY(f.grid.currentRow() > 3);
        QTest::keyClick(&f.grid, Qt::Key_End);
        QCOMPARE(f.grid.currentRow(), 200);
        QTest::keyClick(&f.grid, Qt::Key_Down);
        QCOMPARE(f.grid.currentRow(), 200);
        QTest::keyClick(&f.grid, Qt::Key_Home);
        QCOMPARE(f.grid.currentRow(), 1);
        f.grid.setCurrentRow(0);
        QTest::keyClick(&f.grid, Qt::Key_Down);
        QCOMPARE(f.grid.currentRow(), 1);
    }

    void leftButtonSelectsTheRow() {
        Fixture f;
        f.Click(Qt::LeftButton, 4, 5);
        QCOMPARE(f.grid.currentRow(), 5);
        f.Click(Qt::LeftButton, 0, 7);
        QCOMPARE(f.grid.currentRow(), 7);
        f.Click(Qt::LeftButton, 4, 0); // header
        QCOMPARE(f.grid.currentRow(), 7);
    }

    void rightButtonTogglesABoolean_data() {
        QTest::addColumn<int>("column");
        const char* names[] = {"active", "scan",  "scrambler", "tx_limit", "tx_busy",
                               "flag0",  "flag1", "flag2",     "flag3",    "flag4",
                               "flag5",  "flag6", "flag7"};
        for (int column = 8; column <= 20; ++column) {
            QTest::newRow(names[column - 8]) << column;
        }
    }

    void rightButtonTogglesABoolean() {
        QFETCH(int, column);
        Fixture f;
        f.channels.channels[2] = Used(146500000, 151825000);
        QSignalSpy toggled(&f.grid, &ChannelGrid::channelToggled);
        const Channel before = f.channels.channels[2];
        f.Click(Qt::RightButton, column, 3);
        Channel expected = before;
        *Field(expected, column) = !*Field(expected, column);
        QCOMPARE(f.channels.channels[2], expected);
        QCOMPARE(toggled.count(), 1);
        QCOMPARE(toggled.at(0).at(0).toInt(), 2);
        QCOMPARE(f.grid.currentRow(), 1); // the right button does not select
        f.Click(Qt::RightButton, column, 3);
        QCOMPARE(f.channels.channels[2], before);
    }

    void rightButtonLeavesEverythingElse() {
        Fixture f;
        f.channels.channels[2] = Used(146500000, 151825000);
        Channel empty; // an empty slot with a set scrambler
        empty.scrambler = true;
        f.channels.channels[5] = empty;
        const auto before = f.channels.channels;
        QSignalSpy toggled(&f.grid, &ChannelGrid::channelToggled);
        f.Click(Qt::RightButton, 10, 6); // empty slot
        for (int column = 0; column < 8; ++column) {
            f.Click(Qt::RightButton, column, 3); // not a boolean column
        }
        f.Click(Qt::RightButton, 10, 0); // header
        QVERIFY(f.channels.channels == before);
        QCOMPARE(toggled.count(), 0);
    }

    void doubleClickAndEnterAskForTheEditor() {
        Fixture f;
        QSignalSpy edit(&f.grid, &ChannelGrid::editChannelRequested);
        QTest::mouseDClick(f.grid.viewport(), Qt::LeftButton, {}, f.Centre(3, 4));
        QCOMPARE(edit.count(), 1);
        QCOMPARE(f.grid.currentRow(), 4);
        f.grid.setFocus();
        QTest::keyClick(&f.grid, Qt::Key_Return);
        QCOMPARE(edit.count(), 2);
        QTest::keyClick(&f.grid, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(edit.count(), 3);
        QTest::keyClick(&f.grid, Qt::Key_Down);
        QTest::mouseDClick(f.grid.viewport(), Qt::RightButton, {}, f.Centre(3, 4));
        QCOMPARE(edit.count(), 3);
    }

    // The main window repaints the grid with update() (or Refresh()) after every change of
    // the model; both must reach the cells, which live on the viewport.
    void updateRepaintsTheCells() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.grid));
        PaintCounter counter;
        f.grid.viewport()->installEventFilter(&counter);
        QCoreApplication::processEvents();
        counter.paints = 0;
        f.grid.Refresh();
        QCoreApplication::processEvents();
        QVERIFY(counter.paints > 0);
        counter.paints = 0;
        f.grid.update();
        QCoreApplication::processEvents();
        QVERIFY(counter.paints > 0);
        counter.paints = 0;
        f.channels.channels[0] = Used(146500000, 146500000);
        f.Click(Qt::RightButton, 10, 1);
        QCoreApplication::processEvents();
        QVERIFY(counter.paints > 0);
    }

    void renderedColours() {
        Fixture f(QSize(1500, 700));
        auto& ch = f.channels.channels;
        ch[0] = Used(146500000, 146500000); // row 1, selected
        ch[0].scan = true;
        ch[0].scrambler = false;
        ch[1] = Used(146500000, 151825000); // row 2, inactive
        ch[1].active = false;
        ch[1].scrambler = false;
        ch[2] = Channel(); // row 3, empty slot
        ch[2].scrambler = true;
        ch[3] = Used(146500000, 151825000); // row 4, plain
        f.grid.setCurrentRow(1);
        const QImage img = f.grid.viewport()->grab().toImage();
        auto at = [&](int column, int row) {
            // Just inside the frame, clear of any text.
            const QRect r = f.grid.cellRect(column, row);
            return QColor(img.pixel(r.left() + 2, r.top() + 2));
        };

        QCOMPARE(at(5, 0), QColor(208, 208, 208)); // header
        QCOMPARE(at(0, 1), QColor(208, 208, 208)); // slot column, also in the selected row
        QCOMPARE(at(5, 1), QColor(30, 144, 255));  // selected row
        QCOMPARE(at(5, 2), QColor(224, 224, 224)); // even grid row
        QCOMPARE(at(5, 3), QColor(240, 240, 240)); // odd grid row
        const QRect cell = f.grid.cellRect(5, 2);
        QCOMPARE(QColor(img.pixel(cell.topLeft())), QColor(255, 255, 255)); // frame
        QCOMPARE(QColor(img.pixel(cell.bottomRight())), QColor(255, 255, 255));

        // Marks of the selected row in their light colours.
        QVERIFY(CountPixels(img, Inside(f.grid.cellRect(9, 1)), QColor(0, 255, 0)) > 0);
        QVERIFY(CountPixels(img, Inside(f.grid.cellRect(10, 1)), QColor(255, 0, 0)) > 0);
        // An inactive channel's cross is grey, not red.
        const QRect inactiveMark = Inside(f.grid.cellRect(10, 2));
        QVERIFY(CountPixels(img, inactiveMark, QColor(128, 128, 128)) > 0);
        QCOMPARE(CountPixels(img, inactiveMark, QColor(208, 0, 0)), 0);
        // An empty slot shows nothing but its background.
        const QRect emptyMark = Inside(f.grid.cellRect(10, 3));
        QCOMPARE(CountPixels(img, emptyMark, QColor(240, 240, 240)),
                 emptyMark.width() * emptyMark.height());
        // The receive and transmit pictures of a split channel.
        const QRect split = Inside(f.grid.cellRect(3, 4));
        QVERIFY(CountPixels(img, split.adjusted(0, 0, 0, -split.height() / 2), QColor(0, 168, 0)) >
                0);
        QVERIFY(CountPixels(img, split.adjusted(0, split.height() / 2, 0, 0), QColor(168, 0, 0)) >
                0);

        // Scrolled to the end the header row still stands at the top.
        f.grid.verticalScrollBar()->setValue(f.grid.verticalScrollBar()->maximum());
        const QImage scrolled = f.grid.viewport()->grab().toImage();
        const QRect header = f.grid.cellRect(5, 0);
        QCOMPARE(QColor(scrolled.pixel(header.left() + 2, header.top() + 2)),
                 QColor(208, 208, 208));
        const QRect lastRow = f.grid.cellRect(5, 200);
        QVERIFY(f.grid.viewport()->rect().contains(lastRow));
        QCOMPARE(QColor(scrolled.pixel(lastRow.left() + 2, lastRow.top() + 2)),
                 QColor(224, 224, 224));
    }
};

QTEST_MAIN(TestGridWidget)
#include "tst_gridwidget.moc"
