#pragma once

#include <QString>

namespace ov::community {

// Escapes a value for a URL's query: every character but ASCII letters, digits and "-._~" is written
// as percent-encoded UTF-8 bytes ("%20", "%26", "%3D", "%2B", ...), so a value can never add,
// cut short or change a parameter.
QString escapeValue(const QString &value);

// Escapes a whole URL text: letters, digits, "-_.!~*'()" and the URL's own punctuation ";/?:@&=+$,"
// stay as they are; everything else, "%" and "#" included, is percent-encoded.
QString escapeWholeUrl(const QString &url);

} // namespace ov::community
