#include "MainMenus.h"

#include "WindowParts.h"

#include "ov/Version.h"
#include "ui/UiTexts.h"
#include "ui/ViewController.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace ov::ui::qt {

MainMenus::MainMenus(QMenuBar *menuBar) : QObject(menuBar)
{
    QMenu *file = menuBar->addMenu(QStringLiteral("&File"));
    m_scan = file->addAction(QStringLiteral("Scan for plugins"));
    m_scan->setObjectName(QStringLiteral("actionRunCheck"));
    m_scan->setShortcut(QKeySequence::Refresh);
    m_save = file->addAction(QStringLiteral("Save Mapping"));
    m_save->setObjectName(QStringLiteral("actionExportToPlist"));
    m_save->setShortcut(QKeySequence::Save);
    m_buttonActions.insert(Button::exportToPlist, m_save);
    m_chart = file->addAction(QStringLiteral("Create Chart"));
    m_chart->setObjectName(QStringLiteral("actionCreateChart"));
    m_buttonActions.insert(Button::createChart, m_chart);
    m_openFolder = file->addAction(kOpenFolderText);
    m_openFolder->setObjectName(QStringLiteral("actionOpenInFinder"));
    m_buttonActions.insert(Button::openInFinder, m_openFolder);
    file->addSeparator();
    m_saveApplicationData = file->addAction(QStringLiteral("Save Application Data"));
    m_saveApplicationData->setObjectName(QStringLiteral("saveAction"));
    file->addSeparator();
    m_quit = file->addAction(QStringLiteral("Quit"));
    m_quit->setObjectName(QStringLiteral("actionQuit"));
    m_quit->setShortcut(QKeySequence::Quit);
    m_quit->setMenuRole(QAction::QuitRole);

    auto *edit = menuBar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("editMenu"));
    m_undo = edit->addAction(texts::kUndo);
    m_undo->setObjectName(QStringLiteral("actionUndo"));
    m_undo->setShortcut(QKeySequence::Undo);
    m_undo->setEnabled(false);
    m_redo = edit->addAction(texts::kRedo);
    m_redo->setObjectName(QStringLiteral("actionRedo"));
    // Ctrl+Shift+Z everywhere, besides the platform's own (Ctrl+Y on Windows).
    QList<QKeySequence> redoKeys{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
    for (const QKeySequence &key : QKeySequence::keyBindings(QKeySequence::Redo)) {
        if (!redoKeys.contains(key))
            redoKeys.append(key);
    }
    m_redo->setShortcuts(redoKeys);
    m_redo->setEnabled(false);
    // On a Mac the roles move Preferences (Cmd+,), About and Quit into the application menu.
    edit->addSeparator();
    m_preferences = edit->addAction(texts::kPreferencesMenu);
    m_preferences->setObjectName(QStringLiteral("actionPreferences"));
    m_preferences->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    m_preferences->setMenuRole(QAction::PreferencesRole);
    edit->addSeparator();
    m_search = edit->addAction(QStringLiteral("Search Parameters"));
    m_search->setObjectName(QStringLiteral("actionSearchParameters"));
    m_search->setShortcut(QKeySequence::Find);

    // Every page button, also from the keyboard.
    QMenu *page = menuBar->addMenu(QStringLiteral("&Page"));
    page->setObjectName(QStringLiteral("pageMenu"));
    const auto addPage = [&](Button button, const QString &text, const QString &name, const QKeySequence &key,
                             void (ViewController::*run)()) {
        QAction *action = page->addAction(text);
        action->setObjectName(name);
        action->setShortcut(key);
        action->setEnabled(false);
        m_buttonActions.insert(button, action);
        m_pageCommands.append({action, run});
    };
    addPage(Button::prevPage, QStringLiteral("Previous Page"), QStringLiteral("actionPrevPage"),
            QKeySequence(Qt::CTRL | Qt::Key_PageUp), &ViewController::prevPageButtonPressed);
    addPage(Button::nextPage, QStringLiteral("Next Page"), QStringLiteral("actionNextPage"),
            QKeySequence(Qt::CTRL | Qt::Key_PageDown), &ViewController::nextPageButtonPressed);
    addPage(Button::firstPage, QStringLiteral("First Page"), QStringLiteral("actionFirstPage"),
            QKeySequence(Qt::CTRL | Qt::Key_Home), &ViewController::firstPageButtonPressed);
    addPage(Button::lastPage, QStringLiteral("Last Page"), QStringLiteral("actionLastPage"),
            QKeySequence(Qt::CTRL | Qt::Key_End), &ViewController::lastPageButtonPressed);
    page->addSeparator();
    addPage(Button::newPage, QStringLiteral("New Page"), QStringLiteral("actionNewPage"),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N), &ViewController::newPageButtonPressed);
    addPage(Button::clearPage, QStringLiteral("Clear Page"), QStringLiteral("actionClearPage"), QKeySequence(),
            &ViewController::clearAllPagesButtonPressed);
    addPage(Button::deletePage, QStringLiteral("Delete Page"), QStringLiteral("actionDeletePage"), QKeySequence(),
            &ViewController::deletePageButtonPressed);
    page->addSeparator();
    addPage(Button::movePagePrev, QStringLiteral("Move Page Back"), QStringLiteral("actionMovePagePrev"),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_PageUp), &ViewController::ovMovePage_Prev);
    addPage(Button::movePageNext, QStringLiteral("Move Page Forward"), QStringLiteral("actionMovePageNext"),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_PageDown), &ViewController::ovMovePage_Next);
    addPage(Button::movePageFirst, QStringLiteral("Move Page to First"), QStringLiteral("actionMovePageFirst"),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Home), &ViewController::ovMovePage_First);
    addPage(Button::movePageLast, QStringLiteral("Move Page to Last"), QStringLiteral("actionMovePageLast"),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_End), &ViewController::ovMovePage_Last);

    edit->addSeparator();
    m_fill = edit->addAction(texts::kStepFill);
    m_fill->setObjectName(QStringLiteral("actionFillFromHere"));
    m_fill->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    m_buttonActions.insert(Button::FrontPanel, m_fill);
    m_copyMapping = edit->addAction(texts::kCopyMappingTitle);
    m_copyMapping->setObjectName(QStringLiteral("actionCopyMappingFrom"));
    m_buttonActions.insert(Button::FrontPanel, m_copyMapping);
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

    QMenu *help = menuBar->addMenu(QStringLiteral("&Help"));
    m_help = help->addAction(QStringLiteral("Brief instructions on use"));
    m_help->setObjectName(QStringLiteral("actionHelpMe"));
    m_help->setShortcut(QKeySequence::HelpContents);
    m_about = help->addAction(texts::kAbout.arg(QString::fromUtf8(ov::kApplicationName)));
    m_about->setObjectName(QStringLiteral("actionAbout"));
    m_about->setMenuRole(QAction::AboutRole);
}

void MainMenus::attach(ViewController &controller)
{
    ViewController *c = &controller;
    auto triggered = [this](QAction *action, auto slot) { connect(action, &QAction::triggered, this, slot); };
    triggered(m_scan, [c] { c->btnRunCheck(); });
    triggered(m_save, [c] { c->ovExportToPlist(); });
    triggered(m_chart, [c] { c->ovCreateChart(); });
    triggered(m_openFolder, [c] { c->btnOpenInFinder(); });
    triggered(m_help, [c] { c->ovHelpMe(); });
    triggered(m_undo, [c] { c->ovUndo(); });
    triggered(m_redo, [c] { c->ovRedo(); });
    triggered(m_fill, [this] { emit fillFromHereRequested(); });
    triggered(m_copyMapping, [c] { c->ovCopyMappingFrom(); });
    for (auto [base, action] : m_showChanges.asKeyValueRange())
        triggered(action, [c, base = base] { c->showChanges(base); });
    for (const PageCommand &command : std::as_const(m_pageCommands))
        triggered(command.action, [c, run = command.run] { (c->*run)(); });
}

void MainMenus::setUndoRedo(bool canUndo, const QString &undoText, bool canRedo, const QString &redoText)
{
    m_undo->setEnabled(canUndo);
    m_undo->setText(undoText);
    m_redo->setEnabled(canRedo);
    m_redo->setText(redoText);
}

} // namespace ov::ui::qt
