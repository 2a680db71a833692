#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace platform {

// Builds a zip archive with libzip and puts it in place with the atomic
// replace: the file at the target is either the old one or the whole new one.
// Entry names use "/" and are relative ("a/b.txt"; folders end in "/").
// The first problem is kept and reported by finish(); nothing is written then.
class ZipWriter {
public:
    ZipWriter();
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    void addDirectory(const QString& name);
    void addFile(const QString& name, const QByteArray& bytes);
    // Read from `sourcePath` while the archive is written, not before.
    void addFileFromPath(const QString& name, const QString& sourcePath);

    // Entries read from files are deflated on several threads, each into a
    // one-entry archive in a hidden folder beside the target, and their
    // compressed bytes then copied into the archive: the same archive in a
    // fraction of the time when the files are large.
    void setParallelCompression(bool on);

    // The first problem so far, as a Spanish reason naming the entry or file.
    std::optional<QString> error() const;

    // Writes the archive to `path`. nullopt on success.
    std::optional<QString> finish(const QString& path);

private:
    struct Entry;
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace platform
