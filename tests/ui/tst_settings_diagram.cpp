#include <QtTest>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QPainter>
#include <QVBoxLayout>

#include "model/InfoContext.h"
#include "model/SettingsContext.h"
#include "ui/CellPainter.h"
#include "ui/SettingsPages.h"
#include "ui/VolumeDiagram.h"

Q_DECLARE_METATYPE(QPoint)

namespace {

const QColor Face(10, 20, 30);
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);

QImage Render(const VolumeDiagramInput& input) {
    QImage image(256, 256, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    PaintVolumeDiagram(p, image.size(), input, Face);
    return image;
}

VolumeDiagramInput Input(int volume, int minVolume, int beepMin, int beepMax, bool beep = true) {
    VolumeDiagramInput in;
    in.volume = volume;
    in.minVolume = minVolume;
    in.beepMin = beepMin;
    in.beepMax = beepMax;
    in.keyBeepDrawn = beep;
    return in;
}

int CountColour(const QImage& image, QRect area, const QColor& colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour)
                ++n;
    return n;
}

// Right of the chart, where only the two marker icons are drawn.
const QRect IconStrip(244, 0, 12, 256);

} // namespace

class TestSettingsDiagram : public QObject {
    Q_OBJECT
private slots:
    void geometry_data();
    void geometry();
    void volumeZeroHasNoMarkers();
    void markersAndBeepRangeAreDrawn();
    void keyBeepFollowsTheCheckBox();
};

void TestSettingsDiagram::geometry_data() {
    QTest::addColumn<int>("volume");
    QTest::addColumn<int>("minVolume");
    QTest::addColumn<int>("beepMin");
    QTest::addColumn<int>("beepMax");
    QTest::addColumn<int>("y0");
    QTest::addColumn<QPoint>("beepFrom");
    QTest::addColumn<QPoint>("beepTo");
    QTest::addColumn<QPoint>("volumeCorner");
    QTest::addColumn<QPoint>("beepCorner");
    // Negative quotients truncate toward zero: 2 * -104 / 15 is -13, not -14.
    QTest::newRow("defaults") << 10 << 9 << 3 << 8 << 112 << QPoint(32, 99) << QPoint(112, 64)
                              << QPoint(144, 50) << QPoint(81, 79);
    QTest::newRow("quiet minimum") << 1 << 4 << 16 << 16 << 179 << QPoint(240, 8) << QPoint(240, 8)
                                   << QPoint(0, 179) << QPoint(241, 9);
    QTest::newRow("full range") << 16 << 0 << 1 << 16 << 232 << QPoint(0, 232) << QPoint(240, 8)
                                << QPoint(240, 8) << QPoint(241, 9);
}

void TestSettingsDiagram::geometry() {
    QFETCH(int, volume);
    QFETCH(int, minVolume);
    QFETCH(int, beepMin);
    QFETCH(int, beepMax);
    QFETCH(int, y0);
    QFETCH(QPoint, beepFrom);
    QFETCH(QPoint, beepTo);
    QFETCH(QPoint, volumeCorner);
    QFETCH(QPoint, beepCorner);
    const VolumeDiagramGeometry g =
        ComputeVolumeDiagram(QSize(256, 256), Input(volume, minVolume, beepMin, beepMax));
    QCOMPARE(g.width, 248);
    QCOMPARE(g.height, 240);
    QCOMPARE(g.curveFrom, QPoint(0, y0));
    QCOMPARE(g.curveTo, QPoint(240, 8));
    QCOMPARE(g.beepFrom, beepFrom);
    QCOMPARE(g.beepTo, beepTo);
    QVERIFY(g.markersDrawn);
    QCOMPARE(g.volumeBase, QPoint(volumeCorner.x(), 232));
    QCOMPARE(g.volumeCorner, volumeCorner);
    QCOMPARE(g.volumeEnd, QPoint(240, volumeCorner.y()));
    QCOMPARE(g.volumeIcon, QPoint(240, volumeCorner.y() - 8));
    QVERIFY(g.beepMarkerDrawn);
    QCOMPARE(g.beepBase, QPoint(volumeCorner.x() + 1, 232));
    QCOMPARE(g.beepCorner, beepCorner);
    QCOMPARE(g.beepEnd, QPoint(240, beepCorner.y()));
    QCOMPARE(g.beepIcon, QPoint(240, beepCorner.y() - 9));
}

void TestSettingsDiagram::volumeZeroHasNoMarkers() {
    const VolumeDiagramGeometry g = ComputeVolumeDiagram(QSize(256, 256), Input(0, 9, 3, 8));
    QVERIFY(g.beepDrawn);
    QVERIFY(!g.markersDrawn);
    QVERIFY(!g.beepMarkerDrawn);

    const QImage image = Render(Input(0, 9, 3, 8));
    QCOMPARE(image.pixelColor(200, 25), Green); // on the curve
    QCOMPARE(image.pixelColor(72, 81), Red);    // on the beep range
    QCOMPARE(image.pixelColor(100, 200), QColor(Qt::white));
    QCOMPARE(CountColour(image, IconStrip, Face), IconStrip.width() * IconStrip.height());
    // No dashed level line below the curve.
    QCOMPARE(CountColour(image, QRect(0, 130, 240, 100), Green), 0);
}

void TestSettingsDiagram::markersAndBeepRangeAreDrawn() {
    const QImage image = Render(Input(10, 9, 3, 8));
    QVERIFY(CountColour(image, IconStrip, Face) < IconStrip.width() * IconStrip.height());
    // The dashed level line runs down from the curve at x = 144.
    QVERIFY(CountColour(image, QRect(144, 130, 1, 100), Green) > 10);
    // Dotted verticals of the beep range end at the top of the chart.
    QVERIFY(CountColour(image, QRect(32, 8, 1, 80), Red) > 10);

    const QImage silent = Render(Input(10, 9, 3, 8, false));
    QCOMPARE(silent.pixelColor(72, 81), Green);
    QCOMPARE(CountColour(silent, QRect(32, 8, 1, 80), Red), 0);
}

// The beep range is drawn when the key-beep check box is hidden (tables before 1.2)
// or checked.
void TestSettingsDiagram::keyBeepFollowsTheCheckBox() {
    SettingsContext settings;
    TInfoContext info;
    CellPainter painter;
    QWidget window;
    SettingsPages pages(settings, info, painter, &window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(pages.Page1());
    window.show();
    auto* diagram = window.findChild<QWidget*>(QStringLiteral("PaintBoxVolume"));
    auto* keyBeep = window.findChild<QCheckBox*>(QStringLiteral("CheckBoxKeyBeep"));
    QVERIFY(diagram && keyBeep);
    auto beepShown = [&] { return diagram->grab().toImage().pixelColor(72, 81) == Red; };

    settings.KeyBeep = false;
    settings.version = SETTINGS_V1_0;
    pages.RefreshSettings();
    QVERIFY(keyBeep->isHidden());
    QVERIFY(beepShown());

    settings.version = SETTINGS_V1_2;
    pages.RefreshSettings();
    QVERIFY(!keyBeep->isHidden());
    QVERIFY(!beepShown());

    keyBeep->click();
    QVERIFY(settings.KeyBeep);
    QVERIFY(beepShown());
}

QTEST_MAIN(TestSettingsDiagram)
#include "tst_settings_diagram.moc"
