#include "ui/FileErrorText.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>

#include "files/FileError.h"

namespace {

QString Shown(const QString& fileName) {
    return QDir::toNativeSeparators(fileName);
}

QString Verb(FileAction action) {
    switch (action) {
    case FileAction::Open:
        return QStringLiteral("открыть");
    case FileAction::Save:
        return QStringLiteral("сохранить");
    case FileAction::Export:
        return QStringLiteral("записать");
    }
    return QString();
}

} // namespace

QString SystemReasonText(int systemError) {
    switch (systemError) {
    case ENOENT:
        return QStringLiteral("нет такого файла или папки");
    case EACCES:
    case EPERM:
        return QStringLiteral("нет прав доступа");
    case ENOSPC:
        return QStringLiteral("на диске нет свободного места");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("исчерпана дисковая квота");
#endif
    case EFBIG:
        return QStringLiteral("превышен допустимый размер файла");
    case EROFS:
        return QStringLiteral("диск доступен только для чтения");
    case EISDIR:
        return QStringLiteral("это папка, а не файл");
    case ENOTDIR:
        return QStringLiteral("часть пути не является папкой");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("файл занят другой программой");
    case ENAMETOOLONG:
        return QStringLiteral("слишком длинное имя файла");
    case EIO:
        return QStringLiteral("ошибка ввода-вывода");
    default:
        return QString();
    }
}

QString FileErrorText(FileAction action, const QString& fileName, int systemError) {
    QString reason = SystemReasonText(systemError);
    if (reason.isEmpty()) {
        if (systemError != 0)
            reason = QStringLiteral("системная ошибка %1").arg(systemError);
        else if (action == FileAction::Open)
            reason = QStringLiteral("это не файл настроек радиостанции (XML) или он повреждён");
        else
            reason = QStringLiteral("ошибка записи");
    }
    return QStringLiteral("Не удалось %1 файл «%2»: %3.")
        .arg(Verb(action), Shown(fileName), reason);
}

QString FileErrorText(FileAction action, const QString& fileName, const std::exception& error) {
    const auto* fileError = dynamic_cast<const FileError*>(&error);
    return FileErrorText(action, fileName, fileError ? fileError->systemError() : 0);
}

QString ExportFolderProblem(const QString& fileName) {
    const QFileInfo folder(QFileInfo(fileName).absolutePath());
    if (!folder.exists())
        return QStringLiteral("папка «%1» не существует").arg(Shown(folder.filePath()));
    if (!folder.isDir())
        return QStringLiteral("«%1» не является папкой").arg(Shown(folder.filePath()));
    if (!folder.isWritable())
        return QStringLiteral("нет прав на запись в папку «%1»").arg(Shown(folder.filePath()));
    return QString();
}
