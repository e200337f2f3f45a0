#pragma once

#include <QStringList>
#include <QTextStream>

namespace ov::cli {

// The usage lines of the two commands, for ovmap's usage text.
extern const char kLibraryUsage[];

// `ovmap backup [--home DIR] -o FILE`: exits 0 when every plug-in went in, 1 when some could not be
// read, 2 when no archive could be written.
int commandBackup(const QStringList &arguments, QTextStream &out, QTextStream &err);

// `ovmap restore FILE [--home DIR] [--dry-run]`: exits 0 when everything that differs or is new was
// restored, 1 when some entry was refused or could not be written, 2 when the archive could not be read.
int commandRestore(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace ov::cli
