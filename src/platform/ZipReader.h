#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

namespace platform {

// One entry of a zip archive as its central directory declares it. Sizes are
// the archive's claims: a hostile archive may understate them.
struct ZipEntry {
    QString name;                  // as stored: "/" or "\" as separators, folders end in one
    std::uint64_t size = 0;        // declared size once inflated
    std::uint64_t compressedSize = 0;
    bool folder = false;           // the name ends in a separator or the Unix mode says so
    bool encrypted = false;
    std::uint32_t unixMode = 0;    // type and permission bits when the archive records them, else 0
};

// Reads a zip archive in place with libzip. Errors are Spanish reasons naming
// the archive or the entry.
class ZipReader {
public:
    ZipReader();
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    std::optional<QString> open(const QString& path);
    const QString& path() const;

    std::uint64_t entryCount() const;
    ZipEntry entry(std::uint64_t index) const;
    std::optional<std::uint64_t> indexOf(const QString& name) const;

    // Hands the inflated bytes of the entry to `sink` piece by piece. A sink
    // that returns false stops the read; that is not an error here.
    std::optional<QString> read(std::uint64_t index,
                                const std::function<bool(const char* data, std::size_t size)>& sink) const;
    // The whole entry, refused when it inflates to more than `limit` bytes.
    std::variant<QByteArray, QString> readAll(std::uint64_t index, std::uint64_t limit = 64u << 20) const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace platform
