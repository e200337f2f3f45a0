#pragma once

#include <QDateTime>
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
    QString user() const;
    // When it was shared, in the user's time zone; invalid when the server sent no time.
    QDateTime uploadedAt() const;
    // Whether the user signed in as `userName` shared it: names compared in NFC, as the server
    // compares them at sign-in.
    bool isSharedBy(const QString &userName) const;

    // The signed-in user shared it, and may delete it.
    bool sharedBySignedInUser = false;
};

// The entries of a list reply, in reply order: a JSON array of objects. A reply that is missing, not
// JSON or not an array gives no entries; elements that are not objects are passed over.
QVector<DownloadListEntry> parseDownloadList(const std::optional<QString> &reply);

} // namespace ov::community
