#pragma once

#include <QString>

// The user-facing texts of the mapping document, exactly as the user sees them.
namespace ov::mapping::texts {

inline const QString kCannotDeleteFirstPage = QStringLiteral("Cannot delete first page");
inline const QString kTryClearingInstead = QStringLiteral("Perhaps, try 'Clearing' this page instead?!");

inline const QString kMappingSaved = QStringLiteral("New Mapping has been saved");
// %1: the full path of the previous backup.
inline const QString kMappingSavedInfo =
    QStringLiteral("Please remember to close and re-open plugin within Logic so that changes are updated\n\n\n"
                   "Backup of previous plist file has been saved here:\n\n%1");

inline const QString kRecallFileMissing = QStringLiteral("Recall file does not exist");
inline const QString kRecallFileMissingInfo =
    QStringLiteral("Please Note: Original, and Previous backup files will only exist once a mapping has been saved, "
                   "simply reselect plugin on left menu to reload the default file again.");
inline const QString kRecallApplied = QStringLiteral("Recalled mapping has been applied");
inline const QString kRecallAppliedInfo = QStringLiteral("Now saved as this plugins default");

// Our own texts for failures that were once reported as successes.
inline const QString kMappingNotSaved = QStringLiteral("Mapping not saved");
// %1: the file, %2: why it cannot be read.
inline const QString kSaveUnreadableInfo =
    QStringLiteral("The file %1 can no longer be read as a property list (%2). Nothing was written and the file was "
                   "left as it is; reselect the plugin to reload it.");
// %1: the backup that could not be written, %2: the reason.
inline const QString kSaveBackupFailedInfo =
    QStringLiteral("The backup %1 could not be written (%2). The mapping file was left unchanged.");
// %1: the file, %2: the reason.
inline const QString kSaveWriteFailedInfo =
    QStringLiteral("The file %1 could not be written (%2). It was left as it was before this save.");

inline const QString kRecallFailed = QStringLiteral("Recall failed");
// %1: the backup, %2: the file, %3: the reason.
inline const QString kRecallCopyFailedInfo =
    QStringLiteral("The backup %1 could not be copied over %2 (%3). The file was left as it was.");

// Filling the empty controls. %1: parameters laid out, %2: pages appended.
inline const QString kFilledControls = QStringLiteral("Filled %1 controls, %2 pages added");

// Copying a mapping from another plug-in. %1: the plug-in (or file) copied from.
inline const QString kMappingCopied = QStringLiteral("Mapping copied from %1");
// %1: slots matched, %2: names without a match (listed below it, one a line).
// How an unmatched parameter without a name is listed: by its number.
inline const QString kNamelessParameter = QStringLiteral("(no name, number %1)");
inline const QString kMappingCopiedInfo = QStringLiteral("Controls matched: %1\nNames without a match: %2");
inline const QString kNothingCopied = QStringLiteral("Nothing copied from %1");
// %1: names without a match (listed below it).
inline const QString kNothingCopiedInfo =
    QStringLiteral("No name of that mapping matches a parameter of this plugin, so the mapping was left as it was.\n"
                   "Names without a match: %1");
// After the names an alert lists: %1 names not listed.
inline const QString kAndMoreNames = QStringLiteral("and %1 more");

// Controls whose parameter the plug-in does not have as the mapping names it. %1: page, %2: control.
inline const QString kMisfitPlace = QStringLiteral("Page %1, control %2: ");
// %1: the control's entry ("999 Nonexistent").
inline const QString kMisfitUnknown = QStringLiteral("\"%1\" is not a parameter of this plugin");
// %1: the number, %2: its name here, %3: the name the mapping gives it.
inline const QString kMisfitRenamed = QStringLiteral("parameter %1 is \"%2\" in this plugin, not \"%3\"");
// %1: controls moved onto the parameter of the same name, %2: controls emptied.
inline const QString kMappingRepaired = QStringLiteral("Repaired the mapping: %1 moved, %2 emptied");

// %1: what is wrong with the file.
inline const QString kNotALayout = QStringLiteral("not a layout: %1");

// The name of each undo step, as Edit > Undo and Redo show it.
inline const QString kStepAssignParameter = QStringLiteral("Assign Parameter");
inline const QString kStepSwapControls = QStringLiteral("Swap Controls");
inline const QString kStepNewPage = QStringLiteral("New Page");
inline const QString kStepDeletePage = QStringLiteral("Delete Page");
inline const QString kStepClearPage = QStringLiteral("Clear Page");
inline const QString kStepMovePage = QStringLiteral("Move Page");
inline const QString kStepRecall = QStringLiteral("Recall");
inline const QString kStepFill = QStringLiteral("Fill From Here");
inline const QString kStepCopyMapping = QStringLiteral("Copy Mapping");
inline const QString kStepRepairMapping = QStringLiteral("Repair Mapping");
inline const QString kStepApplyLayout = QStringLiteral("Apply Layout");

} // namespace ov::mapping::texts
