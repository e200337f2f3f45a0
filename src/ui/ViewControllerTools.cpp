// The editor's moves over the whole mapping: fill the empty controls, copy a mapping from another
// plug-in, and show what changed.
#include "ViewController.h"

#include "UiTexts.h"

#include "mapping/ParameterOrderFile.h"
#include "mapping/SaveRecall.h"

namespace ov::ui {

namespace {

// The backup that Show Changes compares with, for the choices that take one.
QString backupSuffix(ChangesBase base)
{
    return base == ChangesBase::Original ? mapping::kOriginalSuffix : mapping::kPreviousSuffix;
}

} // namespace

// ---- fill ----

void ViewController::fillFromHere(int control)
{
    if (!m_state.isLoaded())
        return;
    const std::optional<mapping::FillResult> filled =
        m_state.fill(m_state.curPage, control, m_view.parameterSearchText());
    if (!filled)
        return;
    showEdited();
    updateHelperDisplay(filled->report());
}

// ---- copy a mapping from another plug-in ----

void ViewController::ovCopyMappingFrom()
{
    if (!m_state.isLoaded())
        return;
    // Copying from the open plug-in itself would change nothing, and a file that cannot be read
    // would only end in an alert.
    const QString open = m_state.filePath();
    const auto offered = [&open](const catalogue::PluginRecord &record) {
        return record.fileLocation != open && mapping::readMappingTable(record.fileLocation).table.has_value();
    };
    if (const std::optional<catalogue::PluginRecord> plugin = m_view.askForPlugin(texts::kCopyMappingPrompt, offered))
        copyMappingFrom(plugin->fileLocation, plugin->Plugin);
}

void ViewController::copyMappingFrom(const QString &path, const QString &from)
{
    if (!m_state.isLoaded())
        return;
    const mapping::TableRead other = mapping::readMappingTable(path);
    if (!other.table) {
        alertUser(texts::kCopyMappingFailed, texts::kCopyMappingFailedInfo.arg(path, other.error));
        return;
    }
    const mapping::CopyResult copied = m_state.copyFrom(*other.table);
    showEdited();
    alertUser(copied.message(from), copied.informativeText());
}

// ---- show changes ----

void ViewController::showChanges(ChangesBase base)
{
    if (!m_state.compareWith(base))
        alertUser(texts::kNoBackupToCompare,
                  texts::kNoBackupToCompareInfo.arg(mapping::backupPath(m_state.filePath(), backupSuffix(base))));
    showChangedPages();
}

void ViewController::showChangedPages()
{
    QString pagesText;
    if (m_state.isComparing()) {
        QStringList pages;
        for (const int page : m_state.changedPages())
            pages.append(QString::number(page));
        pagesText = pages.isEmpty() ? texts::kNoChanges : texts::kChangedPages.arg(pages.join(QStringLiteral(", ")));
    }
    m_view.setLabelText(Label::labChangedPages, pagesText);
    showChangeMarks(m_state.curPage);
}

void ViewController::showChangeMarks(int page)
{
    const QHash<int, QString> &changed = m_state.changedSlots();
    for (int control = 1; control <= mapping::kControlsPerPage; ++control) {
        const auto found = changed.constFind(mapping::slotIndex(page, control));
        m_view.setControlChanged(control, found == changed.cend() ? QString() : texts::kChangedFrom.arg(*found));
    }
}

} // namespace ov::ui
