#include "MainMenus.h"

#include "mapping/DisplayNames.h"
#include "ov/Version.h"
#include "ui/UiTexts.h"
#include "ui/ViewController.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <optional>

namespace ov::ui::qt {

// One command of the menus; a row without a name is a separator.
struct MainMenus::Command {
    enum Menu {
        File,
        Edit,
        View,
        Page,
        Help
    } menu;
    QString text;
    const char *name;
    QKeySequence key;
    std::optional<Button> button; // the window's button it is enabled and disabled with
    void (ViewController::*run)();
    QAction *MainMenus::*kept = nullptr;
    QAction::MenuRole role = QAction::TextHeuristicRole;
};

QList<MainMenus::Command> MainMenus::commands()
{
    using C = Command;
    using VC = ViewController;
    using Key = QKeySequence;
    const auto ctrl = [](Qt::Key key) { return Key(Qt::CTRL | key); };
    const auto ctrlShift = [](Qt::Key key) { return Key(Qt::CTRL | Qt::SHIFT | key); };
    const auto separatorIn = [](C::Menu menu) { return C{menu, {}, nullptr, {}, {}, nullptr}; };
    const QString about = texts::kAbout.arg(QString::fromUtf8(ov::kApplicationName));
    // The page commands reach every page button from the keyboard.
    return {
        {C::File, texts::kScanForPlugins, "actionRunCheck", Key::Refresh, {}, &VC::btnRunCheck},
        {C::File, texts::kSaveMapping, "actionExportToPlist", Key::Save, Button::exportToPlist, &VC::ovExportToPlist},
        {C::File, texts::kCreateChart, "actionCreateChart", {}, Button::createChart, &VC::ovCreateChart},
        {C::File, texts::kOpenFolder, "actionOpenInFinder", {}, Button::openInFinder, &VC::btnOpenInFinder},
        separatorIn(C::File),
        {C::File, texts::kBackUpMenu, "actionBackUpAllMappings", {}, {}, &VC::ovBackUpAllMappings},
        {C::File, texts::kRestoreMenu, "actionRestoreMappings", {}, {}, &VC::ovRestoreMappings},
        separatorIn(C::File),
        {C::File, texts::kSaveApplicationData, "saveAction", {}, {}, nullptr, &MainMenus::m_saveApplicationData},
        separatorIn(C::File),
        {C::File, texts::kQuit, "actionQuit", Key::Quit, {}, nullptr, &MainMenus::m_quit, QAction::QuitRole},

        {C::Edit, texts::kUndo, "actionUndo", Key::Undo, {}, &VC::ovUndo, &MainMenus::m_undo},
        {C::Edit, texts::kRedo, "actionRedo", {}, {}, &VC::ovRedo, &MainMenus::m_redo},
        // On a Mac the roles move Preferences (Cmd+,), About and Quit into the application menu.
        separatorIn(C::Edit),
        {C::Edit,
         texts::kPreferencesMenu,
         "actionPreferences",
         ctrl(Qt::Key_Comma),
         {},
         nullptr,
         &MainMenus::m_preferences,
         QAction::PreferencesRole},
        separatorIn(C::Edit),
        {C::Edit, texts::kSearchParameters, "actionSearchParameters", Key::Find, {}, nullptr, &MainMenus::m_search},
        separatorIn(C::Edit),
        {C::Edit, texts::kStepFill, "actionFillFromHere", ctrlShift(Qt::Key_F), Button::FrontPanel, nullptr,
         &MainMenus::m_fill},
        {C::Edit, texts::kCopyMappingTitle, "actionCopyMappingFrom", {}, Button::FrontPanel, &VC::ovCopyMappingFrom},
        separatorIn(C::Edit),
        {C::Edit, texts::kSaveLayoutMenu, "actionSaveLayout", {}, Button::FrontPanel, &VC::ovSaveLayout},
        {C::Edit, texts::kApplyLayoutMenu, "actionApplyLayout", {}, Button::FrontPanel, &VC::ovApplyLayout},
        {C::Edit, texts::kApplyLayoutToPluginsMenu, "actionApplyLayoutToPlugins", {}, {}, &VC::ovApplyLayoutToPlugins},
        {C::Edit, texts::kRepairMappingMenu, "actionRepairMapping", {}, Button::FrontPanel, &VC::ovRepairMapping},

        {C::Page, texts::kPreviousPage, "actionPrevPage", ctrl(Qt::Key_PageUp), Button::prevPage,
         &VC::prevPageButtonPressed},
        {C::Page, texts::kNextPage, "actionNextPage", ctrl(Qt::Key_PageDown), Button::nextPage,
         &VC::nextPageButtonPressed},
        {C::Page, texts::kFirstPage, "actionFirstPage", ctrl(Qt::Key_Home), Button::firstPage,
         &VC::firstPageButtonPressed},
        {C::Page, texts::kLastPage, "actionLastPage", ctrl(Qt::Key_End), Button::lastPage, &VC::lastPageButtonPressed},
        {C::Page, texts::kGoToPage, "actionGoToPage", ctrl(Qt::Key_G), Button::FrontPanel, &VC::ovGoToPage},
        separatorIn(C::Page),
        {C::Page, texts::kStepNewPage, "actionNewPage", ctrlShift(Qt::Key_N), Button::newPage,
         &VC::newPageButtonPressed},
        {C::Page, texts::kStepClearPage, "actionClearPage", {}, Button::clearPage, &VC::clearAllPagesButtonPressed},
        {C::Page, texts::kStepDeletePage, "actionDeletePage", {}, Button::deletePage, &VC::deletePageButtonPressed},
        separatorIn(C::Page),
        {C::Page, texts::kMovePageBack, "actionMovePagePrev", ctrlShift(Qt::Key_PageUp), Button::movePagePrev,
         &VC::ovMovePage_Prev},
        {C::Page, texts::kMovePageForward, "actionMovePageNext", ctrlShift(Qt::Key_PageDown), Button::movePageNext,
         &VC::ovMovePage_Next},
        {C::Page, texts::kMovePageToFirst, "actionMovePageFirst", ctrlShift(Qt::Key_Home), Button::movePageFirst,
         &VC::ovMovePage_First},
        {C::Page, texts::kMovePageToLast, "actionMovePageLast", ctrlShift(Qt::Key_End), Button::movePageLast,
         &VC::ovMovePage_Last},

        {C::Help, texts::kHelpTitle, "actionHelpMe", Key::HelpContents, {}, &VC::ovHelpMe},
        {C::Help, about, "actionAbout", {}, {}, nullptr, &MainMenus::m_about, QAction::AboutRole},
    };
}

MainMenus::MainMenus(QMenuBar *menuBar) : QObject(menuBar)
{
    QMenu *menus[] = {menuBar->addMenu(texts::kFileMenu), menuBar->addMenu(texts::kEditMenu),
                      menuBar->addMenu(texts::kViewMenu), menuBar->addMenu(texts::kPageMenu),
                      menuBar->addMenu(texts::kHelpMenu)};
    menus[Command::Edit]->setObjectName(QStringLiteral("editMenu"));
    menus[Command::Page]->setObjectName(QStringLiteral("pageMenu"));
    for (const Command &command : commands()) {
        QMenu *menu = menus[command.menu];
        if (!command.name) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(command.text);
        action->setObjectName(QLatin1String(command.name));
        if (!command.key.isEmpty())
            action->setShortcut(command.key);
        if (command.role != QAction::TextHeuristicRole)
            action->setMenuRole(command.role);
        // The page commands start disabled, as their buttons do.
        action->setEnabled(command.menu != Command::Page);
        if (command.button)
            m_buttonActions.insert(*command.button, action);
        if (command.run)
            m_commands.append({action, command.run});
        if (command.kept)
            this->*command.kept = action;
    }
    addShowChanges(menus[Command::Edit]);
    addDisplayWidth(menus[Command::View]);
    // Nothing to undo or redo until an edit.
    m_undo->setEnabled(false);
    m_redo->setEnabled(false);
    // Ctrl+Shift+Z everywhere, besides the platform's own (Ctrl+Y on Windows).
    QList<QKeySequence> redoKeys{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
    for (const QKeySequence &key : QKeySequence::keyBindings(QKeySequence::Redo)) {
        if (!redoKeys.contains(key))
            redoKeys.append(key);
    }
    m_redo->setShortcuts(redoKeys);
}

void MainMenus::addShowChanges(QMenu *edit)
{
    QMenu *showChanges = edit->addMenu(texts::kShowChanges);
    showChanges->setObjectName(QStringLiteral("showChangesMenu"));
    auto *choices = new QActionGroup(this);
    for (const auto &[base, text, name] :
         {std::tuple{ChangesBase::None, texts::kShowChangesOff, "actionShowChangesOff"},
          {ChangesBase::SavedFile, texts::kShowChangesUnsaved, "actionShowChangesUnsaved"},
          {ChangesBase::Previous, texts::kShowChangesPrevious, "actionShowChangesPrevious"},
          {ChangesBase::Original, texts::kShowChangesOriginal, "actionShowChangesOriginal"}}) {
        QAction *choice = showChanges->addAction(text);
        choice->setObjectName(QLatin1String(name));
        choice->setCheckable(true);
        choice->setChecked(base == ChangesBase::None);
        choices->addAction(choice);
        m_showChanges.insert(base, choice);
    }
}

void MainMenus::addDisplayWidth(QMenu *view)
{
    QMenu *widths = view->addMenu(texts::kDisplayWidthMenu);
    widths->setObjectName(QStringLiteral("displayWidthMenu"));
    auto *choices = new QActionGroup(this);
    QList<int> offered{0};
    offered.append(QList<int>(std::begin(mapping::kDisplayWidths), std::end(mapping::kDisplayWidths)));
    for (const int width : offered) {
        QAction *choice =
            widths->addAction(width == 0 ? texts::kDisplayWidthOff : texts::kDisplayWidthChoice.arg(width));
        choice->setObjectName(QStringLiteral("actionDisplayWidth%1").arg(width));
        choice->setToolTip(width == 0 ? texts::kTipDisplayWidthOff : texts::kTipDisplayWidth.arg(width));
        choice->setCheckable(true);
        choice->setChecked(width == 0);
        choices->addAction(choice);
        m_displayWidths.insert(width, choice);
    }
}

void MainMenus::showDisplayWidth(int width)
{
    if (QAction *choice = m_displayWidths.value(width))
        choice->setChecked(true);
}

void MainMenus::attach(ViewController &controller)
{
    ViewController *c = &controller;
    for (auto [width, action] : m_displayWidths.asKeyValueRange())
        connect(action, &QAction::triggered, this, [c, width = width] { c->setDisplayWidth(width); });
    connect(m_fill, &QAction::triggered, this, [this] { emit fillFromHereRequested(); });
    for (auto [base, action] : m_showChanges.asKeyValueRange())
        connect(action, &QAction::triggered, this, [c, base = base] { c->showChanges(base); });
    for (const MenuCommand &command : std::as_const(m_commands))
        connect(command.action, &QAction::triggered, this, [c, run = command.run] { (c->*run)(); });
}

void MainMenus::setUndoRedo(bool canUndo, const QString &undoText, bool canRedo, const QString &redoText)
{
    m_undo->setEnabled(canUndo);
    m_undo->setText(undoText);
    m_redo->setEnabled(canRedo);
    m_redo->setText(redoText);
}

} // namespace ov::ui::qt
