#pragma once

#include "mapping/PlistDocument.h"
#include "support/Printers.h"
#include "support/TestFiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <utility>

namespace ov::ui::test {

using ov::test::readFile;

// Where Logic keeps the plug-in settings of the user whose home is `home`.
inline QString logicRoot(const QString &home)
{
    return home + QStringLiteral("/Music/Audio Music Apps/Plug-In Settings");
}

// The parameter-order file of `plugin` in Logic's folder.
inline QString logicFile(const QString &home, const QString &plugin)
{
    return logicRoot(home) + QLatin1Char('/') + plugin + QStringLiteral("/CSParameterOrder.plist");
}

// Writes a property list of string arrays, as Logic writes a parameter-order file.
inline void writePlist(const QString &path, std::initializer_list<std::pair<const char *, QStringList>> arrays)
{
    mapping::PlistDocument document;
    for (const auto &[key, values] : arrays)
        document.setStringArray(key, values);
    QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/'))));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(document.toXml()) < 0)
        qFatal("cannot write %s", qPrintable(path));
}

inline mapping::PlistDocument readPlist(const QString &path)
{
    return mapping::PlistDocument::read(path).document;
}

// "n Name n" for n = first ... first + count - 1.
inline QStringList numberedParameters(int first, int count, const QString &name = QStringLiteral("Param"))
{
    QStringList list;
    for (int n = first; n < first + count; ++n)
        list.append(QStringLiteral("%1 %2 %1").arg(n).arg(name)); // "7 Param 7"
    return list;
}

} // namespace ov::ui::test
