#include "DownloadList.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

#include <cmath>

namespace ov::community {

namespace {

QString textOf(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Double: {
        const double number = value.toDouble();
        if (std::isfinite(number) && number == std::floor(number) && std::fabs(number) < 9.007199254740992e15)
            return QString::number(static_cast<qint64>(number));
        return QString::number(number, 'g', 17);
    }
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return QString();
    }
}

} // namespace

QString DownloadListEntry::patchID() const
{
    return textOf(object.value(QLatin1String("patchID")));
}

QString DownloadListEntry::fileLocation() const
{
    return textOf(object.value(QLatin1String("fileLocation")));
}

QString DownloadListEntry::userComments() const
{
    return textOf(object.value(QLatin1String("userComments")));
}

QString DownloadListEntry::user() const
{
    return textOf(object.value(QLatin1String("user")));
}

QDateTime DownloadListEntry::uploadedAt() const
{
    // The server gives the time in UTC.
    return QDateTime::fromString(textOf(object.value(QLatin1String("uploaded"))), Qt::ISODate).toLocalTime();
}

bool DownloadListEntry::isSharedBy(const QString &userName) const
{
    const QString sharer = user();
    return !sharer.isEmpty()
           && sharer.normalized(QString::NormalizationForm_C) == userName.normalized(QString::NormalizationForm_C);
}

QVector<DownloadListEntry> parseDownloadList(const std::optional<QString> &reply)
{
    QVector<DownloadListEntry> entries;
    if (!reply)
        return entries;
    const QJsonDocument document = QJsonDocument::fromJson(reply->toUtf8());
    for (const QJsonValue value : document.array()) {
        if (value.isObject())
            entries.append(DownloadListEntry{value.toObject()});
    }
    return entries;
}

} // namespace ov::community
