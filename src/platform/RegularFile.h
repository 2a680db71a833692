#pragma once

#include <QFile>
#include <QString>

#include <memory>
#include <variant>

namespace platform {

struct OpenedRegularFile {
    std::unique_ptr<QFile> file;  // open for reading, blocking reads
    qint64 size = 0;              // the size of what will be read
};

// Opens a file for reading only when it is a regular file. A FIFO, a device or a folder is
// refused before anything can block on it or read it whole; the error names the file, in Spanish.
std::variant<OpenedRegularFile, QString> openRegularFileForReading(const QString& path);

}  // namespace platform
