#pragma once

#include <QJsonObject>
#include <QString>
#include <QVector>

#include <optional>

namespace ov::community {

// One shared mapping of the list reply, kept whole; the editor reads three of its keys.
struct DownloadListEntry final {
    QJsonObject object;

    QString patchID() const;      // as text: 42 gives "42"
    QString fileLocation() const; // relative to the base URL
    QString userComments() const;
};

// The entries of a list reply, in reply order: a JSON array of objects. A reply that is missing, not
// JSON or not an array gives no entries; elements that are not objects are passed over.
QVector<DownloadListEntry> parseDownloadList(const std::optional<QString> &reply);

} // namespace ov::community
