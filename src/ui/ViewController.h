#pragma once

#include "EditorState.h"
#include "View.h"

#include "catalogue/PluginScan.h"

#include <QString>

#include <functional>

namespace ov::community {
class CommunityClient;
}

namespace ov::ui {

// What the controller is given of the machine it runs on.
struct ControllerEnvironment final {
    // The folders the plug-in scan walks, in order; asked again at every scan.
    std::function<QVector<catalogue::ScanRoot>()> scanRoots;
    // The console log.
    catalogue::LogSink log = catalogue::logToStandardError;
    // The community library's server; without one the community actions do nothing.
    community::CommunityClient *community = nullptr;
    // The per-user settings store, where the community credentials ("uName", "uPIN") are kept.
    std::function<QString(const QString &key)> readSetting = {};
    std::function<void(const QString &key, const QString &value)> writeSetting = {};
};

// Every operation of the main window, under its own name. The controller keeps no state of its own:
// the mapping document lives in the EditorState it is given, the lists and labels in the View.
//
// The table changes only in readPlistFile (a load), moveParameterPosition (an assignment or a swap),
// addControlsPage, removeControlsPage and clearThisPage; everything else goes through them.
class ViewController final {
public:
    ViewController(EditorState &state, View &view, ControllerEnvironment environment);
    Q_DISABLE_COPY_MOVE(ViewController)

    // Start-up, once the window exists: the plug-in scan; no plug-in is open afterwards.
    void viewDidLoad();

    // The plug-in scan.
    void btnRunCheck();
    catalogue::PluginList checkFiles(const QString &root, const QString &typeLabel);

    // Opening a plug-in, and the plug-in mode.
    void tablePluginSelected();
    void tablePlistView() {}
    void plugInSelected();
    void changePlugInMode(int mode, int readPlist);
    void ovPluginMode_Changed();
    void updateHelperDisplay(const QString &text);

    // Loading a parameter-order file.
    void oravelizePlistFile(const QString &path);
    void readPlistFile(const QString &path, int checkMode);

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
    void exportToPlist();
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
    void writePrefsFile(const QString &userName, const QString &pinCode);
    void readPrefsFile();
    void changeLoginState(const QString &userName, int state);
    // Uploading the open plug-in's file.
    void ovCommunityLibrary();
    void ovCommunityUploadBtn();
    // Listing, downloading and loading shared mappings.
    void ovCommunityLibraryDownload();
    void cwin_DownloadAvalableHighlighted();
    void ovCommunityLoadSelectedDownload();
    void startDownloadingURL(const QString &url, const QString &localPath);
    // The end of a download started for `localPath`.
    void downloadDidFinish(const QString &localPath);
    void downloadFailed(const QString &error, const QString &url);

private:
    // Enables or disables every button that needs an open plug-in.
    void setPluginButtonsEnabled(bool enabled);
    // The panel with no plug-in open: "-" on every control and no page count.
    void showNoPluginOpen();

    EditorState &m_state;
    View &m_view;
    ControllerEnvironment m_environment;
};

} // namespace ov::ui
