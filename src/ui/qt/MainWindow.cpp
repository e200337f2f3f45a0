#include "MainWindow.h"

#include "CommandTips.h"
#include "CommunityPane.h"
#include "DownloadListModel.h"
#include "DownloadWindow.h"
#include "ElidingLabel.h"
#include "FrontPanel.h"
#include "MainMenus.h"
#include "MappingPane.h"
#include "PageBox.h"
#include "ParameterPane.h"
#include "PluginChooser.h"
#include "PluginPane.h"
#include "Questions.h"
#include "SignInWindow.h"
#include "UploadWindow.h"
#include "WindowHeader.h"

#include "ui/UiTexts.h"
#include "ui/ViewController.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

namespace ov::ui::qt {

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("cwinMainWindow"));
    setWindowTitle(texts::kMainWindowTitle);
    m_opener = [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    m_windows.insert(Window::cwinMainWindow, this);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(10, 8, 10, 10);
    layout->setSpacing(8);
    m_header = new WindowHeader(this);
    m_labels.insert(Label::labOCScreen_Title, m_header->title());
    m_labels.insert(Label::mainTitle_Sub, m_header->subtitle());
    m_labels.insert(Label::labelHelperDisplay, m_header->status());
    m_buttonWidgets.insert(Button::PluginMode, m_header->modeBox());
    layout->addWidget(m_header);

    m_lists = new QSplitter(Qt::Horizontal, central);
    m_lists->setChildrenCollapsible(false);
    m_plugins = new PluginPane(this);
    m_lists->addWidget(m_plugins);
    m_parameters = new ParameterPane(this);
    m_lists->addWidget(m_parameters);
    m_mapping = new MappingPane(this);
    for (auto [button, pushButton] : m_mapping->buttons().asKeyValueRange())
        m_buttonWidgets.insert(button, pushButton);
    m_community = m_mapping->community();
    m_labels.insert(Label::labLoggedInAs, m_community->loggedInAs());
    m_buttonWidgets.insert(Button::ov_btn_cloudLibrary, m_community->shareButton());
    m_buttonWidgets.insert(Button::ov_btn_cloudLibraryDownload, m_community->sharedMappingsButton());
    m_buttonWidgets.insert(Button::ovSignOut, m_community->signOutButton());
    m_buttonWidgets.insert(Button::cwinDeleteShared, m_community->downloadWindow()->deleteButton());
    registerWindow(Window::cwinCloudWindow, m_community->signInWindow());
    registerWindow(Window::cwinUploadWindow, m_community->uploadWindow());
    registerWindow(Window::cwinDownloadWindow, m_community->downloadWindow());
    m_lists->addWidget(m_mapping);
    m_lists->setStretchFactor(0, 4);
    m_lists->setStretchFactor(1, 4);
    m_lists->setStretchFactor(2, 0);
    layout->addWidget(m_lists, 1);
    m_panelPane = buildPanelPane();
    // The panel takes the room up to its limit (fitPanel), the lists the rest.
    layout->addWidget(m_panelPane, 1000);
    setCentralWidget(central);
    central->installEventFilter(this);
    m_menus = new MainMenus(menuBar());
    connect(m_menus->searchAction(), &QAction::triggered, m_parameters, &ParameterPane::focusSearch);
    // A newly opened plug-in shows its whole list; a search for the last one would make it look short.
    connect(m_plugins, &PluginPane::pluginOpened, m_parameters, &ParameterPane::clearSearch);
    setTabOrderOfParts();
    // The work starts with choosing a plug-in.
    m_plugins->table()->setFocus();
    applyCommandTips(this);

    // As large as the screen allows (with room for a title bar), up to the size it was designed at.
    QSize size(1280, 900);
    if (const QScreen *shown = screen())
        size = size.boundedTo(shown->availableGeometry().size() - QSize(0, 40));
    resize(size.expandedTo(minimumSizeHint()));
}

MainWindow::~MainWindow() = default;

void MainWindow::setTabOrderOfParts()
{
    // The header, the plug-in list, the search and the parameter list, the panel and its page box,
    // then the mapping's and the community library's buttons.
    QList<QWidget *> order;
    const auto addPart = [&order](const QWidget *part) {
        for (QWidget *widget : part->findChildren<QWidget *>()) {
            if (widget->focusPolicy() != Qt::NoFocus)
                order.append(widget);
        }
    };
    addPart(m_header);
    addPart(m_plugins);
    order.append(m_parameters->tabStops());
    addPart(m_panel);
    addPart(m_pageBox);
    addPart(m_mapping);
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

QAction *MainWindow::saveApplicationDataAction() const
{
    return m_menus->saveApplicationDataAction();
}

QAction *MainWindow::quitAction() const
{
    return m_menus->quitAction();
}

QAction *MainWindow::preferencesAction() const
{
    return m_menus->preferencesAction();
}

QAction *MainWindow::aboutAction() const
{
    return m_menus->aboutAction();
}

QWidget *MainWindow::buildPanelPane()
{
    auto *pane = new QWidget(this);
    auto *column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);

    auto *fileRow = new QHBoxLayout;
    auto *fileCaption = new QLabel(texts::kFileCaption, pane);
    fileCaption->setForegroundRole(QPalette::PlaceholderText);
    auto *location = new ElidingLabel(1, Qt::ElideMiddle, pane);
    location->setObjectName(QStringLiteral("labPluginPlistLocation"));
    location->setTextInteractionFlags(Qt::TextSelectableByMouse);
    location->setAccessibleName(texts::kFileLocationName);
    fileRow->addWidget(fileCaption);
    fileRow->addWidget(location, 1);
    column->addLayout(fileRow);
    m_labels.insert(Label::labPluginPlistLocation, location);

    auto *row = new QHBoxLayout;
    row->setSpacing(10);
    m_panel = new FrontPanel(pane);
    row->addWidget(m_panel, 1);

    m_pageBox = new PageBox(pane);
    m_pageBox->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    for (auto [button, pushButton] : m_pageBox->buttons().asKeyValueRange())
        m_buttonWidgets.insert(button, pushButton);
    m_labels.insert(Label::lab_PageCurrentlyDisplayed, m_pageBox->currentPage());
    m_labels.insert(Label::labTotalPagesIndicator, m_pageBox->totalPages());
    m_labels.insert(Label::labChangedPages, m_pageBox->changedPages());
    row->addWidget(m_pageBox, 0);
    column->addLayout(row);
    return pane;
}

void MainWindow::attach(ViewController &controller)
{
    Q_ASSERT(!m_controller);
    m_controller = &controller;
    ViewController *c = m_controller;
    m_header->attach(controller);
    m_plugins->attach(controller);
    m_parameters->attach(controller);
    m_mapping->attach(controller);
    m_pageBox->attach(controller);
    m_menus->attach(controller);

    connect(m_panel, &FrontPanel::controlPressed, this, [c](int control) { c->ovRotBtn_Pressed(control); });
    connect(m_panel, &FrontPanel::parameterDropped, this,
            [this](int control, int row, const mapping::ParameterEntry &entry) { dropParameter(control, row, entry); });
    connect(m_panel, &FrontPanel::controlDropped, this, [c](int from, int to) { c->swapControls(from, to); });
    connect(m_panel, &FrontPanel::pageStepRequested, this, [c](int step) {
        if (step < 0)
            c->prevPageButtonPressed();
        else
            c->nextPageButtonPressed();
    });
    connect(m_panel, &FrontPanel::fillFromHereRequested, this, [c](int control) { c->fillFromHere(control); });
    connect(m_panel, &FrontPanel::clearRequested, this, [c](int control) { c->clearControl(control); });
    connect(m_menus, &MainMenus::fillFromHereRequested, this,
            [this, c] { c->fillFromHere(m_panel->currentControl()); });
}

void MainWindow::fitPanel()
{
    // The lists give way first: the panel keeps the room for its largest drawing while the lists show
    // at least kListRows rows; below that the panel shrinks, down to its smallest drawing.
    constexpr int kListRows = 12;
    const int listsRoom = m_parameters->heightForRows(kListRows);
    const QWidget *central = centralWidget();
    const auto *layout = static_cast<const QBoxLayout *>(central->layout());
    const QMargins margins = layout->contentsMargins();
    const int room = central->height() - margins.top() - margins.bottom() - 2 * layout->spacing()
                     - m_header->sizeHint().height() - std::max(listsRoom, m_lists->minimumSizeHint().height());
    const int besidePanel =
        m_panelPane->sizeHint().height() - std::max(m_panel->sizeHint().height(), m_pageBox->sizeHint().height());
    const int panelWidth = central->width() - margins.left() - margins.right() - m_pageBox->sizeHint().width() - 10;
    const int ideal = besidePanel + std::max(m_panel->idealHeight(panelWidth), m_pageBox->sizeHint().height());
    m_panelPane->setMaximumHeight(std::max(m_panelPane->minimumSizeHint().height(), std::min(room, ideal)));
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        fitPanel();
    return QMainWindow::eventFilter(watched, event);
}

// ---- View ----

void MainWindow::setLabelText(Label label, const QString &text)
{
    if (QLabel *widget = m_labels.value(label)) {
        widget->setText(text);
        if (label == Label::labPluginPlistLocation || label == Label::labOCScreen_Title
            || label == Label::labelHelperDisplay)
            widget->setToolTip(text);
        // The status line starts where the mapper's name would, while there is none.
        if (label == Label::mainTitle_Sub)
            widget->setHidden(text.isEmpty());
        // The title bar names the open plug-in; the system adds the application's name after it.
        if (label == Label::labPluginPlistLocation)
            setWindowTitle(text.isEmpty() ? texts::kMainWindowTitle
                                          : labelText(Label::labOCScreen_Title) + texts::kMainWindowTitle);
    }
}

QString MainWindow::labelText(Label label) const
{
    const QLabel *widget = m_labels.value(label);
    return widget ? widget->text() : QString();
}

void MainWindow::setControlLabel(int control, const QString &text)
{
    if (control >= 1 && control <= mapping::kControlsPerPage)
        m_panel->setControlText(control, text);
}

void MainWindow::setControlParamNum(int control, const QString &number)
{
    if (control >= 1 && control <= mapping::kControlsPerPage)
        m_panel->setControlNumber(control, number);
}

void MainWindow::setControlToolTip(int control, const QString &toolTip)
{
    if (control >= 1 && control <= mapping::kControlsPerPage)
        m_panel->setControlToolTip(control, toolTip);
}

void MainWindow::setButtonEnabled(Button button, bool enabled)
{
    if (button == Button::FrontPanel)
        m_panel->setControlsEnabled(enabled);
    for (QWidget *widget : m_buttonWidgets.values(button))
        widget->setEnabled(enabled);
    for (QAction *action : m_menus->buttonActions(button))
        action->setEnabled(enabled);
}

void MainWindow::setPluginList(const catalogue::PluginList &records)
{
    m_plugins->setRecords(records);
}

std::optional<catalogue::PluginRecord> MainWindow::selectedPlugin() const
{
    return m_plugins->chosenPlugin();
}

void MainWindow::setParameterList(const QVector<mapping::ParameterEntry> &entries)
{
    m_parameters->setEntries(entries);
}

std::optional<mapping::ParameterEntry> MainWindow::arrangedParameter(int row) const
{
    return m_parameters->arrangedEntry(row);
}

int MainWindow::parameterSelectionIndex() const
{
    return m_parameters->selectedRow();
}

void MainWindow::setParameterSelectionIndex(int row)
{
    m_parameters->selectRow(row);
}

void MainWindow::selectNextParameter()
{
    m_parameters->selectNextRow();
}

void MainWindow::selectPluginModeCell(int row, int column)
{
    if (row == 0)
        m_header->selectModeCell(column);
}

int MainWindow::selectedPluginModeTag() const
{
    return m_header->checkedMode();
}

void MainWindow::showWindow(Window window)
{
    QWidget *widget = m_windows.value(window);
    if (!widget)
        return;
    if (window == Window::cwinDownloadWindow) {
        const std::optional<catalogue::PluginRecord> plugin = selectedPlugin();
        m_community->downloadWindow()->setPluginName(plugin ? plugin->Plugin : QString());
    }
    // Centred when it opens; one already open keeps its place, only coming to the front.
    if (widget != this && !widget->isVisible() && widget->screen()) {
        const QRect area = widget->screen()->availableGeometry();
        widget->move(area.center() - widget->rect().center());
    }
    widget->show();
    widget->raise();
    widget->activateWindow();
}

QWidget *MainWindow::questionParent()
{
    // Over the window the user works in, which comes back to the front when the question is answered.
    QWidget *active = QApplication::activeWindow();
    // Until the window system has moved the focus back from a closed wait notice, the window the
    // user waited in is the one they work in.
    if (m_waitedIn && (!active || !active->isVisible()))
        active = m_waitedIn;
    for (QWidget *widget : std::as_const(m_windows)) {
        if (widget == active && widget->isVisible())
            return widget;
    }
    return this;
}

void MainWindow::closeWindow(Window window)
{
    if (QWidget *widget = m_windows.value(window); widget && widget->isVisible())
        widget->close();
}

void MainWindow::runAlert(const QString &message, const QString &informativeText)
{
    questions::alert(questionParent(), message, informativeText);
}

bool MainWindow::openPath(const QString &path)
{
    return m_opener ? m_opener(path) : false;
}

void MainWindow::setBusy(bool busy)
{
    if (busy) {
        if (m_busyDepth++ == 0) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            // Let the cursor and the texts set so far show before the work starts.
            if (isVisible())
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    } else if (m_busyDepth > 0 && --m_busyDepth == 0) {
        QApplication::restoreOverrideCursor();
    }
}

void MainWindow::showWaitNotice(const QString &text, const std::function<void()> &cancel)
{
    closeWaitNotice();
    // The window system's last moves (the window just brought to the front) decide where it shows.
    if (isVisible())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_waitNotice = new QProgressDialog(text, texts::kCancelButton, 0, 0, questionParent());
    m_waitNotice->setObjectName(QStringLiteral("waitNotice"));
    m_waitNotice->setWindowTitle(texts::kCommunityLibrary);
    // Application-modal: the Cancel button is the one thing the user can reach while it waits.
    m_waitNotice->setWindowModality(Qt::ApplicationModal);
    m_waitNotice->setMinimumDuration(0);
    m_waitNotice->setAutoClose(false);
    m_waitNotice->setAutoReset(false);
    connect(m_waitNotice, &QProgressDialog::canceled, m_waitNotice, cancel);
    m_waitNotice->show();
}

void MainWindow::closeWaitNotice()
{
    if (!m_waitNotice)
        return;
    // Closing it by hand is not the user's Cancel.
    QObject::disconnect(m_waitNotice, &QProgressDialog::canceled, nullptr, nullptr);
    m_waitedIn = m_waitNotice->parentWidget();
    m_waitNotice->close();
    if (m_waitedIn)
        m_waitedIn->activateWindow();
    m_waitNotice->deleteLater();
    m_waitNotice = nullptr;
}

// ---- View: the community windows ----

QString MainWindow::fieldText(Field field) const
{
    return m_community->fieldText(field);
}

void MainWindow::setFieldText(Field field, const QString &text)
{
    m_community->setFieldText(field, text);
}

void MainWindow::setDownloadList(const QVector<community::DownloadListEntry> &entries)
{
    m_community->downloadWindow()->model()->setEntries(entries);
}

std::optional<community::DownloadListEntry> MainWindow::selectedDownload() const
{
    return m_community->downloadWindow()->selectedEntry();
}

void MainWindow::setDownloadSelectionIndex(int row)
{
    m_community->downloadWindow()->selectRow(row);
}

void MainWindow::setDownloadPreview(const QStringList &controlNames)
{
    m_community->downloadWindow()->setPreview(controlNames);
}

// ---- editing: undo and redo, where parameters stand, drag and drop, the keyboard ----

void MainWindow::dropParameter(int control, int row, const mapping::ParameterEntry &entry)
{
    if (!m_controller)
        return;
    // The row must still hold what was dragged: the list may have been replaced since.
    if (const std::optional<int> arranged = m_parameters->arrangedRowHolding(row, entry))
        m_controller->dropParameterOnControl(*arranged, control);
}

View::SaveAnswer MainWindow::askToSave(const QString &message, const QString &informativeText)
{
    return questions::askToSave(questionParent(), message, informativeText);
}

bool MainWindow::askToDiscard(const QString &message, const QString &informativeText)
{
    return questions::askToDiscard(questionParent(), message, informativeText);
}

bool MainWindow::askToConfirm(const QString &message, const QString &informativeText, const QString &action)
{
    return questions::askToConfirm(questionParent(), message, informativeText, action);
}

void MainWindow::setMappingModified(bool modified)
{
    setWindowModified(modified);
}

void MainWindow::setUndoRedo(bool canUndo, const QString &undoText, bool canRedo, const QString &redoText)
{
    m_menus->setUndoRedo(canUndo, undoText, canRedo, redoText);
}

void MainWindow::setParameterPlacements(const QVector<QVector<int>> &placements)
{
    m_parameters->setPlacements(placements);
}

void MainWindow::setControlAlsoOn(int control, const QString &line)
{
    if (control >= 1 && control <= mapping::kControlsPerPage)
        m_panel->setControlAlsoOn(control, line);
}

QString MainWindow::parameterSearchText() const
{
    return m_parameters->searchText();
}

std::optional<catalogue::PluginRecord>
MainWindow::askForPlugin(const QString &prompt, const std::function<bool(const catalogue::PluginRecord &)> &offered)
{
    catalogue::PluginList records = m_plugins->records();
    records.removeIf([&offered](const catalogue::PluginRecord &record) { return !offered(record); });
    PluginChooser chooser(prompt, records, this);
    const std::optional<int> row = chooser.choose();
    if (!row)
        return std::nullopt;
    return records.at(*row);
}

std::optional<int> MainWindow::askForPage(int current, int last)
{
    bool ok = false;
    const int page = QInputDialog::getInt(questionParent(), texts::kGoToPageTitle, texts::kGoToPagePrompt.arg(last),
                                          current, 1, last, 1, &ok);
    if (!ok)
        return std::nullopt;
    return page;
}

void MainWindow::focusControl(int control)
{
    m_panel->focusControl(control);
}

void MainWindow::setControlChanged(int control, const QString &line)
{
    if (control >= 1 && control <= mapping::kControlsPerPage)
        m_panel->setControlChanged(control, line);
}

void MainWindow::selectPlugin(const catalogue::PluginRecord &record)
{
    m_plugins->selectPlugin(record);
}

} // namespace ov::ui::qt
