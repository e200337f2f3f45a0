#include "MainWindow.h"

#include "CommunityPane.h"
#include "CommunityWindows.h"
#include "ElidingLabel.h"
#include "FrontPanel.h"
#include "MainMenus.h"
#include "PageBox.h"
#include "PluginChooser.h"
#include "ParameterFilterModel.h"
#include "ParameterListModel.h"
#include "ParameterTable.h"
#include "PluginListModel.h"
#include "Questions.h"
#include "WindowParts.h"

#include "ui/ViewController.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

namespace ov::ui::qt {

namespace {

constexpr int kInstrumentColumn = 0;
constexpr int kInsertEffectColumn = 1;

template <typename Table = QTableView> Table *makeTable(const QString &objectName, QWidget *parent)
{
    auto *table = new Table(parent);
    table->setObjectName(objectName);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setAlternatingRowColors(true);
    // Unsorted (the list's own order) until the user clicks a heading.
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("cwinMainWindow"));
    setWindowTitle(QStringLiteral("ovCorvanta Logic Tool[*]"));
    m_opener = [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    m_windows.insert(Window::cwinMainWindow, this);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->setSpacing(10);
    layout->setContentsMargins(10, 8, 10, 10);
    layout->setSpacing(8);
    m_header = buildHeader();
    layout->addWidget(m_header);

    m_lists = new QSplitter(Qt::Horizontal, central);
    m_lists->setChildrenCollapsible(false);
    m_lists->addWidget(buildPluginPane());
    m_lists->addWidget(buildParameterPane());
    m_lists->addWidget(buildMappingPane());
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
    connect(m_menus->searchAction(), &QAction::triggered, this, [this] {
        m_parameterSearch->setFocus(Qt::ShortcutFocusReason);
        m_parameterSearch->selectAll();
    });

    // As large as the screen allows (with room for a title bar), up to the size it was designed at.
    QSize size(1280, 900);
    if (const QScreen *shown = screen())
        size = size.boundedTo(shown->availableGeometry().size() - QSize(0, 40));
    resize(size.expandedTo(minimumSizeHint()));
}

MainWindow::~MainWindow() = default;

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

SignInWindow *MainWindow::signInWindow() const
{
    return m_community->signInWindow();
}

UploadWindow *MainWindow::uploadWindow() const
{
    return m_community->uploadWindow();
}

DownloadWindow *MainWindow::downloadWindow() const
{
    return m_community->downloadWindow();
}

QWidget *MainWindow::buildHeader()
{
    auto *header = new QWidget(this);
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);

    auto *titles = new QVBoxLayout;
    titles->setSpacing(2);
    auto *title = new ElidingLabel(1, Qt::ElideRight, header);
    title->setObjectName(QStringLiteral("labOCScreen_Title"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setMinimumHeight(QFontMetrics(titleFont).lineSpacing());

    auto *subtitle = new QLabel(header);
    subtitle->setObjectName(QStringLiteral("mainTitle_Sub"));
    QFont subtitleFont = subtitle->font();
    subtitleFont.setPointSizeF(subtitleFont.pointSizeF() * 1.1);
    subtitle->setFont(subtitleFont);
    subtitle->setForegroundRole(QPalette::PlaceholderText);
    subtitle->hide(); // until there is a mapper to name

    auto *status = new ElidingLabel(1, Qt::ElideRight, header);
    status->setObjectName(QStringLiteral("labelHelperDisplay"));

    // The mapper of the mode and the status line share the second line, to leave the room to the lists.
    auto *lines = new QHBoxLayout;
    lines->setSpacing(16);
    lines->addWidget(subtitle, 0);
    lines->addWidget(status, 1);
    titles->addWidget(title);
    titles->addLayout(lines);
    row->addLayout(titles, 1);

    auto *modeBox = new QGroupBox(QStringLiteral("Plugin mode"), header);
    modeBox->setObjectName(QStringLiteral("ovPluginMode"));
    auto *modeRow = new QHBoxLayout(modeBox);
    m_modeGroup = new QButtonGroup(modeBox);
    m_modeButtons[kInstrumentColumn] = new QRadioButton(QStringLiteral("Instrument"), modeBox);
    m_modeButtons[kInstrumentColumn]->setObjectName(QStringLiteral("ovPluginModeInstrument"));
    m_modeButtons[kInsertEffectColumn] = new QRadioButton(QStringLiteral("Insert/Effect"), modeBox);
    m_modeButtons[kInsertEffectColumn]->setObjectName(QStringLiteral("ovPluginModeInsertEffect"));
    // Each cell carries its mode as its id: instrument 1, insert/effect 0.
    m_modeGroup->addButton(m_modeButtons[kInstrumentColumn], 1);
    m_modeGroup->addButton(m_modeButtons[kInsertEffectColumn], 0);
    modeRow->addWidget(m_modeButtons[kInstrumentColumn]);
    modeRow->addWidget(m_modeButtons[kInsertEffectColumn]);
    m_buttonWidgets.insert(Button::PluginMode, modeBox);
    row->addWidget(modeBox, 0, Qt::AlignTop);

    m_labels.insert(Label::labOCScreen_Title, title);
    m_labels.insert(Label::mainTitle_Sub, subtitle);
    m_labels.insert(Label::labelHelperDisplay, status);
    return header;
}

QWidget *MainWindow::buildPluginPane()
{
    auto *pane = new QWidget(this);
    auto *column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 4, 0);
    auto *top = new QHBoxLayout;
    top->addWidget(heading(QStringLiteral("Plugins"), pane));
    top->addStretch(1);
    auto *scan = new QPushButton(QStringLiteral("Scan for plugins"), pane);
    scan->setObjectName(QStringLiteral("btnRunCheck"));
    scan->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    top->addWidget(scan);
    column->addLayout(top);

    m_pluginModel = new PluginListModel(this);
    m_pluginProxy = new QSortFilterProxyModel(this);
    m_pluginProxy->setSourceModel(m_pluginModel);
    m_pluginProxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_pluginTable = makeTable(QStringLiteral("pluginTableView"), pane);
    m_pluginTable->setModel(m_pluginProxy);
    // The plug-in's name takes the room the others leave.
    QHeaderView *pluginHeader = m_pluginTable->horizontalHeader();
    pluginHeader->setStretchLastSection(false);
    pluginHeader->resizeSection(PluginListModel::TypeColumn, 110);
    pluginHeader->setSectionResizeMode(PluginListModel::PluginColumn, QHeaderView::Stretch);
    pluginHeader->resizeSection(PluginListModel::StateColumn,
                                fontMetrics().horizontalAdvance(catalogue::kEditableState) + 24);
    m_pluginTable->installEventFilter(this);
    column->addWidget(m_pluginTable, 1);
    return pane;
}

QWidget *MainWindow::buildParameterPane()
{
    auto *pane = new QWidget(this);
    auto *column = new QVBoxLayout(pane);
    column->setContentsMargins(4, 0, 4, 0);
    auto *top = new QHBoxLayout;
    top->addWidget(heading(QStringLiteral("Plugin Parameters"), pane));
    top->addStretch(1);
    m_parameterSearch = new QLineEdit(pane);
    m_parameterSearch->setObjectName(QStringLiteral("parameterSearchField"));
    m_parameterSearch->setPlaceholderText(QStringLiteral("Search"));
    m_parameterSearch->setClearButtonEnabled(true);
    m_parameterSearch->setMaximumWidth(220);
    m_hideMapped = new QCheckBox(QStringLiteral("Hide mapped"), pane);
    m_hideMapped->setObjectName(QStringLiteral("hideMappedParameters"));
    m_hideMapped->setToolTip(QStringLiteral("Show only the parameters that stand on no control yet"));
    top->addWidget(m_hideMapped);
    top->addWidget(m_parameterSearch, 1);
    column->addLayout(top);

    m_parameterModel = new ParameterListModel(this);
    m_parameterProxy = new ParameterFilterModel(this);
    m_parameterProxy->setSourceModel(m_parameterModel);
    m_parameterTable = makeTable<ParameterTable>(QStringLiteral("tablePlistOfSelectedPlugin"), pane);
    m_parameterTable->setModel(m_parameterProxy);
    // The name takes the room the number and the places leave.
    QHeaderView *parameterHeader = m_parameterTable->horizontalHeader();
    parameterHeader->setStretchLastSection(false);
    parameterHeader->resizeSection(ParameterListModel::ParamNumColumn, 60);
    parameterHeader->setSectionResizeMode(ParameterListModel::ParameterColumn, QHeaderView::Stretch);
    parameterHeader->resizeSection(ParameterListModel::MappedColumn,
                                   fontMetrics().horizontalAdvance(QStringLiteral("12/32, 13/32")) + 16);
    // A row dragged onto a control goes there.
    m_parameterTable->setDragEnabled(true);
    m_parameterTable->setDragDropMode(QAbstractItemView::DragOnly);
    m_parameterTable->setDefaultDropAction(Qt::CopyAction);
    connect(m_parameterSearch, &QLineEdit::textChanged, m_parameterProxy, &ParameterFilterModel::setSearchText);
    column->addWidget(m_parameterTable, 1);
    return pane;
}

QWidget *MainWindow::buildMappingPane()
{
    auto *pane = new QWidget(this);
    auto *column = new QVBoxLayout(pane);
    column->setContentsMargins(4, 0, 0, 0);
    column->addWidget(heading(QStringLiteral("Mapping"), pane));
    // Two columns of buttons, so that the pane is no taller than the lists need to be.
    auto *grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    auto add = [&](Button button, const QString &text, const QString &name, QStyle::StandardPixmap icon, int row,
                   int gridColumn) {
        QPushButton *pushButton = addButton(button, text, name);
        pushButton->setIcon(style()->standardIcon(icon));
        grid->addWidget(pushButton, row, gridColumn);
        return pushButton;
    };
    QPushButton *save = add(Button::exportToPlist, QStringLiteral("Save Mapping"), QStringLiteral("ovExportToPlist"),
                            QStyle::SP_DialogSaveButton, 0, 0);
    QFont saveFont = save->font();
    saveFont.setBold(true);
    save->setFont(saveFont);
    add(Button::recallOriginalMapping, QStringLiteral("Recall Original"), QStringLiteral("ovRecallOriginalMapping"),
        QStyle::SP_DialogResetButton, 1, 0);
    add(Button::recallPreviousMapping, QStringLiteral("Recall Previous"), QStringLiteral("ovRecallPreviousMapping"),
        QStyle::SP_ArrowBack, 2, 0);
    add(Button::createChart, QStringLiteral("Create Chart"), QStringLiteral("ovCreateChart"),
        QStyle::SP_FileDialogDetailedView, 0, 1);
    add(Button::openInFinder, kOpenFolderText, QStringLiteral("btnOpenInFinder"), QStyle::SP_DirOpenIcon, 1, 1);
    auto *help = new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton), QStringLiteral("Help"), pane);
    help->setObjectName(QStringLiteral("ovHelpMe"));
    grid->addWidget(help, 2, 1);
    column->addLayout(grid);
    column->addSpacing(8);
    m_community = new CommunityPane(pane);
    m_labels.insert(Label::labLoggedInAs, m_community->loggedInAs());
    m_buttonWidgets.insert(Button::ov_btn_cloudLibrary, m_community->shareButton());
    m_buttonWidgets.insert(Button::ov_btn_cloudLibraryDownload, m_community->sharedMappingsButton());
    m_buttonWidgets.insert(Button::ovSignOut, m_community->signOutButton());
    registerWindow(Window::cwinCloudWindow, m_community->signInWindow());
    registerWindow(Window::cwinUploadWindow, m_community->uploadWindow());
    registerWindow(Window::cwinDownloadWindow, m_community->downloadWindow());
    column->addWidget(m_community);
    column->addStretch(1);
    return pane;
}

QWidget *MainWindow::buildPanelPane()
{
    auto *pane = new QWidget(this);
    auto *column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);

    auto *fileRow = new QHBoxLayout;
    auto *fileCaption = new QLabel(QStringLiteral("File:"), pane);
    fileCaption->setForegroundRole(QPalette::PlaceholderText);
    auto *location = new ElidingLabel(1, Qt::ElideMiddle, pane);
    location->setObjectName(QStringLiteral("labPluginPlistLocation"));
    location->setTextInteractionFlags(Qt::TextSelectableByMouse);
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

QPushButton *MainWindow::addButton(Button button, const QString &text, const QString &objectName)
{
    auto *pushButton = new QPushButton(text, this);
    pushButton->setObjectName(objectName);
    m_buttonWidgets.insert(button, pushButton);
    return pushButton;
}

void MainWindow::attach(ViewController &controller)
{
    Q_ASSERT(!m_controller);
    m_controller = &controller;
    ViewController *c = m_controller;
    auto clicked = [this](const QString &name, auto slot) {
        auto *button = findChild<QPushButton *>(name);
        Q_ASSERT(button);
        connect(button, &QPushButton::clicked, this, slot);
    };
    clicked(QStringLiteral("btnRunCheck"), [c] { c->btnRunCheck(); });
    clicked(QStringLiteral("prevPageButton"), [c] { c->prevPageButtonPressed(); });
    clicked(QStringLiteral("nextPageButton"), [c] { c->nextPageButtonPressed(); });
    clicked(QStringLiteral("firstPageButton"), [c] { c->firstPageButtonPressed(); });
    clicked(QStringLiteral("lastPageButton"), [c] { c->lastPageButtonPressed(); });
    clicked(QStringLiteral("newPageButton"), [c] { c->newPageButtonPressed(); });
    clicked(QStringLiteral("deletePageButton"), [c] { c->deletePageButtonPressed(); });
    clicked(QStringLiteral("clearAllPagesButton"), [c] { c->clearAllPagesButtonPressed(); });
    clicked(QStringLiteral("ovMovePage_First"), [c] { c->ovMovePage_First(); });
    clicked(QStringLiteral("ovMovePage_Prev"), [c] { c->ovMovePage_Prev(); });
    clicked(QStringLiteral("ovMovePage_Next"), [c] { c->ovMovePage_Next(); });
    clicked(QStringLiteral("ovMovePage_Last"), [c] { c->ovMovePage_Last(); });
    clicked(QStringLiteral("ovExportToPlist"), [c] { c->ovExportToPlist(); });
    clicked(QStringLiteral("ovRecallOriginalMapping"), [c] { c->ovRecallOriginalMapping(); });
    clicked(QStringLiteral("ovRecallPreviousMapping"), [c] { c->ovRecallPreviousMapping(); });
    clicked(QStringLiteral("ovCreateChart"), [c] { c->ovCreateChart(); });
    clicked(QStringLiteral("btnOpenInFinder"), [c] { c->btnOpenInFinder(); });
    clicked(QStringLiteral("ovHelpMe"), [c] { c->ovHelpMe(); });

    connect(m_panel, &FrontPanel::controlPressed, this, [c](int control) { c->ovRotBtn_Pressed(control); });
    // Only a click by the user is a choice of mode; showing a mode selects its cell without one.
    connect(m_modeGroup, &QButtonGroup::idClicked, this, [c](int) { c->ovPluginMode_Changed(); });
    connect(m_pluginTable, &QTableView::clicked, this, [this](const QModelIndex &index) { choosePlugin(index); });
    connect(m_parameterTable, &QTableView::clicked, this, [c](const QModelIndex &) { c->tablePlistView(); });
    m_community->attach(controller);
    m_menus->attach(controller);
    attachEditing(controller);
}

void MainWindow::choosePlugin(const QModelIndex &proxyIndex)
{
    if (!m_controller || !proxyIndex.isValid())
        return;
    const QModelIndex chosen = m_pluginProxy->mapToSource(proxyIndex);
    m_chosenPlugin = chosen;
    m_controller->tablePluginSelected();
    m_pluginModel->setOpenRow(m_chosenPlugin.isValid() ? m_chosenPlugin.row() : -1);
    // A newly opened plug-in shows its whole list; a search for the last one would make it look short.
    if (m_chosenPlugin == chosen)
        m_parameterSearch->clear();
}

void MainWindow::fitPanel()
{
    // The lists give way first: the panel keeps the room for its largest drawing while the lists have
    // at least kListsRoom; below that the panel shrinks, down to its smallest drawing.
    constexpr int kListsRoom = 220;
    const QWidget *central = centralWidget();
    const auto *layout = static_cast<const QBoxLayout *>(central->layout());
    const QMargins margins = layout->contentsMargins();
    const int room = central->height() - margins.top() - margins.bottom() - 2 * layout->spacing()
                     - m_header->sizeHint().height() - std::max(kListsRoom, m_lists->minimumSizeHint().height());
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
    // Return on the plug-in list opens the highlighted plug-in, as a click does.
    if (watched == m_pluginTable && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const QModelIndexList rows = m_pluginTable->selectionModel()->selectedRows();
            if (!rows.isEmpty())
                choosePlugin(rows.first());
            return true;
        }
    }
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
    m_pluginModel->setRecords(records);
}

std::optional<catalogue::PluginRecord> MainWindow::selectedPlugin() const
{
    if (!m_chosenPlugin.isValid())
        return std::nullopt;
    return m_pluginModel->record(m_chosenPlugin.row());
}

void MainWindow::setParameterList(const QVector<mapping::ParameterEntry> &entries)
{
    m_parameterModel->setEntries(entries);
}

std::optional<mapping::ParameterEntry> MainWindow::arrangedParameter(int row) const
{
    if (row < 0 || row >= m_parameterProxy->rowCount())
        return std::nullopt;
    const QModelIndex source = m_parameterProxy->mapToSource(m_parameterProxy->index(row, 0));
    if (!source.isValid())
        return std::nullopt;
    return m_parameterModel->entry(source.row());
}

int MainWindow::parameterSelectionIndex() const
{
    const QModelIndexList rows = m_parameterTable->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void MainWindow::setParameterSelectionIndex(int row)
{
    QItemSelectionModel *selection = m_parameterTable->selectionModel();
    if (row < 0 || row >= m_parameterProxy->rowCount()) {
        selection->clearSelection();
        return;
    }
    const QModelIndex index = m_parameterProxy->index(row, 0);
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_parameterTable->scrollTo(index);
}

void MainWindow::selectNextParameter()
{
    const int row = parameterSelectionIndex();
    if (row >= 0 && row + 1 < m_parameterProxy->rowCount())
        setParameterSelectionIndex(row + 1);
}

void MainWindow::selectPluginModeCell(int row, int column)
{
    if (row == 0 && (column == kInstrumentColumn || column == kInsertEffectColumn))
        m_modeButtons[column]->setChecked(true);
}

int MainWindow::selectedPluginModeTag() const
{
    return m_modeGroup->checkedId();
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
    m_waitNotice = new QProgressDialog(text, QStringLiteral("Cancel"), 0, 0, questionParent());
    m_waitNotice->setObjectName(QStringLiteral("waitNotice"));
    m_waitNotice->setWindowTitle(QStringLiteral("Community Library"));
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
    QWidget *widget = m_community->fieldWidget(field);
    if (auto *line = qobject_cast<QLineEdit *>(widget))
        return line->text();
    if (auto *text = qobject_cast<QPlainTextEdit *>(widget))
        return text->toPlainText();
    return QString();
}

void MainWindow::setFieldText(Field field, const QString &text)
{
    QWidget *widget = m_community->fieldWidget(field);
    if (auto *line = qobject_cast<QLineEdit *>(widget))
        line->setText(text);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(widget))
        plain->setPlainText(text);
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

// ---- editing: undo and redo, where parameters stand, drag and drop, the keyboard ----

void MainWindow::attachEditing(ViewController &controller)
{
    ViewController *c = &controller;
    connect(m_panel, &FrontPanel::parameterDropped, this,
            [this](int control, int row, const mapping::ParameterEntry &entry) { dropParameter(control, row, entry); });
    connect(m_panel, &FrontPanel::controlDropped, this, [c](int from, int to) { c->swapControls(from, to); });
    connect(m_panel, &FrontPanel::pageStepRequested, this, [c](int step) {
        if (step < 0)
            c->prevPageButtonPressed();
        else
            c->nextPageButtonPressed();
    });
    connect(m_hideMapped, &QCheckBox::toggled, m_parameterProxy, &ParameterFilterModel::setHideMapped);
    connect(m_panel, &FrontPanel::fillFromHereRequested, this, [c](int control) { c->fillFromHere(control); });
    connect(m_menus, &MainMenus::fillFromHereRequested, this,
            [this, c] { c->fillFromHere(m_panel->currentControl()); });
}

void MainWindow::dropParameter(int control, int row, const mapping::ParameterEntry &entry)
{
    // The row must still hold what was dragged: the list may have been replaced since.
    if (!m_controller || row < 0 || row >= m_parameterModel->rowCount())
        return;
    const mapping::ParameterEntry &listed = m_parameterModel->entry(row);
    if (listed.ParamNum != entry.ParamNum || listed.Parameter != entry.Parameter)
        return;
    const QModelIndex arranged = m_parameterProxy->mapFromSource(m_parameterModel->index(row, 0));
    if (arranged.isValid())
        m_controller->dropParameterOnControl(arranged.row(), control);
}

View::SaveAnswer MainWindow::askToSave(const QString &message, const QString &informativeText)
{
    return questions::askToSave(questionParent(), message, informativeText);
}

bool MainWindow::askToDiscard(const QString &message, const QString &informativeText)
{
    return questions::askToDiscard(questionParent(), message, informativeText);
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
    m_parameterModel->setPlacements(placements);
}

void MainWindow::setControlAlsoOn(int control, const QString &line)
{
    if (control >= 1 && control <= mapping::kControlsPerPage)
        m_panel->setControlAlsoOn(control, line);
}

QString MainWindow::parameterSearchText() const
{
    return m_parameterProxy->searchText();
}

std::optional<catalogue::PluginRecord> MainWindow::askForPlugin(const QString &prompt)
{
    catalogue::PluginList records;
    for (int row = 0; row < m_pluginModel->rowCount(); ++row)
        records.append(m_pluginModel->record(row));
    PluginChooser chooser(prompt, records, this);
    const std::optional<int> row = chooser.choose();
    if (!row)
        return std::nullopt;
    return records.at(*row);
}

void MainWindow::setControlChanged(int control, const QString &line)
{
    if (control >= 1 && control <= mapping::kControlsPerPage)
        m_panel->setControlChanged(control, line);
}

void MainWindow::selectPlugin(const catalogue::PluginRecord &record)
{
    m_chosenPlugin = QPersistentModelIndex();
    for (int row = 0; row < m_pluginModel->rowCount(); ++row) {
        if (m_pluginModel->record(row).fileLocation == record.fileLocation) {
            m_chosenPlugin = m_pluginModel->index(row, 0);
            break;
        }
    }
    const QModelIndex shown = m_pluginProxy->mapFromSource(m_chosenPlugin);
    if (shown.isValid())
        m_pluginTable->selectionModel()->setCurrentIndex(shown, QItemSelectionModel::ClearAndSelect
                                                                    | QItemSelectionModel::Rows);
    else
        m_pluginTable->selectionModel()->clearSelection();
}

} // namespace ov::ui::qt
