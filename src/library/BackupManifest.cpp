#include "BackupManifest.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ov::library {

namespace {

std::optional<QString> stringField(const QJsonObject &object, const char *key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

} // namespace

QString sha256Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QByteArray manifestJson(const Manifest &manifest)
{
    QJsonArray plugins;
    for (const ManifestPlugin &plugin : manifest.plugins) {
        QJsonArray files;
        for (const ManifestFile &file : plugin.files)
            files.append(QJsonObject{{QStringLiteral("suffix"), file.suffix},
                                     {QStringLiteral("sha256"), file.sha256},
                                     {QStringLiteral("size"), file.size}});
        plugins.append(QJsonObject{{QStringLiteral("plugin"), plugin.plugin},
                                   {QStringLiteral("type"), plugin.type},
                                   {QStringLiteral("root"), plugin.root},
                                   {QStringLiteral("path"), plugin.path},
                                   {QStringLiteral("files"), files}});
    }
    const QJsonObject root{{QStringLiteral("format"), kManifestFormat},
                           {QStringLiteral("formatVersion"), kManifestVersion},
                           {QStringLiteral("programVersion"), manifest.programVersion},
                           {QStringLiteral("created"), manifest.created},
                           {QStringLiteral("plugins"), plugins}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<Manifest> parseManifest(const QByteArray &bytes, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (!document.isObject()) {
        *error = parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                              : QStringLiteral("not a JSON object");
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    if (stringField(root, "format") != kManifestFormat) {
        *error = QStringLiteral("not a manifest of %1").arg(kManifestFormat);
        return std::nullopt;
    }
    const int version = root.value(QStringLiteral("formatVersion")).toInt(0);
    if (version < 1 || version > kManifestVersion) {
        *error = QStringLiteral("format version %1 is not one this version reads (%2)")
                     .arg(root.value(QStringLiteral("formatVersion")).toVariant().toString())
                     .arg(kManifestVersion);
        return std::nullopt;
    }
    Manifest manifest;
    manifest.programVersion = stringField(root, "programVersion").value_or(QString());
    manifest.created = stringField(root, "created").value_or(QString());
    const QJsonValue plugins = root.value(QStringLiteral("plugins"));
    if (!plugins.isArray()) {
        *error = QStringLiteral("no list of plug-ins");
        return std::nullopt;
    }
    for (const QJsonValue value : plugins.toArray()) {
        const QJsonObject object = value.toObject();
        ManifestPlugin plugin;
        const auto name = stringField(object, "plugin");
        const auto type = stringField(object, "type");
        const auto settingsRoot = stringField(object, "root");
        const auto path = stringField(object, "path");
        const QJsonValue files = object.value(QStringLiteral("files"));
        if (!name || !type || !settingsRoot || !path || !files.isArray()) {
            *error = QStringLiteral("plug-in %1 of the list lacks its name, type, root, path or files")
                         .arg(manifest.plugins.size() + 1);
            return std::nullopt;
        }
        plugin.plugin = *name;
        plugin.type = *type;
        plugin.root = *settingsRoot;
        plugin.path = *path;
        for (const QJsonValue fileValue : files.toArray()) {
            const QJsonObject fileObject = fileValue.toObject();
            const auto suffix = stringField(fileObject, "suffix");
            const auto sha = stringField(fileObject, "sha256");
            if (!suffix || !sha || !fileObject.value(QStringLiteral("size")).isDouble()) {
                *error = QStringLiteral("a file of %1 lacks its suffix, checksum or size").arg(plugin.path);
                return std::nullopt;
            }
            plugin.files.append({*suffix, *sha, fileObject.value(QStringLiteral("size")).toInteger()});
        }
        manifest.plugins.append(std::move(plugin));
    }
    return manifest;
}

} // namespace ov::library
