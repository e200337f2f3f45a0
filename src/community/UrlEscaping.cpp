#include "UrlEscaping.h"

#include <QByteArray>

namespace ov::community {

// Qt's percent-encoding keeps exactly the unreserved characters (letters, digits, "-._~") and writes
// every other byte of the UTF-8 text as "%XX" in capitals.
QString escapeValue(const QString &value)
{
    return QString::fromLatin1(value.toUtf8().toPercentEncoding());
}

QString escapeWholeUrl(const QString &url)
{
    return QString::fromLatin1(url.toUtf8().toPercentEncoding(QByteArrayLiteral("!*'();/?:@&=+$,")));
}

} // namespace ov::community
