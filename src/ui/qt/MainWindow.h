#pragma once

#include "ui/View.h"

#include <QMap>
#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;
class QLabel;
class QProgressDialog;
class QSplitter;

namespace ov::ui {
class ViewController;
}

namespace ov::ui::qt {

class CommunityPane;
class FrontPanel;
class MainMenus;
class MappingPane;
class PageBox;
class ParameterPane;
class PluginPane;
class WindowHeader;

// The main window: the plug-in list, the Plugin Parameters list, the front panel with its page
// controls, and the mapping's buttons. It shows what the controller tells it through View and sends
// every user action to the controller.
class MainWindow final : public QMainWindow, public View {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    // Opens a file or folder with the user's default application.
    using Opener = std::function<bool(const QString &path)>;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Sends the window's actions to `controller`; call once.
    void attach(ViewController &controller);
    void setOpener(Opener opener) { m_opener = std::move(opener); }

    QAction *saveApplicationDataAction() const;
    QAction *quitAction() const;
    QAction *preferencesAction() const;
    QAction *aboutAction() const;

    // View
    void setLabelText(Label label, const QString &text) override;
    QString labelText(Label label) const override;
    void setControlLabel(int control, const QString &text) override;
    void setControlToolTip(int control, const QString &toolTip) override;
    void setControlParamNum(int control, const QString &number) override;
    void setButtonEnabled(Button button, bool enabled) override;
    void setPluginList(const catalogue::PluginList &records) override;
    std::optional<catalogue::PluginRecord> selectedPlugin() const override;
    void setParameterList(const QVector<mapping::ParameterEntry> &entries) override;
    std::optional<mapping::ParameterEntry> arrangedParameter(int row) const override;
    int parameterSelectionIndex() const override;
    void setParameterSelectionIndex(int row) override;
    void selectNextParameter() override;
    void selectPluginModeCell(int row, int column) override;
    int selectedPluginModeTag() const override;
    void showWindow(Window window) override;
    void closeWindow(Window window) override;
    void runAlert(const QString &message, const QString &informativeText) override;
    bool openPath(const QString &path) override;
    void setBusy(bool busy) override;
    void showWaitNotice(const QString &text, const std::function<void()> &cancel) override;
    void closeWaitNotice() override;
    QString fieldText(Field field) const override;
    void setFieldText(Field field, const QString &text) override;
    void setDownloadList(const QVector<community::DownloadListEntry> &entries) override;
    std::optional<community::DownloadListEntry> selectedDownload() const override;
    void setDownloadSelectionIndex(int row) override;
    void setDownloadPreview(const QStringList &controlNames) override;

    // View: editing
    SaveAnswer askToSave(const QString &message, const QString &informativeText) override;
    bool askToDiscard(const QString &message, const QString &informativeText) override;
    bool askToConfirm(const QString &message, const QString &informativeText, const QString &action) override;
    void setMappingModified(bool modified) override;
    void setUndoRedo(bool canUndo, const QString &undoText, bool canRedo, const QString &redoText) override;
    void setParameterPlacements(const QVector<QVector<int>> &placements) override;
    void setControlAlsoOn(int control, const QString &line) override;
    void selectPlugin(const catalogue::PluginRecord &record) override;

    // View: fill, copy a mapping from another plug-in, show changes
    QString parameterSearchText() const override;
    std::optional<catalogue::PluginRecord> askForPlugin(const QString &prompt) override;
    void setControlChanged(int control, const QString &line) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildPanelPane();
    // The auxiliary windows that closeWindow() and showWindow() reach.
    void registerWindow(Window window, QWidget *widget) { m_windows.insert(window, widget); }
    // A parameter of the list (`row` in the list's own order) dropped on `control`.
    void dropParameter(int control, int row, const mapping::ParameterEntry &entry);
    // The window an alert or a question is shown over.
    QWidget *questionParent();
    // Shares the height between the lists and the front panel.
    void fitPanel();

    ViewController *m_controller = nullptr;
    Opener m_opener;
    int m_busyDepth = 0;
    QPointer<QProgressDialog> m_waitNotice;
    QPointer<QWidget> m_waitedIn; // the window the last wait notice was shown over

    QMap<Label, QLabel *> m_labels;
    QMultiMap<Button, QWidget *> m_buttonWidgets;
    QMap<Window, QWidget *> m_windows;

    WindowHeader *m_header = nullptr;
    QSplitter *m_lists = nullptr;
    PluginPane *m_plugins = nullptr;
    ParameterPane *m_parameters = nullptr;
    MappingPane *m_mapping = nullptr;
    CommunityPane *m_community = nullptr;
    QWidget *m_panelPane = nullptr;
    FrontPanel *m_panel = nullptr;
    PageBox *m_pageBox = nullptr;
    MainMenus *m_menus = nullptr;
};

} // namespace ov::ui::qt
