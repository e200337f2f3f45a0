#pragma once

#include <QLoggingCategory>
#include <QString>

namespace ov::catalogue {

// The editor's diagnostic lines ("Reading Folder: ...", "Download failed! ...", the store's errors).
Q_DECLARE_LOGGING_CATEGORY(diagnostics)

// Writes one diagnostic line through Qt's message handler: to standard error from a terminal, to the
// unified log (Console.app) on a Mac started from the Finder, to the journal where Qt sends it there.
void logDiagnostic(const QString &line);

// Qt's messages as their bare text, one line each: no level, no category. QT_MESSAGE_PATTERN, when
// set, still wins.
void useBareMessagePattern();

} // namespace ov::catalogue
