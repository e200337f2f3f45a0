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

inline const QString kMainWindowTitle = QStringLiteral("ovCorvanta Logic Tool[*]");
inline const QString kPluginModeBox = QStringLiteral("Plugin mode");
inline const QString kInstrumentMode = QStringLiteral("Instrument");
inline const QString kInsertEffectMode = QStringLiteral("Insert/Effect");

inline const QString kPluginsHeading = QStringLiteral("Plugins");
inline const QString kScanForPlugins = QStringLiteral("Scan for plugins");
inline const QString kParametersHeading = QStringLiteral("Plugin Parameters");
inline const QString kSearchPlaceholder = QStringLiteral("Search");
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

// The menus; the File menu's commands carry their buttons' texts.
inline const QString kFileMenu = QStringLiteral("&File");
inline const QString kSaveApplicationData = QStringLiteral("Save Application Data");
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
