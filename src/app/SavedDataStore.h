#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace ov::app {

// An error of the saved-data store, as it is presented to the user.
struct StoreError final {
    QString domain;
    int code = 0;
    QString description;
    QString failureReason;
    QString underlying; // the failed operation's own error, when there is one
};

// The working context over an open store.
class StoreContext {
public:
    virtual ~StoreContext() = default;
    // Finishes pending edits; false when they cannot be finished.
    virtual bool commitEditing() = 0;
    virtual bool hasChanges() const = 0;
    virtual bool save(QString *error) = 0;
};

// Opens (creating when missing) the store file; nothing and a reason when it cannot.
using StoreOpener = std::function<std::unique_ptr<StoreContext>(const QString &file, QString *error)>;

// The SQLite store: one database file with a small metadata table.
std::unique_ptr<StoreContext> openSqliteStore(const QString &file, QString *error);

// The application's saved-data store: a file in the application's data folder, opened on first use
// and kept open. No part of the editor puts data in it; it is reached by the Save command and the
// quit flow.
class SavedDataStore final {
public:
    // Shows an error to the user; true when the error was dealt with (recovered from).
    using ErrorPresenter = std::function<bool(const StoreError &error)>;
    using LogSink = std::function<void(const QString &line)>;

    enum class TerminateReply {
        TerminateCancel = 0,
        TerminateNow = 1
    };

    SavedDataStore(QString folder, ErrorPresenter presentError, LogSink log, StoreOpener open = openSqliteStore);
    ~SavedDataStore();
    Q_DISABLE_COPY_MOVE(SavedDataStore)

    // The store's folder; not created by asking.
    QString applicationDocumentsDirectory() const { return m_folder; }
    QString storeFile() const;

    // The context, opening the store on first use. Without a store (the folder is a file, cannot be
    // made, or the store cannot be opened) the error is presented and nothing is returned; the next
    // use tries again.
    StoreContext *managedObjectContext();
    bool hasContext() const { return m_context != nullptr; }

    // The Save command; whether the store is saved (false when it could not be opened or written,
    // which the user has been told).
    bool saveAction();

    // Whether quitting may go ahead. `askQuitAnyway` asks the user whether to quit although the
    // changes could not be saved, and returns true for "Quit anyway".
    TerminateReply applicationShouldTerminate(const std::function<bool()> &askQuitAnyway);

private:
    std::unique_ptr<StoreContext> openStore();

    QString m_folder;
    ErrorPresenter m_presentError;
    LogSink m_log;
    StoreOpener m_open;
    std::unique_ptr<StoreContext> m_context;
};

} // namespace ov::app
