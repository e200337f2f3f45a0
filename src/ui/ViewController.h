#pragma once

#include "EditorState.h"
#include "View.h"

#include "catalogue/Diagnostics.h"
#include "catalogue/PluginScan.h"
#include "mapping/PlistDocument.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

namespace ov::community {
class CommunityClient;
class PendingExchange;
} // namespace ov::community

namespace ov::ui {

// What the controller is given of the machine it runs on.
struct ControllerEnvironment final {
    // The folders the plug-in scan walks, in order; asked again at every scan.
    std::function<QVector<catalogue::ScanRoot>()> scanRoots;
    // The console log.
    catalogue::LogSink log = catalogue::logDiagnostic;
    // The community library's server; without one the community actions do nothing.
    community::CommunityClient *community = nullptr;
    // The per-user settings store, where the community credentials ("uName", "uPIN") are kept.
    std::function<QString(const QString &key)> readSetting = {};
    std::function<void(const QString &key, const QString &value)> writeSetting = {};
};

// Every operation of the main window, under its own name. The controller keeps no state of its own:
// the mapping document lives in the EditorState it is given, the lists and labels in the View. Each
// operation asks the document to act, then shows what it did.
class ViewController final {
public:
    ViewController(EditorState &state, View &view, ControllerEnvironment environment);
    // Drops the start-up sign-in check if it still runs.
    ~ViewController();
    Q_DISABLE_COPY_MOVE(ViewController)

    // Start-up, once the window exists: the plug-in scan; no plug-in is open afterwards.
    void viewDidLoad();

    // The plug-in scan.
    void btnRunCheck();
    catalogue::PluginList checkFiles(const QString &root, const QString &typeLabel);

    // Opening a plug-in, and the plug-in mode.
    void tablePluginSelected();
    void tablePlistView() { }
    void plugInSelected();
    void changePlugInMode(int mode, int readPlist);
    void ovPluginMode_Changed();
    void updateHelperDisplay(const QString &text);

    // Loading a parameter-order file.
    // Gives the file its list of unique parameters if it lacks one; returns the file's content as it
    // now stands, which the load that follows reads instead of the file; nothing when the file exists
    // but cannot be read as a property list (the user has been told).
    std::optional<mapping::PlistDocument> oravelizePlistFile(const QString &path);
    void readPlistFile(const QString &path, int checkMode);
    // `keptParameters`, when given, stands in for the document's available-parameter list.
    void readPlistFile(const QString &path, const mapping::PlistDocument &document, int checkMode,
                       const std::optional<QVector<mapping::ParameterEntry>> &keptParameters = std::nullopt);

    // The relabel: makes `page` current and writes the 32 labels, the page indicators and the chart text.
    void populateKnobLabels(int page);

    // Editing the table.
    void moveParameterPosition(int from, int to, int movePageMode);
    void clickControl(int control);
    void ovRotBtn_Pressed(int control) { clickControl(control); }
    void prevPageButtonPressed();
    void nextPageButtonPressed();
    void firstPageButtonPressed();
    void lastPageButtonPressed();
    void newPageButtonPressed() { addControlsPage(); }
    void deletePageButtonPressed() { removeControlsPage(); }
    void clearAllPagesButtonPressed() { clearThisPage(); }
    void addControlsPage();
    void removeControlsPage();
    void clearThisPage();
    void movePage(int fromPage, int toPage);
    void ovMovePage_First();
    void ovMovePage_Last();
    void ovMovePage_Prev();
    void ovMovePage_Next();

    // Saving with backups, and recall.
    void ovExportToPlist() { exportToPlist(); }
    // Returns whether the mapping was saved.
    bool exportToPlist();
    void ovRecallOriginalMapping();
    void ovRecallPreviousMapping();
    void recallOriginalMapping(const QString &suffix);

    // The chart.
    void ovCreateChart();
    void outputChartAs(const QString &format);

    // The controller's own services.
    void btnOpenInFinder() { openInFinder(); }
    void openInFinder();
    void ovHelpMe();
    void alertUser(const QString &message, const QString &informativeText);
    void closeAllAuxillaryWindows();

    // The community library: the account.
    void ovLoginToCloudAccount();
    void cwinLoginAttempt();
    void cwinNewUserCreate();
    // Signs out, and forgets the stored PIN code so that the next start does not sign in again; the
    // user name stays, to sign in with again.
    void ovSignOut();
    void writePrefsFile(const QString &userName, const QString &pinCode);
    void readPrefsFile();
    void changeLoginState(const QString &userName, int state);
    // Uploading the open plug-in's file.
    void ovCommunityLibrary();
    void ovCommunityUploadBtn();
    // Listing, downloading and loading shared mappings.
    void ovCommunityLibraryDownload();
    void cwin_DownloadAvalableHighlighted();
    // Draws the highlighted mapping's first page small in the download window, once its file came.
    void cwinPreviewHighlighted();
    // Deletes the highlighted mapping, one the signed-in user shared, after a question.
    void cwinDeleteShared();
    void ovCommunityLoadSelectedDownload();
    void startDownloadingURL(const QString &url, const QString &localPath);
    // The end of a download started for `localPath`.
    void downloadDidFinish(const QString &localPath);
    // `byServer`: the server did not answer with the file; otherwise it could not be written.
    void downloadFailed(const QString &error, const QString &url, bool byServer);

    // ---- editing: unsaved edits, undo and redo, drag and drop ----

    // To be asked before anything replaces the open mapping. With unsaved edits it asks "Save",
    // "Discard" or "Cancel": Save saves and goes on only when the save succeeded, Discard goes on,
    // Cancel stops. Without unsaved edits it asks nothing. Returns whether to go on.
    bool confirmUnsavedEdits();
    // Whether the table or the mode differs from what the plug-in's own file held when it was last
    // loaded or saved.
    bool hasUnsavedEdits() const;
    // Take back the last change to the table, or do it again; the page shown and the page count
    // come back with it.
    void ovUndo();
    void ovRedo();
    // A parameter of the list (its row in arranged order) dropped on a control of the page shown.
    void dropParameterOnControl(int row, int control);
    // One control of the page shown dragged onto another: the two exchange their parameters.
    void swapControls(int fromControl, int toControl);

    // ---- fill, copy a mapping from another plug-in, show changes ----

    // Lays the parameters that stand on no control yet and that the list's search finds onto the
    // empty controls from `control` of the page shown onward, appending pages as needed.
    void fillFromHere(int control);
    // Asks for a plug-in of the list and copies its mapping by parameter names.
    void ovCopyMappingFrom();
    // Makes the table that of the file at `path` by parameter names; `from` names it in the report.
    void copyMappingFrom(const QString &path, const QString &from);
    // Marks every control whose parameter differs from `base`, and says which pages hold changes.
    void showChanges(ChangesBase base);

private:
    // Enables or disables every button that needs an open plug-in, then those that need more.
    void setPluginButtonsEnabled(bool enabled);
    // Buttons that need more than an open plug-in: paging and moving the page shown need a page
    // beyond it, recall needs its backup, sharing needs a signed-in user.
    void showPageButtons();
    void showRecallButtons();
    void showShareButton();
    // The panel with no plug-in open: "-" on every control and no page count.
    void showNoPluginOpen();

    // ---- editing ----
    bool askToSaveUnsavedEdits();
    void mappingSaved();
    void mappingClosed();
    // After every change to the table: the relabel of the page shown, then what follows the table.
    void showEdited();
    // Where parameters stand, the panel's marks, the modified marker and the Undo and Redo commands.
    void showTableChanged();
    void showEditState();
    void showAlsoOnMarks(int page);

    // ---- show changes ----
    // The pages that hold changes, and the marks of the page shown.
    void showChangedPages();
    void showChangeMarks(int page);

    // ---- the community library ----
    // Tells the user that the server did not answer, and why (`failure`); false, with nothing
    // shown, when `failure` is empty: the server answered.
    bool alertServerFailure(const QString &failure);
    // Shows the list with the signed-in user's mappings marked, the row of `selectPatchId` (else the
    // first) highlighted.
    void showDownloadList(QVector<community::DownloadListEntry> entries, const QString &selectPatchId);
    // Lists the open plug-in's shared mappings again; false, with the list as it was, when the server
    // did not answer.
    bool refreshDownloadList(const QString &selectPatchId);

    EditorState &m_state;
    View &m_view;
    ControllerEnvironment m_environment;
    // The start-up sign-in check, which runs while the user works; a sign-in or sign-out drops it.
    QPointer<community::PendingExchange> m_startUpCheck;
    // The file behind the download window's preview, while it comes.
    QPointer<community::PendingExchange> m_previewFetch;
};

} // namespace ov::ui
