#pragma once

#include <QString>

namespace ov::cli {

// A usage error: the message goes to standard error with the usage, and ovmap exits with 2.
struct UsageError {
    QString message;
};

inline int parseInteger(const QString &text, const QString &what)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        throw UsageError{QStringLiteral("%1 must be a whole number, not '%2'").arg(what, text)};
    return value;
}

} // namespace ov::cli
