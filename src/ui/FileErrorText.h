#pragma once

#include <QString>
#include <exception>

// What the user was doing with a file when it failed.
enum class FileAction { Open, Save, Export };

// The system's reason for a failed file operation (an errno value) in Russian, as the end
// of a sentence ("нет такого файла или папки"); empty for a reason without its own text.
QString SystemReasonText(int systemError);

// The message of a failed file action in Russian, naming the file:
// "Не удалось открыть файл «/path/cfg.xml»: нет такого файла или папки."
// The reason comes from the system error when there is one; an open that fails without one
// failed on the file's content. The library's own detail is not part of it.
QString FileErrorText(FileAction action, const QString& fileName, int systemError);

// The same for an exception thrown by the files library (its system error when it carries
// one).
QString FileErrorText(FileAction action, const QString& fileName, const std::exception& error);

// Why an export into fileName could not create the file, found from its folder (missing, not
// a folder, not writable); empty when the folder looks usable.
QString ExportFolderProblem(const QString& fileName);
