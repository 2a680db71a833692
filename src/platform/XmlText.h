#pragma once

#include <QString>

namespace platform {

// Text for XML content and attribute values: "&" first, then "<", ">" and
// '"'; the apostrophe stays; characters XML 1.0 forbids are dropped.
QString escapeXml(const QString& text);

// Text for HTML content and attribute values: as escapeXml, and the
// apostrophe too, so a value is safe in either kind of quotes.
QString escapeHtml(const QString& text);

// Drops what XML 1.0 does not allow: control characters other than tab,
// line feed and carriage return, lone surrogates, U+FFFE and U+FFFF.
QString dropXmlForbidden(const QString& text);

}  // namespace platform
