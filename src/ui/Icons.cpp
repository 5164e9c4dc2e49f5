#include "ui/Icons.h"

namespace {
QString ResourcePath(const QString& name) {
    return QStringLiteral(":/icons/") + name + QStringLiteral(".png");
}
} // namespace

QIcon IconByName(const QString& name) {
    const QPixmap pixmap = PixmapByName(name);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

QPixmap PixmapByName(const QString& name) {
    return QPixmap(ResourcePath(name));
}
