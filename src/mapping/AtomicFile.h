#pragma once

#include <QByteArray>
#include <QString>

namespace ov::mapping {

// Writes bytes to a temporary file beside `path`, flushes it to disk and renames it over `path`,
// so that a crash leaves either the old file or the new one, never a truncated one.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Copies `source` to `destination` the same way: the destination is replaced in one step.
bool copyFileAtomically(const QString &source, const QString &destination, QString *error = nullptr);

// Reads a whole file; false with a reason when it cannot be opened or read.
bool readWholeFile(const QString &path, QByteArray *bytes, QString *error = nullptr);

} // namespace ov::mapping
