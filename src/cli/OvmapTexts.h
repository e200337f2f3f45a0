#pragma once

#include <QString>

namespace ov::cli::texts {

// %1: the entry as given.
inline const QString kMalformedEntry =
    QStringLiteral("\"%1\" is not an entry: write the number, one blank and the name (\"12 Filter Cutoff\")");

// %1: the other controls of the page whose names are cut alike ("1/5, 1/9").
inline const QString kSameCutName = QStringLiteral("same as %1");

// A layout's lines. %1: name, %2: controls, %3: file.
inline const QString kLayoutWritten = QStringLiteral("Layout \"%1\" saved with %2 controls: %3");
// %1: name, %2: why.
inline const QString kLayoutNotWritten = QStringLiteral("the layout \"%1\" cannot be saved: %2");
inline const QString kLayoutNotRead = QStringLiteral("the layout \"%1\" cannot be read: %2");
// %1: controls, %2: pages.
inline const QString kLayoutSize = QStringLiteral("%1 controls on %2 pages");
// %1: controls that found a parameter, %2: controls of the layout.
inline const QString kLayoutMatched = QStringLiteral("matched %1 of %2");
// %1: the names without a match.
inline const QString kLayoutNoMatch = QStringLiteral("(no match: %1)");
inline const QString kLayoutSaved = QStringLiteral("saved");
inline const QString kLayoutUnchanged = QStringLiteral("unchanged, not saved");
inline const QString kLayoutWouldSave = QStringLiteral("would be saved");
// %1: why.
inline const QString kLayoutNotSaved = QStringLiteral("not saved: %1");
inline const QString kLayoutUnreadable = QStringLiteral("the file cannot be read");

} // namespace ov::cli::texts
