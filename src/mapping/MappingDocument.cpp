#include "MappingDocument.h"

#include "MappingTexts.h"

#include <algorithm>

namespace ov::mapping {

namespace {

// The backup that Show Changes compares with, for the choices that take one.
QString backupSuffix(ChangesBase base)
{
    return base == ChangesBase::Original ? kOriginalSuffix : kPreviousSuffix;
}

} // namespace

// ---- opening and closing ----

void MappingDocument::load(const LoadedMapping &loaded, const QString &ownFile, bool modeDecided)
{
    plistBuild = loaded.plistBuild;
    curPage = 1;
    totalPages = loaded.totalPages;
    plugin_Mode = loaded.pluginMode;
    m_available = loaded.available;
    m_history.clear();
    if (!ownFile.isEmpty()) {
        // A reload in a newly chosen mode keeps the mode the file holds.
        if (modeDecided || !m_saved.open)
            m_saved.plugin_Mode = plugin_Mode;
        m_saved.open = true;
        m_saved.path = ownFile;
        m_saved.plistBuild = plistBuild;
    }
    readChangesBase();
    tableReplaced();
}

MappingDocument::Opened MappingDocument::open(const QString &path)
{
    Opened opened;
    PlistRead read = PlistDocument::read(path);
    if (!read.ok()) {
        opened.detail = read.error;
        return opened;
    }
    opened.file = std::move(read.document);
    opened.listAdded = addAvailableParameterList(opened.file);
    opened.loaded = loadMapping(opened.file, 1, kModeInsertEffect);
    return opened;
}

void MappingDocument::close()
{
    m_saved = Saved{};
    m_history.clear();
    m_available.clear();
    m_placements = ParameterPlacements();
    readChangesBase();
    compare();
}

void MappingDocument::unload()
{
    plistBuild.clear();
    totalPages = 0;
    close();
}

// ---- edits ----

template <typename Edit>
auto MappingDocument::rewriteSlots(const QString &name, std::initializer_list<std::pair<int, int>> runs, Edit edit)
{
    const int pageBefore = curPage;
    QVector<TableChange> written;
    for (const auto &[first, count] : runs) {
        if (hasSlot(first) && count > 0)
            written.append({first, plistBuild.mid(first, std::min<qsizetype>(count, plistBuild.size() - first)), 0});
    }
    const auto result = edit();
    if (m_history.record(name, pageBefore, written, *this))
        changed(m_history.lastChanges());
    return result;
}

std::optional<bool> MappingDocument::assign(const ParameterEntry &source, int slot)
{
    return rewriteSlots(texts::kStepAssignParameter, {{slot, 1}}, [&] { return assignParameter(*this, source, slot); });
}

std::optional<bool> MappingDocument::swap(int from, int to)
{
    // A slot swapped with itself is kept once.
    return rewriteSlots(texts::kStepSwapControls, {{std::min(from, to), 1}, {std::max(from, to), from == to ? 0 : 1}},
                        [&] { return swapSlots(*this, from, to); });
}

void MappingDocument::addPage()
{
    const int pageBefore = curPage, pagesBefore = totalPages;
    const int end = int(plistBuild.size());
    addControlsPage(*this);
    if (m_history.recordBlock(texts::kStepNewPage, pageBefore, pagesBefore, {end, {}, plistBuild.size() - end}, *this))
        changed(m_history.lastChanges());
}

bool MappingDocument::deletePage()
{
    const int pageBefore = curPage, pagesBefore = totalPages;
    const int first = slotIndex(curPage, 1);
    // Only the page's own slots are kept for the undo, not the table.
    QVector<ParameterEntry> removed =
        hasPage(curPage) ? plistBuild.mid(first, kControlsPerPage) : QVector<ParameterEntry>();
    if (!removeControlsPage(*this))
        return false;
    if (m_history.recordBlock(texts::kStepDeletePage, pageBefore, pagesBefore, {first, std::move(removed), 0}, *this))
        changed(m_history.lastChanges());
    return true;
}

void MappingDocument::clearPage()
{
    rewriteSlots(texts::kStepClearPage, {{slotIndex(curPage, 1), kControlsPerPage}}, [&] {
        clearThisPage(*this);
        return true;
    });
}

bool MappingDocument::exchangePages(int fromPage, int toPage)
{
    if (!canExchangePages(*this, fromPage, toPage))
        return false;
    const int first = slotIndex(std::min(fromPage, toPage), 1), second = slotIndex(std::max(fromPage, toPage), 1);
    return rewriteSlots(texts::kStepMovePage, {{first, kControlsPerPage}, {second, kControlsPerPage}},
                        [&] { return mapping::exchangePages(*this, fromPage, toPage); });
}

std::optional<FillResult> MappingDocument::fill(int page, int control, const QString &search)
{
    m_history.begin(*this, texts::kStepFill);
    std::optional<FillResult> filled = fillFromHere(*this, m_available, page, control, search);
    if (m_history.end(*this))
        changed(m_history.lastChanges());
    return filled;
}

CopyResult MappingDocument::copyFrom(const QVector<ParameterEntry> &other)
{
    m_history.begin(*this, texts::kStepCopyMapping);
    CopyResult copied = copyMappingFrom(*this, m_available, other);
    if (m_history.end(*this))
        changed(m_history.lastChanges());
    return copied;
}

RepairResult MappingDocument::repair()
{
    m_history.begin(*this, texts::kStepRepairMapping);
    const RepairResult repaired = repairMisfits(*this, m_available);
    if (m_history.end(*this))
        changed(m_history.lastChanges());
    return repaired;
}

LayoutFit MappingDocument::applyLayout(const Layout &layout)
{
    LayoutFit fit = fitLayout(layout, m_available);
    // As with a copied mapping, a layout that matches nothing leaves the table and the history alone.
    if (fit.matched == 0)
        return fit;
    m_history.begin(*this, texts::kStepApplyLayout);
    plistBuild = fit.table;
    totalPages = fit.pages;
    curPage = 1;
    if (m_history.end(*this))
        changed(m_history.lastChanges());
    return fit;
}

// ---- undo ----

bool MappingDocument::undo()
{
    if (!m_history.undo(*this))
        return false;
    changed(m_history.lastChanges());
    return true;
}

bool MappingDocument::redo()
{
    if (!m_history.redo(*this))
        return false;
    changed(m_history.lastChanges());
    return true;
}

// ---- unsaved edits ----

bool MappingDocument::hasTableEdits() const
{
    return m_saved.open && (plistBuild.size() != m_saved.plistBuild.size() || m_saved.differingSlots > 0);
}

bool MappingDocument::isModified() const
{
    return hasTableEdits() || (m_saved.open && plugin_Mode != m_saved.plugin_Mode);
}

void MappingDocument::countDifferingSlots(const QVector<TableChange> &changes)
{
    if (m_saved.plistBuild.size() != plistBuild.size())
        return; // the lengths alone tell
    const bool slotsRewrittenOnly = std::all_of(changes.cbegin(), changes.cend(), [](const TableChange &change) {
        return change.before.size() == change.afterSize;
    });
    if (!slotsRewrittenOnly) {
        m_saved.differingSlots = mapping::differingSlots(plistBuild, m_saved.plistBuild);
        return;
    }
    // The table was as long before: only the rewritten slots can have changed the count.
    for (const TableChange &change : changes) {
        for (qsizetype k = 0; k < change.afterSize; ++k) {
            const ParameterEntry &savedSlot = m_saved.plistBuild.at(change.position + k);
            m_saved.differingSlots += (sameSlot(change.before.at(k), savedSlot) ? 1 : 0)
                                      - (sameSlot(plistBuild.at(change.position + k), savedSlot) ? 1 : 0);
        }
    }
}

// ---- saving and recall ----

SaveResult MappingDocument::save()
{
    SaveResult result = exportToPlist(m_saved.path, plistBuild, plugin_Mode);
    if (result.ok()) {
        m_saved.plistBuild = plistBuild;
        m_saved.differingSlots = 0;
        m_saved.plugin_Mode = plugin_Mode;
        readChangesBase();
        compare();
    }
    return result;
}

MappingDocument::Recalled MappingDocument::recall(const QString &path, const QString &suffix, int mode)
{
    // The mapping the recall puts aside is in no backup: its undo brings it back as unsaved edits.
    const PlistRead replaced = PlistDocument::read(path);
    Recalled recalled{recallOriginalMapping(path, suffix), std::nullopt};
    if (recalled.result.ok() && replaced.ok())
        recalled.replaced = loadMapping(replaced.document, 0, mode);
    return recalled;
}

void MappingDocument::offerUndoOfRecall(const LoadedMapping &replaced)
{
    m_history.begin(MappingTable{replaced.plistBuild, 1, replaced.totalPages}, texts::kStepRecall);
    m_history.end(*this);
}

// ---- where parameters stand, and Show Changes ----

void MappingDocument::changed(const QVector<TableChange> &changes)
{
    m_placements.update(changes, plistBuild);
    countDifferingSlots(changes);
    compare();
}

void MappingDocument::tableReplaced()
{
    m_placements = ParameterPlacements(plistBuild);
    if (m_saved.plistBuild.size() == plistBuild.size())
        m_saved.differingSlots = mapping::differingSlots(plistBuild, m_saved.plistBuild);
    compare();
}

QVector<QVector<int>> MappingDocument::placementsOfAvailable() const
{
    QVector<QVector<int>> placements;
    placements.reserve(m_available.size());
    for (const ParameterEntry &entry : m_available) {
        const std::span<const int> taken = m_placements.slotsOf(entry);
        placements.append(QVector<int>(taken.begin(), taken.end()));
    }
    return placements;
}

bool MappingDocument::compareWith(ChangesBase base, const QString &otherFile)
{
    m_changesBase = base;
    m_otherFile = otherFile;
    const bool read = readChangesBase();
    compare();
    return read;
}

bool MappingDocument::readChangesBase()
{
    m_changesBaseTable.reset();
    m_changesBaseError.clear();
    if (!m_saved.open)
        return true;
    switch (m_changesBase) {
    case ChangesBase::None:
        return true;
    case ChangesBase::SavedFile:
        m_changesBaseTable = m_saved.plistBuild;
        return true;
    case ChangesBase::Previous:
    case ChangesBase::Original:
    case ChangesBase::OtherFile: {
        TableRead read = readMappingTable(m_changesBase == ChangesBase::OtherFile
                                              ? m_otherFile
                                              : backupPath(m_saved.path, backupSuffix(m_changesBase)));
        m_changesBaseTable = std::move(read.table);
        m_changesBaseError = read.error;
        return m_changesBaseTable.has_value();
    }
    }
    return true;
}

void MappingDocument::compare()
{
    m_changedSlots.clear();
    m_changedPages.clear();
    m_differences.clear();
    if (!m_changesBaseTable)
        return;
    const QVector<ParameterEntry> &base = *m_changesBaseTable;
    m_differences = diffMappings(base, plistBuild);
    for (const SlotDifference &difference : std::as_const(m_differences)) {
        m_changedSlots.insert(difference.slot,
                              difference.slot < base.size() ? base.at(difference.slot).Parameter : kEmptyParameter);
        const int page = difference.slot / kControlsPerPage + 1;
        if (m_changedPages.isEmpty() || m_changedPages.constLast() != page)
            m_changedPages.append(page);
    }
}

} // namespace ov::mapping
