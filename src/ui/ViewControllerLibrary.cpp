// The whole library of mappings: backed up into one archive, and restored from one.
#include "ViewController.h"

#include "UiTexts.h"

#include "library/LibraryRestore.h"

#include <QDate>
#include <QSet>

namespace ov::ui {

namespace {

QString restoreStateText(const library::RestoreItem &item)
{
    switch (item.state) {
    case library::RestoreState::Same:
        return texts::kRestoreSame;
    case library::RestoreState::Differs:
        return item.changedControls < 0 ? texts::kRestoreDiffersUnread
                                        : texts::kRestoreDiffers.arg(item.changedControls);
    case library::RestoreState::New:
        return texts::kRestoreNew;
    case library::RestoreState::Refused:
        break;
    }
    return texts::kRestoreRefused.arg(item.detail);
}

// Whether a restore of `item` would write anything.
bool writes(const library::RestoreItem &item)
{
    return item.state == library::RestoreState::Differs || item.state == library::RestoreState::New;
}

} // namespace

void ViewController::ovBackUpAllMappings()
{
    const std::optional<QString> path = m_view.askForSavePath(
        texts::kBackUpMenu, texts::kBackupFileName.arg(QDate::currentDate().toString(Qt::ISODate)), texts::kZipFilter);
    if (!path || path->isEmpty())
        return;
    const QVector<library::SettingsRoot> roots = m_environment.settingsRoots();
    library::BackupReport report;
    m_view.runInBackground(texts::kBackingUp, [&] { report = library::backUpLibrary(roots, *path); });
    if (!report.fatal.isEmpty()) {
        alertUser(texts::kBackupFailed, report.fatal);
        return;
    }
    QStringList failures;
    for (const library::BackupItem &item : report.items)
        if (!item.failure.isEmpty())
            failures.append(texts::kPluginFailedLine.arg(item.plugin, item.type, item.failure));
    const QString summary = texts::kBackupDone.arg(report.items.size() - failures.size()).arg(failures.size());
    updateHelperDisplay(summary);
    alertUser(summary, (QStringList{*path} + failures).join(QLatin1Char('\n')));
}

void ViewController::ovRestoreMappings()
{
    const std::optional<QString> path = m_view.askForOpenPath(texts::kRestoreMenu, texts::kZipFilter);
    if (!path || path->isEmpty())
        return;
    const QVector<library::SettingsRoot> roots = m_environment.settingsRoots();
    library::RestoreReport preview;
    m_view.runInBackground(texts::kReadingBackup, [&] { preview = library::restoreLibrary(*path, roots, true); });
    if (!preview.fatal.isEmpty()) {
        alertUser(texts::kRestoreFailed, preview.fatal);
        return;
    }
    View::TickList list{
        texts::kRestoreTitle, texts::kRestoreExplanation, texts::kRestoreStateColumn, texts::kRestoreTicked, {}};
    for (const library::RestoreItem &item : preview.items)
        list.rows.append(
            {item.plugin.isEmpty() ? item.name : item.plugin, item.type, restoreStateText(item), writes(item)});
    const std::optional<QVector<int>> ticked = m_view.askToTickRows(list);
    if (!ticked || ticked->isEmpty())
        return;
    QSet<QString> chosen;
    bool rewritesOpenFile = false;
    for (const int row : *ticked) {
        const library::RestoreItem &item = preview.items.at(row);
        if (!writes(item))
            continue;
        chosen.insert(item.name);
        rewritesOpenFile = rewritesOpenFile || (m_state.isOpen() && item.target == m_state.filePath());
    }
    // The open mapping's edits are settled before its file is replaced under it.
    if (rewritesOpenFile && !confirmUnsavedEdits())
        return;

    library::RestoreReport report;
    m_view.runInBackground(texts::kRestoring, [&] { report = library::restoreLibrary(*path, roots, false, chosen); });
    int restored = 0;
    bool anyNew = false;
    QStringList failures;
    for (const library::RestoreItem &item : report.items) {
        if (item.restored) {
            ++restored;
            anyNew = anyNew || item.state == library::RestoreState::New;
        } else if (chosen.contains(item.name) && !item.detail.isEmpty()) {
            failures.append(texts::kPluginFailedLine.arg(item.plugin, item.type, item.detail));
        }
    }
    if (rewritesOpenFile)
        plugInSelected(); // the open plug-in shows its restored mapping
    if (anyNew)
        failures.append(texts::kRestoreNewPlugins);
    const QString summary = texts::kRestoreDone.arg(restored).arg(static_cast<int>(chosen.size()) - restored);
    updateHelperDisplay(summary);
    alertUser(summary, failures.join(QLatin1Char('\n')));
}

} // namespace ov::ui
