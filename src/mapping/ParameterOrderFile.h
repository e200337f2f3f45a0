#pragma once

#include "ParameterEntry.h"
#include "PlistDocument.h"

#include <QVector>

#include <optional>

namespace ov::mapping {

inline constexpr char kControlSurfaceParameterOrderKey[] = "ControlSurfaceParameterOrder";
inline constexpr char kStoreCSUniqueKey[] = "StoreCSUnique";
inline constexpr char kOravelCSModeKey[] = "OravelCSMode";

inline const QString kParameterOrderFileName = QStringLiteral("CSParameterOrder.plist");

// plugin_Mode values; kModeUndecided never outlives a load.
inline constexpr int kModeInsertEffect = 0;
inline constexpr int kModeInstrument = 1;
inline constexpr int kModeUndecided = -1;

// The slot list of a file: a value that is not a string is the empty slot in its position.
QStringList controlSurfaceOrder(const PlistDocument &document);
// The available-parameter strings of a file: values that are not strings are skipped.
QStringList storedUniqueParameters(const PlistDocument &document);

// What a load puts in place of the available-parameter list, the table and the counters.
struct LoadedMapping final {
    QVector<ParameterEntry> available;  // the empty entry first
    QVector<ParameterEntry> plistBuild; // 32 * totalPages slots
    int totalPages = 1;
    int pluginMode = kModeInsertEffect;
};

// Builds the lists from a document. With checkMode 1 the mode is decided from the document
// (OravelCSMode, else a parameter whose entry contains "olume", else insert/effect); with any
// other value `currentMode` is kept.
LoadedMapping loadMapping(const PlistDocument &document, int checkMode, int currentMode);

// Reads and loads a file; a missing file, or one that is not a property-list dictionary, loads as
// an empty dictionary.
LoadedMapping readPlistFile(const QString &path, int checkMode, int currentMode);

// The mapping table a file holds, for comparing or copying; no table, with the reason, when the file
// is missing or not a property-list dictionary.
struct TableRead final {
    std::optional<QVector<ParameterEntry>> table;
    QString error;
};
TableRead readMappingTable(const QString &path);

// Gives the document a "StoreCSUnique" list when it has no non-empty one: "-1", then every distinct
// slot string in order of first appearance. Returns false when the document already had one.
bool addAvailableParameterList(PlistDocument &document);

enum class OravelizeOutcome {
    AlreadyListed, // the file has a non-empty list and was not touched
    Added,         // the list was added and the file replaced
    Missing,       // no file: nothing written
    Unreadable,    // the file exists but is not a readable property-list dictionary: left as it is
    WriteFailed,   // the new file could not be written: the old one stands
};

struct OravelizeResult final {
    OravelizeOutcome outcome = OravelizeOutcome::Missing;
    QString detail;         // the reason, for the failures
    PlistDocument document; // the document as it now stands on disk (empty unless read)
    bool ok() const { return outcome == OravelizeOutcome::AlreadyListed || outcome == OravelizeOutcome::Added; }
};

// Ensures that the file holds a non-empty "StoreCSUnique". An existing list is never rebuilt and the
// file is then left byte for byte; a file that cannot be read is never removed, emptied or rewritten.
// Before the file is first rewritten, its bytes as they were go to ".original" when none exists.
OravelizeResult oravelizePlistFile(const QString &path);

} // namespace ov::mapping
