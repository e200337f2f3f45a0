#pragma once

#include "SavedDataStore.h"

#include <QObject>

#include <functional>

namespace ov::app {

// The application's delegate: answers whether to quit when the last window closes and whether
// quitting may go ahead, shows the saved-data store's errors, and holds the store.
class AppDelegate final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AppDelegate)

public:
    // Watches the application's windows and its quit requests; `storeFolder` is the store's folder.
    explicit AppDelegate(const QString &storeFolder, StoreOpener open = openSqliteStore, QObject *parent = nullptr);
    ~AppDelegate() override;

    static bool applicationShouldTerminateAfterLastWindowClosed() { return true; }
    // The saved-data store's folder: the user's application-support folder, then the bundle identifier.
    static QString applicationDocumentsDirectory();

    SavedDataStore &store() { return m_store; }
    // Asked first when the application is about to quit; false keeps it running.
    void setQuitCheck(std::function<bool()> check) { m_quitCheck = std::move(check); }

    // The Save command; whether the store is saved.
    bool saveAction() { return m_store.saveAction(); }
    // The Quit command: the quit flow, and the application quits when it answers quit now.
    void terminate();
    // The quit flow, asking the user when the changes cannot be saved.
    SavedDataStore::TerminateReply applicationShouldTerminate();

    // Shows a store error in a modal alert; returns whether it was dealt with (never: it is only shown).
    static bool presentError(const StoreError &error);
    // "Could not save changes while quitting. Quit anyway?": true for "Quit anyway".
    static bool askQuitAnyway();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void lastWindowClosed();

    SavedDataStore m_store;
    std::function<bool()> m_quitCheck;
    bool m_terminating = false; // the quit flow has answered quit now
};

} // namespace ov::app
