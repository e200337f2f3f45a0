#include "Diagnostics.h"

namespace ov::catalogue {

Q_LOGGING_CATEGORY(diagnostics, "org.ovcorvanta.LogicTool")

void logDiagnostic(const QString &line)
{
    // Warnings are the level the unified log keeps (info and debug lines it drops unless streamed),
    // and they are on whatever the logging rules say of info.
    qCWarning(diagnostics).noquote() << line;
}

void useBareMessagePattern()
{
    qSetMessagePattern(QStringLiteral("%{message}"));
}

} // namespace ov::catalogue
