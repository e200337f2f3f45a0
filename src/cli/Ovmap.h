#pragma once

#include <QStringList>
#include <QTextStream>

namespace ov::cli {

// Exit statuses of ovmap.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1; // refused or failed; nothing changed on disk
inline constexpr int kExitUsage = 2;

// Runs ovmap with its arguments (without the program name), writing to `out` and `err`.
int runOvmap(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace ov::cli
