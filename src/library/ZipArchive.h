#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

namespace ov::library {

// A parameter-order file and its backups are a few kilobytes; anything far larger is not one of ours.
inline constexpr qint64 kMaxEntryBytes = 16 * 1024 * 1024;

struct ZipEntry final {
    QString name;
    QByteArray bytes;
    QDateTime modified;
    bool regularFile = true; // false for links, folders and devices, which are never written out
    QString damage;          // why the entry's data could not be read whole; empty when it was
};

// Writes `entries` (regular files) as one deflated zip archive at `path`, through a temporary file
// renamed into place, so a failed write leaves what was at `path` before. False with the reason.
bool writeZip(const QString &path, const QVector<ZipEntry> &entries, QString *error);

struct ZipContents final {
    QVector<ZipEntry> entries; // in archive order, damaged ones included with their damage
    QString error;             // why reading stopped before the end; empty when it reached it
};

// Reads every entry of the zip archive at `path`.
ZipContents readZip(const QString &path);

} // namespace ov::library
