// Draws the main window's tool-bar icons (24x24) and the program icon (32x32) into icons/,
// and, given a second folder, the program icon for the desktop at 48, 128 and 256 pixels
// into <folder>/<size>x<size>/apps/zorvex-prog.png.
// Not part of the build; run after changing a picture and commit the PNGs:
//   g++ -std=c++20 -fPIC make_icons.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_icons
//   QT_QPA_PLATFORM=offscreen /tmp/make_icons icons ../../../dist/icons/hicolor
// dist/icons/hicolor/scalable/apps/zorvex-prog.svg is the same drawing by hand; keep the two
// alike.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

// Draws a picture designed on a grid of `grid` pixels into a PNG of `size` pixels.
void SaveFile(const QString& file, int grid, int size, const std::function<void(QPainter&)>& draw) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(double(size) / grid, double(size) / grid);
    draw(p);
    p.end();
    image.save(file);
}

void Save(const QString& dir, const char* name, int size,
          const std::function<void(QPainter&)>& draw) {
    SaveFile(dir + "/" + name + ".png", size, size, draw);
}

QPen Pen(const char* colour, double width = 1.5) {
    return QPen(QColor(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Arrow(QPainter& p, bool right, const char* fill, const char* stroke) {
    QPolygonF arrow;
    if (right)
        arrow << QPointF(14, 13) << QPointF(18, 13) << QPointF(18, 9.5) << QPointF(23, 15)
              << QPointF(18, 20.5) << QPointF(18, 17) << QPointF(14, 17);
    else
        arrow << QPointF(23, 13) << QPointF(19, 13) << QPointF(19, 9.5) << QPointF(14, 15)
              << QPointF(19, 20.5) << QPointF(19, 17) << QPointF(23, 17);
    p.setPen(Pen(stroke, 1));
    p.setBrush(QColor(fill));
    p.drawPolygon(arrow);
}

void Radio(QPainter& p) {
    p.setPen(Pen("#202830", 2));
    p.drawLine(QPointF(5.5, 8), QPointF(5.5, 2));
    p.setPen(Pen("#202830"));
    p.setBrush(QColor("#505a64"));
    p.drawRoundedRect(QRectF(2.5, 8, 11, 14), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#a0d0ff"));
    p.drawRect(QRectF(4.5, 10, 7, 4));
    p.setBrush(QColor("#c8c8c8"));
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col)
            p.drawRect(QRectF(4.5 + col * 4, 16 + row * 3, 2.5, 2));
}

// The program icon, on a 32-pixel grid.
void ProgramIcon(QPainter& p) {
    p.setPen(Pen("#101820", 2.5));
    p.drawLine(QPointF(10, 10), QPointF(10, 2));
    p.setPen(Pen("#101820"));
    p.setBrush(QColor("#3c4650"));
    p.drawRoundedRect(QRectF(5, 10, 16, 20), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#8fd0ff"));
    p.drawRect(QRectF(8, 13, 10, 5));
    p.setBrush(QColor("#e0e0e0"));
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col)
            p.drawRect(QRectF(8 + col * 6, 21 + row * 4, 4, 2.5));
    p.setPen(Pen("#e06010", 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(17, 3, 10, 12), -60 * 16, 120 * 16);
    p.drawArc(QRectF(16, 0, 15, 18), -55 * 16, 110 * 16);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("icons");

    Save(dir, "file_new", 24, [](QPainter& p) {
        p.setPen(Pen("#404040"));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF() << QPointF(5, 2) << QPointF(15, 2) << QPointF(20, 7)
                                  << QPointF(20, 22) << QPointF(5, 22));
        p.setBrush(QColor("#d0d0d0"));
        p.drawPolygon(QPolygonF() << QPointF(15, 2) << QPointF(15, 7) << QPointF(20, 7));
        p.setPen(Pen("#1a8a1a", 2.5));
        p.drawLine(QPointF(12.5, 11), QPointF(12.5, 19));
        p.drawLine(QPointF(8.5, 15), QPointF(16.5, 15));
    });
    Save(dir, "file_open", 24, [](QPainter& p) {
        p.setPen(Pen("#805a00"));
        p.setBrush(QColor("#e8b830"));
        p.drawPolygon(QPolygonF() << QPointF(2, 5) << QPointF(9, 5) << QPointF(11, 7)
                                  << QPointF(21, 7) << QPointF(21, 20) << QPointF(2, 20));
        p.setBrush(QColor("#f6d572"));
        p.drawPolygon(QPolygonF() << QPointF(5, 10) << QPointF(23, 10) << QPointF(20, 20)
                                  << QPointF(2, 20));
    });
    Save(dir, "file_save", 24, [](QPainter& p) {
        p.setPen(Pen("#183060"));
        p.setBrush(QColor("#3060b0"));
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 4, 10, 6));
        p.setBrush(QColor("#3060b0"));
        p.drawRect(QRectF(13, 5, 2, 4));
        p.setBrush(QColor("#c0c0c0"));
        p.drawRect(QRectF(7, 14, 10, 6.5));
    });
    Save(dir, "file_export", 24, [](QPainter& p) {
        p.setPen(Pen("#1f6b3a", 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2, 3, 14, 18));
        p.drawLine(QPointF(2, 9), QPointF(16, 9));
        p.drawLine(QPointF(2, 15), QPointF(16, 15));
        p.drawLine(QPointF(8, 3), QPointF(8, 21));
        Arrow(p, true, "#1f9b4a", "#0f5b2a");
    });
    Save(dir, "radio_info", 24, [](QPainter& p) {
        p.setPen(Pen("#10407a"));
        p.setBrush(QColor("#2a6fd0"));
        p.drawEllipse(QPointF(12, 12), 10, 10);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12, 7), 1.8, 1.8);
        p.drawRoundedRect(QRectF(10.5, 10, 3, 8.5), 1, 1);
    });
    Save(dir, "radio_read", 24, [](QPainter& p) {
        Radio(p);
        Arrow(p, true, "#20a020", "#106010");
    });
    Save(dir, "radio_write", 24, [](QPainter& p) {
        Radio(p);
        Arrow(p, false, "#d03020", "#801810");
    });
    Save(dir, "com_port", 24, [](QPainter& p) {
        p.setPen(Pen("#3a4450"));
        p.setBrush(QColor("#9aa4ae"));
        p.drawPolygon(QPolygonF() << QPointF(2, 7) << QPointF(22, 7) << QPointF(19, 17)
                                  << QPointF(5, 17));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor("#3a4450"));
        for (int i = 0; i < 5; ++i)
            p.drawEllipse(QPointF(6.5 + i * 2.8, 10.5), 1, 1);
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QPointF(8 + i * 2.8, 14), 1, 1);
    });
    Save(dir, "freq_range", 24, [](QPainter& p) {
        p.setPen(Pen("#2050a0", 2));
        p.drawLine(QPointF(3, 4), QPointF(3, 20));
        p.drawLine(QPointF(21, 4), QPointF(21, 20));
        QPainterPath wave(QPointF(3, 12));
        wave.cubicTo(QPointF(6, 2), QPointF(9, 2), QPointF(12, 12));
        wave.cubicTo(QPointF(15, 22), QPointF(18, 22), QPointF(21, 12));
        p.setPen(Pen("#d07010", 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(wave);
    });
    Save(dir, "wavenet", 24, [](QPainter& p) {
        p.setPen(Pen("#406080", 2));
        p.drawPolygon(QPolygonF() << QPointF(12, 5) << QPointF(5, 18) << QPointF(19, 18));
        p.setPen(Pen("#205070", 1));
        p.setBrush(QColor("#30a0d0"));
        for (const QPointF& c : {QPointF(12, 5), QPointF(5, 18), QPointF(19, 18)})
            p.drawEllipse(c, 3, 3);
    });
    Save(dir, "app", 32, ProgramIcon);
    if (argc > 2) {
        const QString desktop = QString::fromLocal8Bit(argv[2]);
        for (int size : {48, 128, 256}) {
            const QString folder = QStringLiteral("%1/%2x%2/apps").arg(desktop).arg(size);
            QDir().mkpath(folder);
            SaveFile(folder + "/zorvex-prog.png", 32, size, ProgramIcon);
        }
    }
    return 0;
}
