#pragma once

#include "ui/View.h"

#include <QMap>
#include <QMainWindow>
#include <QMessageBox>
#include <QPersistentModelIndex>

#include <functional>
#include <memory>

class QAction;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSortFilterProxyModel;
class QTableView;

namespace ov::ui {
class ViewController;
}

namespace ov::ui::qt {

class DownloadWindow;
class FrontPanel;
class SignInWindow;
class UploadWindow;
class ParameterFilterModel;
class ParameterListModel;
class PluginListModel;

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
    // The auxiliary windows that closeWindow() and showWindow() reach.
    void registerWindow(Window window, QWidget *widget) { m_windows.insert(window, widget); }

    QAction *saveApplicationDataAction() const { return m_saveApplicationDataAction; }
    QAction *quitAction() const { return m_quitAction; }

    // View
    void setLabelText(Label label, const QString &text) override;
    QString labelText(Label label) const override;
    void setControlLabel(int control, const QString &text) override;
    void setControlToolTip(int control, const QString &toolTip) override;
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
    QString fieldText(Field field) const override;
    void setFieldText(Field field, const QString &text) override;
    void setDownloadList(const QVector<community::DownloadListEntry> &entries) override;
    std::optional<community::DownloadListEntry> selectedDownload() const override;
    void setDownloadSelectionIndex(int row) override;

    SignInWindow *signInWindow() const { return m_signInWindow.get(); }
    UploadWindow *uploadWindow() const { return m_uploadWindow.get(); }
    DownloadWindow *downloadWindow() const { return m_downloadWindow.get(); }

    // View: editing
    SaveAnswer askToSave(const QString &message, const QString &informativeText) override;
    bool askToDiscard(const QString &message, const QString &informativeText) override;
    void setMappingModified(bool modified) override;
    void setUndoRedo(bool canUndo, const QString &undoText, bool canRedo, const QString &redoText) override;
    void setParameterPlacements(const QStringList &placements) override;
    void setControlAlsoOn(int control, const QString &line) override;
    void selectPlugin(const catalogue::PluginRecord &record) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildHeader();
    QWidget *buildPluginPane();
    QWidget *buildParameterPane();
    QWidget *buildMappingPane();
    QWidget *buildPanelPane();
    QWidget *buildCommunityPane(QWidget *parent);
    void buildCommunityWindows();
    void attachCommunity();
    // The text field of a community window.
    QWidget *fieldWidget(Field field) const;
    void buildMenus();
    QPushButton *addButton(Button button, const QString &text, const QString &objectName);
    // The plug-in list's chosen row (clicked, or Return pressed on it) becomes the selection the
    // controller reads, and the controller is told.
    void choosePlugin(const QModelIndex &proxyIndex);

    ViewController *m_controller = nullptr;
    Opener m_opener;
    int m_busyDepth = 0;

    QMap<Label, QLabel *> m_labels;
    QMultiMap<Button, QWidget *> m_buttonWidgets;
    QMultiMap<Button, QAction *> m_buttonActions;
    QMap<Window, QWidget *> m_windows;

    PluginListModel *m_pluginModel = nullptr;
    QSortFilterProxyModel *m_pluginProxy = nullptr;
    QTableView *m_pluginTable = nullptr;
    QPersistentModelIndex m_chosenPlugin; // in m_pluginModel

    ParameterListModel *m_parameterModel = nullptr;
    ParameterFilterModel *m_parameterProxy = nullptr;
    QTableView *m_parameterTable = nullptr;
    QLineEdit *m_parameterSearch = nullptr;

    FrontPanel *m_panel = nullptr;
    QButtonGroup *m_modeGroup = nullptr;
    QRadioButton *m_modeButtons[2] = {nullptr, nullptr}; // by column

    QAction *m_saveApplicationDataAction = nullptr;
    QAction *m_quitAction = nullptr;

    // The community windows are windows of their own, like the main one: the application quits when
    // the last of them closes.
    std::unique_ptr<SignInWindow> m_signInWindow;
    std::unique_ptr<UploadWindow> m_uploadWindow;
    std::unique_ptr<DownloadWindow> m_downloadWindow;

    // ---- editing: undo and redo, where parameters stand, drag and drop, the keyboard ----
    void buildEditMenu();
    void attachEditing(ViewController &controller);
    // A parameter of the list (`row` in the list's own order) dropped on `control`.
    void dropParameter(int control, int row, const mapping::ParameterEntry &entry);
    // A modal warning with `buttons` (role and title), answered with the index of the button chosen;
    // Return chooses `defaultButton`, closing it chooses the last.
    int askQuestion(const QString &objectName, const QString &message, const QString &informativeText,
                    const QList<std::pair<QMessageBox::ButtonRole, QString>> &buttons, int defaultButton);

    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
    QCheckBox *m_hideMapped = nullptr;
};

} // namespace ov::ui::qt
