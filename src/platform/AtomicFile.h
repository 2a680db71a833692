#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QIODevice;

namespace platform {

// Replaces the file at `path` with `bytes`: written beside it, flushed to disk,
// then renamed over it, so a reader sees either the old file or the new one and
// the old one survives any failure. A folder at `path` is never touched.
// nullopt on success, else a Spanish reason that names the file.
// Work files beside the target are hidden ".<name>.quelva-XXXXXX" (plus pieces named
// after it), locked while their save runs; each save first removes those of its folder
// that no running save holds, left by a save that was killed.
std::optional<QString> replaceFileAtomically(const QString& path, const QByteArray& bytes);

// The same replacement, for content written by someone else: `produce` gets a
// fresh path beside the target and must leave the whole file there; any work
// file of its own belongs under that path plus a suffix. Used when a library
// writes the file itself (libzip).
std::optional<QString> replaceFileAtomicallyWith(
    const QString& path, const std::function<std::optional<QString>(const QString& tempPath)>& produce);

// Streaming form: open, write through device(), commit. Anything not committed
// is thrown away when the writer is destroyed.
class AtomicFileWriter {
public:
    AtomicFileWriter();
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    std::optional<QString> open(const QString& path);
    // Valid between open() and commit()/abort().
    QIODevice* device();
    bool write(const QByteArray& bytes);
    std::optional<QString> commit();
    void abort();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Spanish text for an errno value, for messages shown to the user.
QString systemErrorText(int errorNumber);

}  // namespace platform
