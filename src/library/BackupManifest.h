#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

namespace ov::library {

// The manifest's name inside the archive, and what its first keys say it is.
inline const QString kManifestName = QStringLiteral("manifest.json");
inline const QString kManifestFormat = QStringLiteral("ovCorvanta library backup");
inline constexpr int kManifestVersion = 1;

// One file of a plug-in: the parameter-order file (suffix empty) or one of its backups.
struct ManifestFile final {
    QString suffix; // "", ".original" or ".prev"
    QString sha256; // lower-case hex of the file's bytes
    qint64 size = 0;
};

struct ManifestPlugin final {
    QString plugin;
    QString type;
    QString root; // which settings folder: kUserLogicRoot, kUserPresetsRoot or kMachineLogicRoot
    QString path; // the parameter-order file below that folder, '/' between names
    QVector<ManifestFile> files;

    // The name in the archive of the file with `suffix`.
    QString entryName(const QString &suffix) const { return root + QLatin1Char('/') + path + suffix; }
};

struct Manifest final {
    QString programVersion;
    QString created; // ISO 8601, UTC
    QVector<ManifestPlugin> plugins;
};

QString sha256Hex(const QByteArray &bytes);

QByteArray manifestJson(const Manifest &manifest);

// Reads a manifest; nothing, with the reason, when the bytes are not one this version understands.
// Values are only checked for their kind here: what a path may be is the restore's concern.
std::optional<Manifest> parseManifest(const QByteArray &bytes, QString *error);

} // namespace ov::library
