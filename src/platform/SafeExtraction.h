#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace platform {

struct ZipExtractionLimits {
    std::uint64_t maxEntries = 10000;
    std::uint64_t maxTotalBytes = std::uint64_t{16} << 30;
    std::uint64_t maxRatio = 1000;  // inflated size over compressed size, per entry
};

// Extracts the zip archive at `archivePath` into the new folder `folder`, which
// must not exist. Before anything is written the whole archive is checked and
// refused when an entry is absolute or has a drive letter, climbs with ".."
// ("/" and "\" both separate), is a link or another non-regular file, repeats
// a name, or nests under a file; when there are too many entries, when the
// declared sizes exceed the limits or the free space, or an entry claims to
// inflate beyond the ratio. While writing, the bytes really inflated are
// counted against the declared sizes, so an understating header cannot slip
// past the limits. Entries are written only below `folder` (no link is ever
// followed) into "<folder>.partial", which is renamed into place when complete
// and removed on any failure. nullopt on success, else a Spanish reason that
// names the archive or the entry.
std::optional<QString> extractZipSafely(const QString& archivePath, const QString& folder,
                                        const ZipExtractionLimits& limits = {});

// The entry name as a path below the extraction folder ("a/b.ifc", no final
// separator), or the Spanish reason why it cannot be one.
struct SafeEntryName {
    QString path;
    std::optional<QString> refusal;
};
SafeEntryName safeEntryPath(const QString& entryName);

}  // namespace platform
