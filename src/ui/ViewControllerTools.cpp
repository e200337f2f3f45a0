// The editor's moves over the whole mapping: fill the empty controls, copy a mapping from another
// plug-in, and show what changed.
#include "ViewController.h"

#include "EditStep.h"
#include "UiTexts.h"

#include "mapping/CopyMapping.h"
#include "mapping/FillFromHere.h"
#include "mapping/MappingDiff.h"
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
    std::optional<mapping::FillResult> filled;
    {
        EditStep step(*this, texts::kStepFill);
        filled = mapping::fillFromHere(m_state, m_state.availableParameters, m_state.curPage, control,
                                       m_view.parameterSearchText());
        if (filled)
            populateKnobLabels(m_state.curPage);
    }
    if (filled)
        updateHelperDisplay(filled->report());
}

// ---- copy a mapping from another plug-in ----

void ViewController::ovCopyMappingFrom()
{
    if (!m_state.isLoaded())
        return;
    if (const std::optional<catalogue::PluginRecord> plugin = m_view.askForPlugin(texts::kCopyMappingPrompt))
        copyMappingFrom(plugin->fileLocation, plugin->Plugin);
}

void ViewController::copyMappingFrom(const QString &path, const QString &from)
{
    if (!m_state.isLoaded())
        return;
    QString detail;
    const std::optional<QVector<mapping::ParameterEntry>> other = mapping::readMappingTable(path, &detail);
    if (!other) {
        alertUser(texts::kCopyMappingFailed, texts::kCopyMappingFailedInfo.arg(path, detail));
        return;
    }
    mapping::CopyResult copied;
    {
        EditStep step(*this, texts::kStepCopyMapping);
        copied = mapping::copyMappingFrom(m_state, m_state.availableParameters, *other);
        populateKnobLabels(m_state.curPage);
    }
    alertUser(copied.message(from), copied.informativeText());
}

// ---- show changes ----

void ViewController::showChanges(ChangesBase base)
{
    m_state.changesBase = base;
    if (!readChangesBase())
        alertUser(texts::kNoBackupToCompare, texts::kNoBackupToCompareInfo.arg(mapping::backupPath(
                                                 m_state.saved.plugin.fileLocation, backupSuffix(base))));
    compareWithChangesBase();
}

bool ViewController::readChangesBase()
{
    m_state.changesBaseTable.reset();
    if (!m_state.saved.open)
        return true;
    switch (m_state.changesBase) {
    case ChangesBase::None:
        return true;
    case ChangesBase::SavedFile:
        m_state.changesBaseTable = m_state.saved.plistBuild;
        return true;
    case ChangesBase::Previous:
    case ChangesBase::Original:
        m_state.changesBaseTable = mapping::readMappingTable(
            mapping::backupPath(m_state.saved.plugin.fileLocation, backupSuffix(m_state.changesBase)), nullptr);
        return m_state.changesBaseTable.has_value();
    }
    return true;
}

void ViewController::compareWithChangesBase()
{
    m_state.changedSlots.clear();
    QString pagesText;
    if (m_state.changesBaseTable) {
        const QVector<mapping::ParameterEntry> &base = *m_state.changesBaseTable;
        QStringList pages;
        for (const mapping::SlotDifference &difference : mapping::diffMappings(base, m_state.plistBuild)) {
            const bool inBase = difference.slot < base.size();
            m_state.changedSlots.insert(difference.slot,
                                        inBase ? base.at(difference.slot).Parameter : mapping::kEmptyParameter);
            const QString page = QString::number(difference.slot / mapping::kControlsPerPage + 1);
            if (pages.isEmpty() || pages.constLast() != page)
                pages.append(page);
        }
        pagesText = pages.isEmpty() ? texts::kNoChanges : texts::kChangedPages.arg(pages.join(QStringLiteral(", ")));
    }
    m_view.setLabelText(Label::labChangedPages, pagesText);
    showChangeMarks(m_state.curPage);
}

void ViewController::showChangeMarks(int page)
{
    for (int control = 1; control <= mapping::kControlsPerPage; ++control) {
        const auto found = m_state.changedSlots.constFind(mapping::slotIndex(page, control));
        m_view.setControlChanged(control,
                                 found == m_state.changedSlots.cend() ? QString() : texts::kChangedFrom.arg(*found));
    }
}

} // namespace ov::ui
