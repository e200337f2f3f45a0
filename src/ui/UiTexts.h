#pragma once

#include "mapping/MappingTexts.h"

#include <QString>

// The main window's texts, exactly as the user sees them.
namespace ov::ui::texts {

// %1: the plug-in's name, %2: its type.
inline const QString kScreenTitle = QStringLiteral("%1 (%2)");

inline const QString kInstrumentMapper = QStringLiteral("Logic Pro Instrument Mapper");
inline const QString kInsertEffectMapper = QStringLiteral("Logic Pro Insert/Effect Mapper");
inline const QString kReadingParameters = QStringLiteral("Reading Parameters... Please Wait...");
// %1: the plug-in's name.
inline const QString kEditingInstrument = QStringLiteral("Editing %1 using Instrument Mode");
inline const QString kEditingInsertEffect = QStringLiteral("Editing %1 in Insert/Effect Mode");

inline const QString kChartFormatHtml = QStringLiteral("HTML");

inline const QString kHelpTitle = QStringLiteral("Brief instructions on use");
inline const QString kHelpText = QStringLiteral(
    "1. Begin by pressing the 'Scan for plugins' button to locate available plugins on your system (Please "
    "note that third party plugins require a 'default' setting to be saved before they appear).\n\n"
    "2. Select a plugin from the newly populated list that you would like to edit the mapping - once a plugin "
    "is selected, the available parameters shall be displayed, and current mapping displayed on the controls "
    "located in the lower view.\n\n"
    "3. Select a Parameter you would like to map from the Plugin Parameters list (Search can be used to find "
    "specific parameters)\n\n"
    "4. Once a parameter is selected, click any control from the on-screen front panel.\n\n"
    "5. Parameter is now mapped to that control\n\n"
    "6. When all mapping has been completed press 'Save Mapping' button, backups will be automatically made."
    "\n\n\n\nMore in depth help to come later");

// Our own texts for a parameter-order file that cannot be prepared when it is opened.
inline const QString kPluginFileUnreadable = QStringLiteral("Plugin file cannot be read");
// %1: the file, %2: why.
inline const QString kPluginFileUnreadableInfo =
    QStringLiteral("The file %1 cannot be read as a property list (%2). It was left as it is, and the plugin "
                   "was not opened.");
inline const QString kPluginFileNotUpdated = QStringLiteral("Plugin file could not be updated");
// %1: the file, %2: why.
inline const QString kPluginFileNotUpdatedInfo = QStringLiteral(
    "The list of the plugin's parameters could not be added to %1 (%2). The file was left as it was, so the "
    "Plugin Parameters list shows no parameters.");

// Unsaved edits. %1: the plug-in's name.
inline const QString kSaveChangesQuestion = QStringLiteral("Save changes to the mapping of %1?");
inline const QString kSaveChangesInfo =
    QStringLiteral("Your changes to this mapping have not been saved. If you don't save them, they will be lost.");
// A recall replaces the file as well as the table, so saving first would keep nothing.
inline const QString kDiscardChangesQuestion = QStringLiteral("Discard the unsaved changes to the mapping of %1?");
inline const QString kRecallDiscardsInfo = QStringLiteral(
    "Recalling a backup replaces the mapping and its file. Your unsaved changes cannot be kept: saving them "
    "first would only overwrite the previous backup.");
inline const QString kSaveButton = QStringLiteral("Save");
inline const QString kDiscardButton = QStringLiteral("Discard");
inline const QString kCancelButton = QStringLiteral("Cancel");

// Undo and redo: the commands, and the name of each step. %1: the step.
inline const QString kUndo = QStringLiteral("Undo");
inline const QString kRedo = QStringLiteral("Redo");
inline const QString kUndoStep = QStringLiteral("Undo %1");
inline const QString kRedoStep = QStringLiteral("Redo %1");
// The steps are named by the mapping document; the Fill command bears its step's name.
using mapping::texts::kStepFill;

// Copying a mapping from another plug-in.
inline const QString kCopyMappingTitle = QStringLiteral("Copy Mapping From...");
inline const QString kCopyMappingPrompt = QStringLiteral("Copy the mapping of which plug-in?");
inline const QString kCopyMappingFailed = QStringLiteral("Mapping not copied");
// %1: the file, %2: why.
inline const QString kCopyMappingFailedInfo =
    QStringLiteral("The file %1 cannot be read (%2). The mapping was left as it is.");

// Show Changes: the submenu and its choices.
inline const QString kShowChanges = QStringLiteral("Show Changes");
inline const QString kShowChangesOff = QStringLiteral("Off");
inline const QString kShowChangesUnsaved = QStringLiteral("Unsaved Changes");
inline const QString kShowChangesPrevious = QStringLiteral("Since Previous Save (.prev)");
inline const QString kShowChangesOriginal = QStringLiteral("Since Original (.original)");
// %1: the former parameter of a control.
inline const QString kChangedFrom = QStringLiteral("Was: %1");
// %1: the pages, "1, 3".
inline const QString kChangedPages = QStringLiteral("Changed pages: %1");
inline const QString kNoChanges = QStringLiteral("No changes");
inline const QString kNoBackupToCompare = QStringLiteral("No backup to compare with");
// %1: the backup.
inline const QString kNoBackupToCompareInfo =
    QStringLiteral("%1 does not exist yet: the first save makes it. Changes will show once it exists.");

// A control whose parameter stands on other controls too. %1: those controls ("1/9, 3/2").
inline const QString kAlsoOn = QStringLiteral("Also on %1");

// The About and Preferences windows and their menu commands. kAbout %1: the application's name;
// kAboutText %1: its name, %2: its version, %3: Qt's version.
inline const QString kAbout = QStringLiteral("About %1");
inline const QString kAboutText = QStringLiteral(
    "<h3>%1</h3><p>Version %2</p><p>A mapping editor for Logic Pro's control-surface parameter-order files: "
    "which plug-in parameter your control surface shows on which control.</p><p>Built with Qt %3.</p>");
inline const QString kPreferencesMenu = QStringLiteral("Preferences...");
inline const QString kPreferencesTitle = QStringLiteral("Preferences");
inline const QString kCommunityUrlLabel = QStringLiteral("Community server:");
inline const QString kCommunityUrlUnusable =
    QStringLiteral("The address must begin with http:// or https:// and name a server, as in https://example.org/.");
// %1: the variable's value.
inline const QString kCommunityUrlOverridden =
    QStringLiteral("OVCORVANTA_COMMUNITY_URL is set, so the editor talks to %1 instead.");

} // namespace ov::ui::texts
