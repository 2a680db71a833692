#pragma once

#include <QByteArray>
#include <QString>

#include <variant>

namespace quelva {

// Project documents above this are refused before a byte is read: decoding holds the window and
// several copies of the document in memory, and a real project stays far below it (50 MB holds
// thousands of timeline packages and a hundred pictured comments).
inline constexpr qint64 kTamanoMaximoProyecto = qint64{150} * 1024 * 1024;

// The whole file, when it is a file no larger than the cap; else why not, in Spanish.
std::variant<QByteArray, QString> leerDocumentoProyecto(const QString& ruta);

}  // namespace quelva
