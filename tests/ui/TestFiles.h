#pragma once

#include "mapping/PlistDocument.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <ostream>
#include <utility>

namespace ov::ui::test {

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

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline mapping::PlistDocument readPlist(const QString &path)
{
    mapping::PlistReadStatus status;
    return mapping::PlistDocument::fromFile(path, &status);
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

// Readable failure messages for texts.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
