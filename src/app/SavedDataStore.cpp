#include "SavedDataStore.h"

#include "AppTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace ov::app {

namespace {

const QString kClassName = QStringLiteral("AppDelegate");
const QString kSaveCommand = QStringLiteral("saveAction:");
const QString kTerminateQuestion = QStringLiteral("applicationShouldTerminate:");

class SqliteStoreContext final : public StoreContext {
public:
    explicit SqliteStoreContext(QString connection) : m_connection(std::move(connection)) { }
    ~SqliteStoreContext() override
    {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
    Q_DISABLE_COPY_MOVE(SqliteStoreContext)

    bool commitEditing() override { return true; }
    // Nothing in the editor writes to the store, so it has no unsaved changes.
    bool hasChanges() const override { return false; }
    bool save(QString *) override { return true; }

private:
    QString m_connection;
};

} // namespace

std::unique_ptr<StoreContext> openSqliteStore(const QString &file, QString *error)
{
    const QString connection = QStringLiteral("ovSavedData-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    auto fail = [&](const QString &reason) -> std::unique_ptr<StoreContext> {
        *error = reason;
        QSqlDatabase::database(connection, false).close();
        QSqlDatabase::removeDatabase(connection);
        return nullptr;
    };
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        if (!database.isValid())
            return fail(QStringLiteral("the SQLite driver is not available"));
        database.setDatabaseName(file);
        if (!database.open())
            return fail(database.lastError().text());
        QSqlQuery query(database);
#if defined(__APPLE__)
        // macOS's fsync stops at the drive's cache; a committed write must survive a power cut.
        query.exec(QStringLiteral("PRAGMA fullfsync = ON"));
#endif
        // Creating the table writes the file, and fails on a file that is not a database.
        if (!query.exec(
                QStringLiteral("CREATE TABLE IF NOT EXISTS store_metadata (key TEXT PRIMARY KEY, value TEXT NOT NULL)"))
            || !query.exec(
                QStringLiteral("INSERT OR IGNORE INTO store_metadata (key, value) VALUES ('identifier', '%1')")
                    .arg(QUuid::createUuid().toString(QUuid::WithoutBraces))))
            return fail(query.lastError().text());
    }
    return std::make_unique<SqliteStoreContext>(connection);
}

SavedDataStore::SavedDataStore(QString folder, ErrorPresenter presentError, LogSink log, StoreOpener open)
    : m_folder(std::move(folder)), m_presentError(std::move(presentError)), m_log(std::move(log)),
      m_open(std::move(open))
{
}

SavedDataStore::~SavedDataStore() = default;

QString SavedDataStore::storeFile() const
{
    return QDir(m_folder).filePath(texts::kStoreFileName);
}

StoreContext *SavedDataStore::managedObjectContext()
{
    if (!m_context)
        m_context = openStore();
    return m_context.get();
}

std::unique_ptr<StoreContext> SavedDataStore::openStore()
{
    QString failureReason = texts::kErrorCreatingOrLoading;
    bool failed = false;
    std::optional<QString> underlying;

    const QFileInfo folder(m_folder);
    if (folder.exists()) {
        if (!folder.isDir()) {
            failureReason = texts::kFoundAFile.arg(m_folder);
            failed = true;
        }
    } else if (!QDir().mkpath(m_folder)) {
        underlying = QStringLiteral("The folder %1 could not be created.").arg(m_folder);
    }

    std::unique_ptr<StoreContext> context;
    if (!failed && !underlying) {
        QString error;
        context = m_open ? m_open(storeFile(), &error) : nullptr;
        if (!context)
            underlying = QStringLiteral("The store %1 could not be opened: %2").arg(storeFile(), error);
    }
    if (failed || underlying) {
        const StoreError storeError{texts::kErrorDomain, texts::kErrorCode, texts::kFailedToInitialize, failureReason,
                                    underlying.value_or(QString())};
        if (m_presentError)
            m_presentError(storeError);
        return nullptr;
    }
    return context;
}

bool SavedDataStore::saveAction()
{
    StoreContext *context = managedObjectContext();
    if (!context)
        return false;
    if (!context->commitEditing() && m_log)
        m_log(texts::kUnableToCommitBeforeSaving.arg(kClassName, kSaveCommand));
    QString error;
    if (context->hasChanges() && !context->save(&error)) {
        if (m_presentError)
            m_presentError(StoreError{texts::kErrorDomain, texts::kErrorCode, texts::kSaveFailed, error, QString()});
        return false;
    }
    return true;
}

SavedDataStore::TerminateReply SavedDataStore::applicationShouldTerminate(const std::function<bool()> &askQuitAnyway)
{
    // The store is not opened just to quit.
    if (!m_context)
        return TerminateReply::TerminateNow;
    if (!m_context->commitEditing()) {
        if (m_log)
            m_log(texts::kUnableToCommitToTerminate.arg(kClassName, kTerminateQuestion));
        return TerminateReply::TerminateCancel;
    }
    if (!m_context->hasChanges())
        return TerminateReply::TerminateNow;
    QString error;
    if (m_context->save(&error))
        return TerminateReply::TerminateNow;
    if (m_presentError
        && m_presentError(StoreError{texts::kErrorDomain, texts::kErrorCode, texts::kSaveFailed, error, QString()}))
        return TerminateReply::TerminateCancel;
    return askQuitAnyway && askQuitAnyway() ? TerminateReply::TerminateNow : TerminateReply::TerminateCancel;
}

} // namespace ov::app
