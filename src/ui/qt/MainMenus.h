#pragma once

#include "ui/EditorState.h"
#include "ui/View.h"

#include <QMultiMap>
#include <QObject>

class QAction;
class QMenu;
class QMenuBar;

namespace ov::ui {
class ViewController;
}

namespace ov::ui::qt {

// The main window's menus (File, Edit, View, Page, Help) and their commands. The commands that stand for a
// button of the window are enabled and disabled with it.
class MainMenus final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainMenus)

public:
    // Fills `menuBar`.
    explicit MainMenus(QMenuBar *menuBar);

    // Sends the commands to `controller`; call once.
    void attach(ViewController &controller);

    // The commands that stand for `button`.
    QList<QAction *> buttonActions(Button button) const { return m_buttonActions.values(button); }
    void setUndoRedo(bool canUndo, const QString &undoText, bool canRedo, const QString &redoText);
    // Checks the View > Display Width choice of `width` (0: Off).
    void showDisplayWidth(int width);

    QAction *saveApplicationDataAction() const { return m_saveApplicationData; }
    QAction *quitAction() const { return m_quit; }
    QAction *preferencesAction() const { return m_preferences; }
    QAction *aboutAction() const { return m_about; }
    // Edit > Search Parameters: the window puts the keyboard in the parameter list's search field.
    QAction *searchAction() const { return m_search; }

signals:
    // "Fill From Here" of the Edit menu: from the control the panel has current.
    void fillFromHereRequested();

private:
    struct Command;
    // Every command of the menus, in menu order.
    static QList<Command> commands();
    // Edit > Show Changes and its choices, one checked at a time.
    void addShowChanges(QMenu *edit);
    // View > Display Width and its choices, one checked at a time.
    void addDisplayWidth(QMenu *view);

    QAction *m_saveApplicationData = nullptr;
    QAction *m_quit = nullptr;
    QAction *m_preferences = nullptr;
    QAction *m_about = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    QAction *m_search = nullptr;
    QAction *m_fill = nullptr;
    QMap<ChangesBase, QAction *> m_showChanges;
    QMap<int, QAction *> m_displayWidths;
    // The commands that run an operation of the controller, with the operation each runs.
    struct MenuCommand {
        QAction *action;
        void (ViewController::*run)();
    };
    QList<MenuCommand> m_commands;
    QMultiMap<Button, QAction *> m_buttonActions;
};

} // namespace ov::ui::qt
