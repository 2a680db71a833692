#pragma once

// Crafted zip archives for tests: libzip writes any name and any external
// attributes, which is what hostile archives need.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <vector>
#include <zip.h>

namespace testsupport {

struct EntradaZip {
    QString nombre;
    QByteArray datos;
    std::uint32_t modoUnix = 0;  // st_mode to record, 0 for libzip's default
    bool carpeta = false;
};

inline bool escribirZip(const QString& ruta, const std::vector<EntradaZip>& entradas)
{
    int codigo = 0;
    zip_t* z = zip_open(QFile::encodeName(ruta).constData(), ZIP_CREATE | ZIP_TRUNCATE, &codigo);
    if (!z)
        return false;
    std::vector<QByteArray> nombres;
    nombres.reserve(entradas.size());
    for (const EntradaZip& e : entradas) {
        nombres.push_back(e.nombre.toUtf8());
        zip_int64_t i = -1;
        if (e.carpeta) {
            i = zip_dir_add(z, nombres.back().constData(), ZIP_FL_ENC_UTF_8);
        } else {
            zip_source_t* s = zip_source_buffer(z, e.datos.constData(), static_cast<zip_uint64_t>(e.datos.size()), 0);
            i = s ? zip_file_add(z, nombres.back().constData(), s, ZIP_FL_ENC_UTF_8) : -1;
            if (i < 0 && s)
                zip_source_free(s);
        }
        if (i < 0 || (e.modoUnix != 0 && zip_file_set_external_attributes(z, static_cast<zip_uint64_t>(i), 0,
                                                                           ZIP_OPSYS_UNIX, e.modoUnix << 16) != 0)) {
            zip_discard(z);
            return false;
        }
    }
    if (zip_close(z) != 0) {
        zip_discard(z);
        return false;
    }
    return true;
}

inline QByteArray leerArchivo(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool escribirArchivo(const QString& ruta, const QByteArray& bytes)
{
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// An archive of empty stored files written byte by byte: libzip takes minutes
// to close one with tens of thousands of entries.
inline bool escribirZipVacios(const QString& ruta, const std::vector<QByteArray>& nombres)
{
    auto u16 = [](QByteArray& b, std::uint32_t v) {
        b.append(static_cast<char>(v & 0xff)).append(static_cast<char>((v >> 8) & 0xff));
    };
    auto u32 = [&](QByteArray& b, std::uint32_t v) {
        u16(b, v & 0xffff);
        u16(b, v >> 16);
    };
    QByteArray locales;
    QByteArray central;
    for (const QByteArray& nombre : nombres) {
        const auto desplazamiento = static_cast<std::uint32_t>(locales.size());
        locales.append("PK\x03\x04", 4);
        for (std::uint32_t v : {20u, 0u, 0u, 0u, 0u})  // version, flags, method, time, date
            u16(locales, v);
        for (int k = 0; k < 3; ++k)  // crc, sizes
            u32(locales, 0);
        u16(locales, static_cast<std::uint32_t>(nombre.size()));
        u16(locales, 0);
        locales.append(nombre);
        central.append("PK\x01\x02", 4);
        for (std::uint32_t v : {20u, 20u, 0u, 0u, 0u, 0u})  // made by, needed, flags, method, time, date
            u16(central, v);
        for (int k = 0; k < 3; ++k)
            u32(central, 0);
        u16(central, static_cast<std::uint32_t>(nombre.size()));
        for (int k = 0; k < 4; ++k)  // extra, comment, disk, internal attributes
            u16(central, 0);
        u32(central, 0);  // external attributes
        u32(central, desplazamiento);
        central.append(nombre);
    }
    QByteArray fin("PK\x05\x06", 4);
    u16(fin, 0);
    u16(fin, 0);
    u16(fin, static_cast<std::uint32_t>(nombres.size()));
    u16(fin, static_cast<std::uint32_t>(nombres.size()));
    u32(fin, static_cast<std::uint32_t>(central.size()));
    u32(fin, static_cast<std::uint32_t>(locales.size()));
    u16(fin, 0);
    return escribirArchivo(ruta, locales + central + fin);
}

// Makes the first (only) entry of an archive claim `tamano` inflated bytes, in
// its local header and in the central directory alike.
inline bool declararTamano(const QString& ruta, std::uint32_t tamano)
{
    QByteArray z = leerArchivo(ruta);
    const qsizetype central = z.indexOf(QByteArray("PK\x01\x02", 4));
    if (!z.startsWith(QByteArray("PK\x03\x04", 4)) || central < 0)
        return false;
    for (int k = 0; k < 4; ++k) {
        z[22 + k] = static_cast<char>((tamano >> (8 * k)) & 0xff);
        z[central + 24 + k] = static_cast<char>((tamano >> (8 * k)) & 0xff);
    }
    return escribirArchivo(ruta, z);
}

}  // namespace testsupport
