#include "TestFiles.h"

#include "plist/PlistBuffer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <plist/plist.h>

#include <stdexcept>

namespace ov::test {

QByteArray xmlPlist(const QString &body)
{
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                             "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                             "<plist version=\"1.0\">\n<dict>\n")
           + body.toUtf8() + QByteArrayLiteral("\n</dict>\n</plist>\n");
}

QString stringArrayXml(const QString &key, const QStringList &values)
{
    QString xml = QStringLiteral("<key>%1</key><array>").arg(key);
    for (const QString &value : values)
        xml += QStringLiteral("<string>%1</string>").arg(value.toHtmlEscaped());
    return xml + QStringLiteral("</array>");
}

QByteArray toBinaryPlist(const QByteArray &xml)
{
    plist_t root = nullptr;
    plist_from_xml(xml.constData(), static_cast<uint32_t>(xml.size()), &root);
    if (!root)
        throw std::runtime_error("test property list does not parse");
    char *bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bin, &length);
    QByteArray bytes(bin, static_cast<qsizetype>(length));
    ov::plist::freeBuffer(bin);
    plist_free(root);
    return bytes;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}

QString retroSynthFixture()
{
    return QStringLiteral(OV_FIXTURES_DIR "/logic-retro-synth/CSParameterOrder.plist");
}

QString plistlibFile(const QString &fileName)
{
    return QStringLiteral(OV_PLISTLIB_DIR "/") + fileName;
}

} // namespace ov::test
