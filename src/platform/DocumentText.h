#pragma once

#include <QDateTime>
#include <QString>
#include <QUuid>

#include <optional>
#include <string_view>

namespace platform {

// Values as the project document writes them.
// Dates: ISO 8601 in UTC without fractional seconds, "2025-03-01T09:30:00Z".
QString documentDateText(const QDateTime& instant);
// Only that exact form reads; anything else gives none.
std::optional<QDateTime> documentDate(const QString& text);

// UUIDs: canonical 36 characters, upper case when written; either case reads.
QString documentUuidText(const QUuid& id);
std::optional<QUuid> documentUuid(const QString& text);

// Pictures: Base64 as Qt decodes it when it aborts on errors, the same bytes accepted and given;
// the padded standard form the document writes is decoded here, several times faster.
std::optional<QByteArray> documentBase64(std::string_view text);

}  // namespace platform
