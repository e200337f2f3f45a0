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
using mapping::texts::kStepClearPage;
using mapping::texts::kStepDeletePage;
using mapping::texts::kStepFill;
using mapping::texts::kStepNewPage;

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

// ---- the window's widgets: headings, buttons, menus, list columns, the community windows ----

// The modified marker's place in the title; Qt puts the application's name after the title.
inline const QString kMainWindowTitle = QStringLiteral("[*]");
inline const QString kPluginModeBox = QStringLiteral("Plugin mode");
inline const QString kInstrumentMode = QStringLiteral("Instrument");
inline const QString kInsertEffectMode = QStringLiteral("Insert/Effect");

inline const QString kPluginsHeading = QStringLiteral("Plugins");
inline const QString kScanForPlugins = QStringLiteral("Scan for plugins");
inline const QString kParametersHeading = QStringLiteral("Plugin Parameters");
inline const QString kSearchPlaceholder = QStringLiteral("Search");
inline const QString kSearchParametersName = QStringLiteral("Search the parameters");
// %1: the shortcut.
inline const QString kSearchParametersTip =
    QStringLiteral("Show only the parameters whose name or number holds this text (%1)");
inline const QString kHideMapped = QStringLiteral("Hide mapped");
inline const QString kHideMappedTip = QStringLiteral("Show only the parameters that stand on no control yet");

inline const QString kMappingHeading = QStringLiteral("Mapping");
inline const QString kSaveMapping = QStringLiteral("Save Mapping");
inline const QString kRecallOriginal = QStringLiteral("Recall Original");
inline const QString kRecallPrevious = QStringLiteral("Recall Previous");
inline const QString kCreateChart = QStringLiteral("Create Chart");
// The plug-in's folder opens in the file manager: in Finder on macOS.
#ifdef Q_OS_MACOS
inline const QString kOpenFolder = QStringLiteral("Show in Finder");
#else
inline const QString kOpenFolder = QStringLiteral("Open Folder");
#endif
inline const QString kHelpButton = QStringLiteral("Help");
inline const QString kFileCaption = QStringLiteral("File:");
inline const QString kFileLocationName = QStringLiteral("The plug-in's file");

// The page box; its New, Clear and Delete Page buttons carry their undo steps' names.
inline const QString kPageBox = QStringLiteral("Page");
inline const QString kPreviousButton = QStringLiteral("Previous");
inline const QString kNextButton = QStringLiteral("Next");
inline const QString kFirstButton = QStringLiteral("First");
inline const QString kLastButton = QStringLiteral("Last");
inline const QString kMovePageBox = QStringLiteral("Move this page");
inline const QString kBackButton = QStringLiteral("Back");
inline const QString kForwardButton = QStringLiteral("Forward");
inline const QString kToFirstButton = QStringLiteral("To First");
inline const QString kToLastButton = QStringLiteral("To Last");

// The front panel's knobs. %1: the control's number.
inline const QString kControlToolTip = QStringLiteral("Put the selected parameter on control %1");
inline const QString kControlName = QStringLiteral("Control %1");
inline const QString kClearControl = QStringLiteral("Clear Control");

// The menus; the File menu's commands carry their buttons' texts.
inline const QString kFileMenu = QStringLiteral("&File");
inline const QString kSaveApplicationData = QStringLiteral("Save Application Data");
inline const QString kApplicationDataSaved = QStringLiteral("Application data saved");
inline const QString kQuit = QStringLiteral("Quit");
inline const QString kEditMenu = QStringLiteral("&Edit");
inline const QString kSearchParameters = QStringLiteral("Search Parameters");
inline const QString kPageMenu = QStringLiteral("&Page");
inline const QString kPreviousPage = QStringLiteral("Previous Page");
inline const QString kNextPage = QStringLiteral("Next Page");
inline const QString kFirstPage = QStringLiteral("First Page");
inline const QString kLastPage = QStringLiteral("Last Page");
inline const QString kMovePageBack = QStringLiteral("Move Page Back");
inline const QString kMovePageForward = QStringLiteral("Move Page Forward");
inline const QString kMovePageToFirst = QStringLiteral("Move Page to First");
inline const QString kMovePageToLast = QStringLiteral("Move Page to Last");
inline const QString kGoToPage = QStringLiteral("Go to Page...");
inline const QString kGoToPageTitle = QStringLiteral("Go to Page");
// %1: the last page.
inline const QString kGoToPagePrompt = QStringLiteral("Page (1 to %1):");
inline const QString kHelpMenu = QStringLiteral("&Help");

// The lists' column headings.
inline const QString kParamNumColumn = QStringLiteral("No.");
inline const QString kParameterColumn = QStringLiteral("Parameter");
inline const QString kMappedColumn = QStringLiteral("Mapped");
inline const QString kTypeColumn = QStringLiteral("Type");
inline const QString kPluginColumn = QStringLiteral("Plugin");
inline const QString kStateColumn = QStringLiteral("State");
inline const QString kUserColumn = QStringLiteral("User");
inline const QString kUploadedColumn = QStringLiteral("Uploaded");
inline const QString kDownloadsColumn = QStringLiteral("Downloads");
inline const QString kCommentsColumn = QStringLiteral("Comments");

inline const QString kOkButton = QStringLiteral("OK");

// What each command does, shown as the tooltip of its menu entry and its button. kTipWithShortcut
// %1: the tip, %2: the command's shortcut.
inline const QString kTipWithShortcut = QStringLiteral("%1 (%2)");
inline const QString kTipScan = QStringLiteral("Search Logic's plug-in settings folders and list the plug-ins found");
inline const QString kTipSave =
    QStringLiteral("Write the mapping into the plug-in's file; the file as it was is kept as the .prev backup, "
                   "and the very first one as the .original backup");
inline const QString kTipRecallOriginal =
    QStringLiteral("Replace the plug-in's file with the .original backup, the file as it was before the first "
                   "save, and open it");
inline const QString kTipRecallPrevious = QStringLiteral(
    "Replace the plug-in's file with the .prev backup, the file as it was before the last save, and open it");
inline const QString kTipChart = QStringLiteral("Write a chart of every page of the mapping as a web page and open it");
inline const QString kTipOpenFolder = QStringLiteral("Open the folder that holds the plug-in's file");
inline const QString kTipSaveApplicationData =
    QStringLiteral("Write the application's own saved-data store to disk; the mapping is saved with Save Mapping");
inline const QString kTipQuit = QStringLiteral("Quit, asking first about unsaved changes");
inline const QString kTipUndo = QStringLiteral("Take back the last change to the mapping");
inline const QString kTipRedo = QStringLiteral("Make the change just taken back again");
inline const QString kTipPreferences = QStringLiteral("Choose the community server");
inline const QString kTipSearch = QStringLiteral("Put the keyboard in the parameter list's search field");
inline const QString kTipFill = QStringLiteral(
    "Lay the parameters that stand on no control yet onto the empty controls from the current one onward");
inline const QString kTipCopyMapping =
    QStringLiteral("Copy the mapping of another plug-in onto this one, matching parameters by name");
inline const QString kTipSaveLayout =
    QStringLiteral("Keep the names on this mapping's pages and controls as a layout, to put on other plug-ins");
inline const QString kTipApplyLayout =
    QStringLiteral("Put a saved layout on this plug-in, matching its parameters by name; Undo takes it back");
inline const QString kTipApplyLayoutToPlugins =
    QStringLiteral("Put a saved layout on the plug-ins you tick and save each of them, with its backups");
inline const QString kTipRepairMapping = QStringLiteral(
    "Move each marked control onto this plug-in's parameter of the same name, or empty it when there is none");
inline const QString kTipBackUp =
    QStringLiteral("Write every plug-in's mapping, with its backups, into one zip archive");
inline const QString kTipRestore = QStringLiteral(
    "Read a backup archive and write back the mappings you tick; each one replaced is kept as its .prev backup");
inline const QString kTipDisplayWidthOff = QStringLiteral("Show the names only, not cut to a display's width");
// %1: characters.
inline const QString kTipDisplayWidth = QStringLiteral(
    "Show each name also cut to its first %1 characters, and mark controls of a page that then show the same");
inline const QString kTipPreviousPage = QStringLiteral("Show the previous page");
inline const QString kTipNextPage = QStringLiteral("Show the next page");
inline const QString kTipFirstPage = QStringLiteral("Show the first page");
inline const QString kTipLastPage = QStringLiteral("Show the last page");
inline const QString kTipGoToPage = QStringLiteral("Show the page of the number you type");
inline const QString kTipNewPage = QStringLiteral("Add an empty page after the last one and show it");
inline const QString kTipClearPage = QStringLiteral("Empty every control of the page shown");
inline const QString kTipDeletePage = QStringLiteral("Delete the page shown; the pages after it move up");
inline const QString kTipMovePageBack = QStringLiteral("Exchange the page shown with the one before it");
inline const QString kTipMovePageForward = QStringLiteral("Exchange the page shown with the one after it");
inline const QString kTipMovePageToFirst = QStringLiteral("Exchange the page shown with the first page");
inline const QString kTipMovePageToLast = QStringLiteral("Exchange the page shown with the last page");
inline const QString kTipHelp = QStringLiteral("Show brief instructions on use");
inline const QString kTipAbout = QStringLiteral("Show the application's version");
inline const QString kTipSignIn = QStringLiteral("Sign in to the community library, or create a user");
inline const QString kTipSignOut = QStringLiteral("Sign out of the community library and forget the stored PIN code");
inline const QString kTipShare = QStringLiteral("Upload this mapping to the community library for others to use");
inline const QString kTipSharedMappings =
    QStringLiteral("List the mappings other users shared for this plug-in, to load one into the editor");
inline const QString kTipInstrumentMode =
    QStringLiteral("Treat the plug-in as an instrument; the file is read again and the mode is saved with it");
inline const QString kTipInsertEffectMode =
    QStringLiteral("Treat the plug-in as an insert or effect; the file is read again and the mode is saved with it");

// Layouts: one arrangement of names put on many plug-ins.
inline const QString kSaveLayoutMenu = QStringLiteral("Save Layout...");
inline const QString kApplyLayoutMenu = QStringLiteral("Apply Layout...");
inline const QString kApplyLayoutToPluginsMenu = QStringLiteral("Apply Layout to Plug-ins...");
inline const QString kSaveLayoutPrompt = QStringLiteral("Save the open mapping's names as a layout named:");
inline const QString kApplyLayoutPrompt = QStringLiteral("Put which layout on the open plug-in?");
inline const QString kApplyLayoutToPluginsPrompt = QStringLiteral("Put which layout on other plug-ins?");
// %1: the layout's name, %2: controls in it.
inline const QString kLayoutSaved = QStringLiteral("Layout \"%1\" saved with %2 controls");
inline const QString kLayoutNotSaved = QStringLiteral("Layout not saved");
// %1: the layout's name.
inline const QString kReplaceLayoutQuestion = QStringLiteral("Replace the layout \"%1\"?");
inline const QString kReplaceLayoutInfo =
    QStringLiteral("A layout of this name exists; its arrangement is replaced by the open mapping's.");
inline const QString kReplaceLayoutButton = QStringLiteral("Replace");
// %1: the file, %2: why.
inline const QString kLayoutNotSavedInfo = QStringLiteral("%1 could not be written: %2");
inline const QString kNoLayouts = QStringLiteral("No layouts yet");
// %1: the layouts folder.
inline const QString kNoLayoutsInfo =
    QStringLiteral("Save one with Edit > Save Layout... first. Layouts are kept in %1.");
// %1: the layout's name.
inline const QString kLayoutApplied = QStringLiteral("Layout \"%1\" applied");
inline const QString kLayoutNotApplied = QStringLiteral("Layout \"%1\" not applied");
// %1: the layout's name; the window lists the plug-ins with their matched controls.
inline const QString kApplyLayoutTitle = QStringLiteral("Apply Layout \"%1\" to Plug-ins");
inline const QString kApplyLayoutExplanation =
    QStringLiteral("Each ticked plug-in's mapping is replaced by the layout and saved, with its backups. "
                   "The open plug-in is not listed: use Edit > Apply Layout... for it.");
inline const QString kMatchedColumn = QStringLiteral("Controls matched");
// %1: controls matched, %2: controls of the layout.
inline const QString kMatchedOf = QStringLiteral("%1 of %2");
inline const QString kCannotRead = QStringLiteral("cannot be read: %1");
inline const QString kSaveTicked = QStringLiteral("Save Ticked");
inline const QString kReadingPlugins = QStringLiteral("Reading every plug-in's mapping...");
// %1: the plug-in being saved.
inline const QString kSavingPlugin = QStringLiteral("Saving %1...");
// %1: plug-ins saved, %2: failed, %3: not done because of Cancel.
inline const QString kLayoutRunSummary = QStringLiteral("%1 saved, %2 failed, %3 cancelled");
// One line of a summary: %1 the plug-in, %2 its type, %3 why.
inline const QString kPluginFailedLine = QStringLiteral("%1 [%2]: %3");

// Checking a mapping against the plug-in's own parameters.
inline const QString kRepairMappingMenu = QStringLiteral("Repair Mapping");
inline const QString kNothingToRepair =
    QStringLiteral("Nothing to repair: every control holds a parameter of this plugin");
// After loading a shared mapping. %1: controls that hold no parameter of this plug-in.
inline const QString kSharedMisfits =
    QStringLiteral("%1 controls hold a parameter this plugin does not have; they are marked. "
                   "Edit > Repair Mapping moves them by name before you save.");

// Names as a hardware display shows them.
inline const QString kDisplayWidthMenu = QStringLiteral("Display Width");
inline const QString kDisplayWidthOff = QStringLiteral("Off");
// %1: characters.
inline const QString kDisplayWidthChoice = QStringLiteral("First %1 Characters");
// %1: characters, %2: the cut name.
inline const QString kCutNameLine = QStringLiteral("A %1-character display shows its first %1 characters: \"%2\"");
// A strip's second line with the cut name: %1 the parameter's number, %2 the cut name.
inline const QString kCutNameDetail = QStringLiteral("%1  [%2]");
inline const QString kViewMenu = QStringLiteral("&View");
// %1: the other control, or the other controls ("3, 7").
inline const QString kNameClashLine = QStringLiteral("Shows the same as control %1");
inline const QString kNameClashLines = QStringLiteral("Shows the same as controls %1");
inline const QString kDisplayWidthShown = QStringLiteral(
    "Names cut to their first %1 characters, as a %1-character display shows them; same cut names are marked");
inline const QString kDisplayWidthHidden = QStringLiteral("Display names off");

// The whole library, backed up and restored.
inline const QString kBackUpMenu = QStringLiteral("Back Up All Mappings...");
inline const QString kRestoreMenu = QStringLiteral("Restore Mappings...");
inline const QString kZipFilter = QStringLiteral("Zip archives (*.zip)");
// %1: the date.
inline const QString kBackupFileName = QStringLiteral("Logic Mappings %1.zip");
inline const QString kBackingUp = QStringLiteral("Backing up every mapping...");
inline const QString kReadingBackup = QStringLiteral("Reading the backup...");
inline const QString kRestoring = QStringLiteral("Restoring the ticked mappings...");
inline const QString kBackupFailed = QStringLiteral("Nothing backed up");
// %1: mappings backed up, %2: left out.
inline const QString kBackupDone = QStringLiteral("%1 mappings backed up, %2 left out");
inline const QString kRestoreFailed = QStringLiteral("Nothing restored");
inline const QString kRestoreTitle = QStringLiteral("Restore Mappings");
inline const QString kRestoreExplanation = QStringLiteral(
    "Each ticked mapping is written as a save writes it: the one it replaces becomes its previous version.");
inline const QString kRestoreStateColumn = QStringLiteral("On this Mac");
inline const QString kRestoreSame = QStringLiteral("same");
// %1: controls that differ.
inline const QString kRestoreDiffers = QStringLiteral("differs (%1 controls)");
inline const QString kRestoreDiffersUnread = QStringLiteral("differs");
inline const QString kRestoreNew = QStringLiteral("new");
// %1: why.
inline const QString kRestoreRefused = QStringLiteral("refused: %1");
inline const QString kRestoreTicked = QStringLiteral("Restore Ticked");
// %1: restored, %2: failed or refused.
inline const QString kRestoreDone = QStringLiteral("%1 mappings restored, %2 failed");
inline const QString kRestoreNewPlugins = QStringLiteral("Scan for Plug-ins to list the plug-ins restored as new.");

// The window with ticks.
inline const QString kSelectAll = QStringLiteral("Select All");
inline const QString kSelectNone = QStringLiteral("Select None");
inline const QString kAllTypes = QStringLiteral("All types");
inline const QString kFilterByName = QStringLiteral("Filter by name");

// The community library: the main window's pane, the wait notice and the three windows.
inline const QString kCommunityLibrary = QStringLiteral("Community Library");
inline const QString kOpenSignIn = QStringLiteral("Sign In...");
inline const QString kSignOut = QStringLiteral("Sign Out");
inline const QString kShareMapping = QStringLiteral("Share Mapping...");
inline const QString kSharedMappings = QStringLiteral("Shared Mappings...");
inline const QString kSignInTitle = QStringLiteral("Community Library: Sign In");
inline const QString kSignInBox = QStringLiteral("Sign in");
inline const QString kSignInButton = QStringLiteral("Sign In");
inline const QString kUserNameField = QStringLiteral("User name:");
inline const QString kPinCodeField = QStringLiteral("PIN code:");
inline const QString kNewUserBox = QStringLiteral("New user");
inline const QString kEmailField = QStringLiteral("E-mail address:");
inline const QString kCreateUserButton = QStringLiteral("Create User");
inline const QString kUploadTitle = QStringLiteral("Community Library: Share Mapping");
inline const QString kUploadCommentsCaption = QStringLiteral("Comments for other users of this mapping:");
inline const QString kUploadButton = QStringLiteral("Upload");
inline const QString kDownloadTitle = QStringLiteral("Community Library: Shared Mappings");
// %1: kDownloadTitle, %2: the plug-in's name.
inline const QString kDownloadTitleFor = QStringLiteral("%1 for %2");
inline const QString kDownloadCommentsCaption = QStringLiteral("Comments:");
inline const QString kDownloadPreviewCaption = QStringLiteral("First page:");
inline const QString kDeleteSharedButton = QStringLiteral("Delete");
inline const QString kCloseButton = QStringLiteral("Close");
// The user column's mark on a mapping the signed-in user shared; %1: the user name.
inline const QString kSharedByYou = QStringLiteral("%1 (you)");
inline const QString kLoadIntoEditor = QStringLiteral("Load Into Editor");

} // namespace ov::ui::texts
