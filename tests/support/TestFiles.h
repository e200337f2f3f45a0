#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ov::test {

// An XML property list whose root dictionary holds `body` (keys and values in XML).
QByteArray xmlPlist(const QString &body);

// `<key>name</key><array><string>..</string>...</array>`, with the strings XML-escaped.
QString stringArrayXml(const QString &key, const QStringList &values);

// The same property list in binary form.
QByteArray toBinaryPlist(const QByteArray &xml);

QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);

// The parameter-order file that Logic wrote for its Retro Synth.
QString retroSynthFixture();

// A file that Python's plistlib wrote (tests/fixtures/plistlib/write-shared.py): "NAME.bplist" in
// binary, sharing its objects, and "NAME.xml" holding the same values.
QString plistlibFile(const QString &fileName);

} // namespace ov::test
