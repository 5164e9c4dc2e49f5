#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// Pictures compiled into the program, looked up by name ("file_open" -> ":/icons/file_open.png").
// An unknown name gives a null icon/pixmap, never an error.
QIcon IconByName(const QString& name);
QPixmap PixmapByName(const QString& name);
