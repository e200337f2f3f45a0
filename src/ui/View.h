#pragma once

#include "catalogue/PluginRecord.h"
#include "community/DownloadList.h"
#include "mapping/ParameterEntry.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

namespace ov::ui {

// The window's text labels that the logic writes or reads, by their outlet names.
enum class Label {
    labOCScreen_Title,          // the open plug-in, or the prompt to select one
    labPluginPlistLocation,     // full path of the open parameter-order file
    mainTitle_Sub,              // the mapper of the current mode
    labelHelperDisplay,         // status line
    lab_PageCurrentlyDisplayed, // "Page 2 of 5"
    labTotalPagesIndicator,     // "5 Pages"
    labLoggedInAs,              // "Logged in as ann", or "Not Logged In"
    labChangedPages,            // Show Changes: the pages that hold changes
};

// Buttons the logic enables and disables. FrontPanel stands for all 32 controls, PluginMode for the
// mode radio group.
enum class Button {
    firstPage,
    prevPage,
    nextPage,
    lastPage,
    newPage,
    deletePage,
    clearPage,
    movePageFirst,
    movePagePrev,
    movePageNext,
    movePageLast,
    FrontPanel,
    PluginMode,
    exportToPlist,
    recallOriginalMapping,
    recallPreviousMapping,
    createChart,
    openInFinder,
    ov_btn_cloudLibrary,         // opens the upload window; only while signed in with a plug-in open
    ov_btn_cloudLibraryDownload, // lists the shared mappings of the open plug-in
    ovSignOut,                   // only while signed in
    cwinDeleteShared,            // download window: deletes the highlighted mapping, one the signed-in user shared
};

// The text fields of the community windows.
enum class Field {
    cwinUserName,         // sign-in window: user name
    cwinPinCode,          // sign-in window: PIN code
    cwinUserNameNew,      // sign-in window: new user's name
    cwinEmailAddrNew,     // sign-in window: new user's e-mail address
    cwinUploadComments,   // upload window: comments to send
    cwinUploadedComments, // download window: comments of the highlighted shared mapping
};

enum class Window {
    cwinMainWindow,
    cwinUploadWindow,
    cwinDownloadWindow,
    cwinCloudWindow
};

// What the logic needs of the window, and nothing else. Controls are numbered 1 to 32; list rows
// are counted from 0 in the list's arranged order (as sorted and filtered on screen).
class View {
public:
    virtual ~View() = default;

    virtual void setLabelText(Label label, const QString &text) = 0;
    virtual QString labelText(Label label) const = 0;
    // The label of control `control` (ovControl1 ... ovControl32).
    virtual void setControlLabel(int control, const QString &text) = 0;
    virtual void setControlToolTip(int control, const QString &toolTip) = 0;
    // The parameter number shown under control `control`'s label; empty for none.
    virtual void setControlParamNum(int control, const QString &number) = 0;
    virtual void setButtonEnabled(Button button, bool enabled) = 0;

    // The plug-in list (myArrayController).
    virtual void setPluginList(const catalogue::PluginList &records) = 0;
    virtual std::optional<catalogue::PluginRecord> selectedPlugin() const = 0;

    // The available-parameter list (arrayControllerPlistSelected).
    virtual void setParameterList(const QVector<mapping::ParameterEntry> &entries) = 0;
    virtual std::optional<mapping::ParameterEntry> arrangedParameter(int row) const = 0;
    virtual int parameterSelectionIndex() const = 0; // -1 when no row is selected
    virtual void setParameterSelectionIndex(int row) = 0;
    // Moves the selection one row down; on the last row it stays.
    virtual void selectNextParameter() = 0;

    // The mode radio group (ovPluginMode): one row, column 0 tagged 1, column 1 tagged 0.
    virtual void selectPluginModeCell(int row, int column) = 0;
    virtual int selectedPluginModeTag() const = 0;

    // Brings a window to the front as key window, centred; closing one that is not shown does nothing.
    virtual void showWindow(Window window) = 0;
    virtual void closeWindow(Window window) = 0;

    // A modal warning alert with one "OK" button; returns when the user has dismissed it.
    virtual void runAlert(const QString &message, const QString &informativeText) = 0;
    // Opens a file or a folder with the user's default application; false when that failed.
    virtual bool openPath(const QString &path) = 0;
    // The busy cursor, for work the user waits for; calls nest.
    virtual void setBusy(bool busy) = 0;
    // While the user waits for the community server: a modal notice with `text` and one "Cancel"
    // button, which calls `cancel`. The window keeps painting and takes no other input until the
    // notice is closed.
    virtual void showWaitNotice(const QString &text, const std::function<void()> &cancel) = 0;
    virtual void closeWaitNotice() = 0;

    // The community windows' text fields.
    virtual QString fieldText(Field field) const = 0;
    virtual void setFieldText(Field field, const QString &text) = 0;
    // The download window's list of shared mappings (arrayController_downloadList).
    virtual void setDownloadList(const QVector<community::DownloadListEntry> &entries) = 0;
    virtual std::optional<community::DownloadListEntry> selectedDownload() const = 0;
    virtual void setDownloadSelectionIndex(int row) = 0;
    // The download window's drawing of the highlighted mapping's first page: the names of its 32
    // controls in order, or none to show nothing.
    virtual void setDownloadPreview(const QStringList &controlNames) = 0;

    // ---- editing: unsaved edits, undo and redo, where parameters stand ----

    enum class SaveAnswer {
        Save,
        Discard,
        Cancel
    };
    // A modal question with the buttons "Save", "Discard" and "Cancel"; closing it is Cancel.
    virtual SaveAnswer askToSave(const QString &message, const QString &informativeText) = 0;
    // A modal question with the buttons "Discard" and "Cancel", for when saving first would keep
    // nothing; true for Discard, closing it is Cancel.
    virtual bool askToDiscard(const QString &message, const QString &informativeText) = 0;
    // A modal question with the buttons `action` and "Cancel", for a step that cannot be undone;
    // true for `action`, while Return and closing it are Cancel.
    virtual bool askToConfirm(const QString &message, const QString &informativeText, const QString &action) = 0;
    // The window's modified marker: the open mapping has unsaved edits.
    virtual void setMappingModified(bool modified) = 0;
    // The Undo and Redo commands: whether each can run, and its text ("Undo Clear Page").
    virtual void setUndoRedo(bool canUndo, const QString &undoText, bool canRedo, const QString &redoText) = 0;
    // Where each parameter stands: the slots of each entry of the list last given to
    // setParameterList, in that list's own order, each in table order (empty when nowhere).
    virtual void setParameterPlacements(const QVector<QVector<int>> &placements) = 0;
    // Marks control `control` as holding a parameter that stands on other controls too, with a line
    // naming them; an empty line clears the mark.
    virtual void setControlAlsoOn(int control, const QString &line) = 0;
    // Makes the plug-in list's selection the row of `record` again (matched by its file).
    virtual void selectPlugin(const catalogue::PluginRecord &record) = 0;

    // ---- fill, copy a mapping from another plug-in, show changes ----

    // The text of the parameter list's search field.
    virtual QString parameterSearchText() const = 0;
    // Asks the user to pick a plug-in of the plug-in list; nothing when the user cancels.
    virtual std::optional<catalogue::PluginRecord> askForPlugin(const QString &prompt) = 0;
    // Marks control `control` as changed, with a line naming its former parameter; an empty line
    // clears the mark.
    virtual void setControlChanged(int control, const QString &line) = 0;
};

} // namespace ov::ui
