#include "MainMenus.h"

#include "ov/Version.h"
#include "ui/UiTexts.h"
#include "ui/ViewController.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <optional>

namespace ov::ui::qt {

namespace {

enum MenuId {
    FileMenu,
    EditMenu,
    PageMenu,
    HelpMenu
};

} // namespace

MainMenus::MainMenus(QMenuBar *menuBar) : QObject(menuBar)
{
    QMenu *menus[] = {menuBar->addMenu(texts::kFileMenu), menuBar->addMenu(texts::kEditMenu),
                      menuBar->addMenu(texts::kPageMenu), menuBar->addMenu(texts::kHelpMenu)};
    menus[EditMenu]->setObjectName(QStringLiteral("editMenu"));
    menus[PageMenu]->setObjectName(QStringLiteral("pageMenu"));

    // Every command in its menu's order; a row without a name is a separator. The page commands
    // reach every page button from the keyboard, and start disabled as their buttons do.
    struct Command {
        MenuId menu;
        QString text;
        const char *name;
        QKeySequence key;
        std::optional<Button> button; // the window's button it is enabled and disabled with
        void (ViewController::*run)();
        QAction **kept = nullptr;
        QAction::MenuRole role = QAction::TextHeuristicRole;
    };
    using VC = ViewController;
    using Key = QKeySequence;
    const auto ctrl = [](Qt::Key key) { return Key(Qt::CTRL | key); };
    const auto ctrlShift = [](Qt::Key key) { return Key(Qt::CTRL | Qt::SHIFT | key); };
    const auto separatorIn = [](MenuId menu) { return Command{menu, {}, nullptr, {}, {}, nullptr}; };
    const QList<Command> commands{
        {FileMenu, texts::kScanForPlugins, "actionRunCheck", Key::Refresh, {}, &VC::btnRunCheck},
        {FileMenu, texts::kSaveMapping, "actionExportToPlist", Key::Save, Button::exportToPlist, &VC::ovExportToPlist},
        {FileMenu, texts::kCreateChart, "actionCreateChart", {}, Button::createChart, &VC::ovCreateChart},
        {FileMenu, texts::kOpenFolder, "actionOpenInFinder", {}, Button::openInFinder, &VC::btnOpenInFinder},
        separatorIn(FileMenu),
        {FileMenu, texts::kSaveApplicationData, "saveAction", {}, {}, nullptr, &m_saveApplicationData},
        separatorIn(FileMenu),
        {FileMenu, texts::kQuit, "actionQuit", Key::Quit, {}, nullptr, &m_quit, QAction::QuitRole},

        {EditMenu, texts::kUndo, "actionUndo", Key::Undo, {}, &VC::ovUndo, &m_undo},
        {EditMenu, texts::kRedo, "actionRedo", {}, {}, &VC::ovRedo, &m_redo},
        // On a Mac the roles move Preferences (Cmd+,), About and Quit into the application menu.
        separatorIn(EditMenu),
        {EditMenu,
         texts::kPreferencesMenu,
         "actionPreferences",
         ctrl(Qt::Key_Comma),
         {},
         nullptr,
         &m_preferences,
         QAction::PreferencesRole},
        separatorIn(EditMenu),
        {EditMenu, texts::kSearchParameters, "actionSearchParameters", Key::Find, {}, nullptr, &m_search},
        separatorIn(EditMenu),
        {EditMenu, texts::kStepFill, "actionFillFromHere", ctrlShift(Qt::Key_F), Button::FrontPanel, nullptr, &m_fill},
        {EditMenu, texts::kCopyMappingTitle, "actionCopyMappingFrom", {}, Button::FrontPanel, &VC::ovCopyMappingFrom},

        {PageMenu, texts::kPreviousPage, "actionPrevPage", ctrl(Qt::Key_PageUp), Button::prevPage,
         &VC::prevPageButtonPressed},
        {PageMenu, texts::kNextPage, "actionNextPage", ctrl(Qt::Key_PageDown), Button::nextPage,
         &VC::nextPageButtonPressed},
        {PageMenu, texts::kFirstPage, "actionFirstPage", ctrl(Qt::Key_Home), Button::firstPage,
         &VC::firstPageButtonPressed},
        {PageMenu, texts::kLastPage, "actionLastPage", ctrl(Qt::Key_End), Button::lastPage, &VC::lastPageButtonPressed},
        separatorIn(PageMenu),
        {PageMenu, texts::kStepNewPage, "actionNewPage", ctrlShift(Qt::Key_N), Button::newPage,
         &VC::newPageButtonPressed},
        {PageMenu, texts::kStepClearPage, "actionClearPage", {}, Button::clearPage, &VC::clearAllPagesButtonPressed},
        {PageMenu, texts::kStepDeletePage, "actionDeletePage", {}, Button::deletePage, &VC::deletePageButtonPressed},
        separatorIn(PageMenu),
        {PageMenu, texts::kMovePageBack, "actionMovePagePrev", ctrlShift(Qt::Key_PageUp), Button::movePagePrev,
         &VC::ovMovePage_Prev},
        {PageMenu, texts::kMovePageForward, "actionMovePageNext", ctrlShift(Qt::Key_PageDown), Button::movePageNext,
         &VC::ovMovePage_Next},
        {PageMenu, texts::kMovePageToFirst, "actionMovePageFirst", ctrlShift(Qt::Key_Home), Button::movePageFirst,
         &VC::ovMovePage_First},
        {PageMenu, texts::kMovePageToLast, "actionMovePageLast", ctrlShift(Qt::Key_End), Button::movePageLast,
         &VC::ovMovePage_Last},

        {HelpMenu, texts::kHelpTitle, "actionHelpMe", Key::HelpContents, {}, &VC::ovHelpMe},
        {HelpMenu,
         texts::kAbout.arg(QString::fromUtf8(ov::kApplicationName)),
         "actionAbout",
         {},
         {},
         nullptr,
         &m_about,
         QAction::AboutRole},
    };
    for (const Command &command : commands) {
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
        action->setEnabled(command.menu != PageMenu);
        if (command.button)
            m_buttonActions.insert(*command.button, action);
        if (command.run)
            m_commands.append({action, command.run});
        if (command.kept)
            *command.kept = action;
    }
    addShowChanges(menus[EditMenu]);
    // Nothing to undo or redo until an edit.
    m_undo->setEnabled(false);
    m_redo->setEnabled(false);
    // Ctrl+Shift+Z everywhere, besides the platform's own (Ctrl+Y on Windows).
    QList<QKeySequence> redoKeys{ctrlShift(Qt::Key_Z)};
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

void MainMenus::attach(ViewController &controller)
{
    ViewController *c = &controller;
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
