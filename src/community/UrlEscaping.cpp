#include "UrlEscaping.h"

#include <QByteArray>

namespace ov::community {

namespace {

bool isAsciiAlphanumeric(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

template <typename Keep>
QString percentEncode(const QString &text, Keep keep)
{
    static const char hex[] = "0123456789ABCDEF";
    const QByteArray bytes = text.toUtf8();
    QString out;
    out.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        if (keep(c)) {
            out += QLatin1Char(c);
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += QLatin1Char('%');
            out += QLatin1Char(hex[byte >> 4]);
            out += QLatin1Char(hex[byte & 0x0F]);
        }
    }
    return out;
}

} // namespace

QString escapeValue(const QString &value)
{
    return percentEncode(value, [](char c) { return isAsciiAlphanumeric(c) || c == '-' || c == '.' || c == '_' || c == '~'; });
}

QString escapeWholeUrl(const QString &url)
{
    static const QByteArray kept = QByteArrayLiteral("-_.!~*'();/?:@&=+$,");
    return percentEncode(url, [](char c) { return isAsciiAlphanumeric(c) || (c != '\0' && kept.contains(c)); });
}

} // namespace ov::community
