// The editor's edits of the table, undo and redo, and what follows each change on screen.
#include "ViewController.h"

#include "UiTexts.h"

#include "mapping/MappingTexts.h"
#include "mapping/ParameterPlacements.h"

namespace ov::ui {

// ---- editing ----

void ViewController::moveParameterPosition(int from, int to, int movePageMode)
{
    std::optional<bool> realParameterWritten;
    if (movePageMode == 1) {
        realParameterWritten = m_state.swap(from, to);
    } else {
        const std::optional<mapping::ParameterEntry> source = m_view.arrangedParameter(from);
        if (!source)
            return;
        realParameterWritten = m_state.assign(*source, to);
    }
    if (!realParameterWritten)
        return;
    populateKnobLabels(m_state.curPage);
    // The selection moves on for the next click only when the selected parameter was put down; then
    // the list learns where it stands, which may hide it.
    if (*realParameterWritten && movePageMode != 1)
        m_view.selectNextParameter();
    showEditingStatus();
    showTableChanged();
}

void ViewController::clickControl(int control)
{
    dropParameterOnControl(m_view.parameterSelectionIndex(), control);
}

void ViewController::prevPageButtonPressed()
{
    if (!m_state.isLoaded())
        return;
    populateKnobLabels(mapping::previousPage(m_state));
}

void ViewController::nextPageButtonPressed()
{
    if (!m_state.isLoaded())
        return;
    populateKnobLabels(mapping::nextPage(m_state));
}

void ViewController::firstPageButtonPressed()
{
    if (!m_state.isLoaded())
        return;
    populateKnobLabels(1);
}

void ViewController::lastPageButtonPressed()
{
    if (!m_state.isLoaded())
        return;
    populateKnobLabels(m_state.totalPages);
}

void ViewController::addControlsPage()
{
    if (!m_state.isLoaded())
        return;
    m_state.addPage();
    showEdited();
}

void ViewController::removeControlsPage()
{
    if (!m_state.isLoaded())
        return;
    if (m_state.curPage <= 1) {
        alertUser(mapping::texts::kCannotDeleteFirstPage, mapping::texts::kTryClearingInstead);
        return;
    }
    if (m_state.deletePage())
        showEdited();
}

void ViewController::clearThisPage()
{
    if (!m_state.isLoaded())
        return;
    m_state.clearPage();
    showEdited();
}

void ViewController::movePage(int fromPage, int toPage)
{
    // The panel is relabelled once, for the page as the exchange leaves it. The parameter selection
    // stays: only a click that put the selected parameter on a control moves it on.
    if (m_state.exchangePages(fromPage, toPage))
        showEdited();
}

void ViewController::ovMovePage_First()
{
    movePage(m_state.curPage, 1);
}

void ViewController::ovMovePage_Last()
{
    movePage(m_state.curPage, m_state.totalPages);
}

void ViewController::ovMovePage_Prev()
{
    movePage(m_state.curPage, m_state.curPage - 1);
}

void ViewController::ovMovePage_Next()
{
    movePage(m_state.curPage, m_state.curPage + 1);
}

// ---- editing: unsaved edits, undo and redo, drag and drop ----

bool ViewController::confirmUnsavedEdits()
{
    return !hasUnsavedEdits() || askToSaveUnsavedEdits();
}

bool ViewController::hasUnsavedEdits() const
{
    return m_state.isModified();
}

bool ViewController::askToSaveUnsavedEdits()
{
    switch (m_view.askToSave(texts::kSaveChangesQuestion.arg(m_state.openPlugin.Plugin), texts::kSaveChangesInfo)) {
    case View::SaveAnswer::Save:
        return exportToPlist();
    case View::SaveAnswer::Discard:
        return true;
    case View::SaveAnswer::Cancel:
        break;
    }
    return false;
}

void ViewController::ovUndo()
{
    if (m_state.undo())
        showEdited();
}

void ViewController::ovRedo()
{
    if (m_state.redo())
        showEdited();
}

void ViewController::dropParameterOnControl(int row, int control)
{
    if (control < 1 || control > mapping::kControlsPerPage || !m_state.isLoaded() || row < 0)
        return;
    moveParameterPosition(row, mapping::slotIndex(m_state.curPage, control), 0);
}

void ViewController::swapControls(int fromControl, int toControl)
{
    const auto isControl = [](int control) { return control >= 1 && control <= mapping::kControlsPerPage; };
    if (!isControl(fromControl) || !isControl(toControl) || fromControl == toControl || !m_state.isLoaded())
        return;
    // Rearranging the panel is not choosing parameters: the list's selection stays where it is.
    moveParameterPosition(mapping::slotIndex(m_state.curPage, fromControl),
                          mapping::slotIndex(m_state.curPage, toControl), 1);
}

void ViewController::clearControl(int control)
{
    if (control < 1 || control > mapping::kControlsPerPage || !m_state.isLoaded())
        return;
    const int slot = mapping::slotIndex(m_state.curPage, control);
    if (!m_state.hasSlot(slot) || m_state.plistBuild.at(slot).isEmptySlot())
        return;
    if (m_state.assign(mapping::ParameterEntry{}, slot))
        showEdited();
}

void ViewController::ovGoToPage()
{
    if (!m_state.isLoaded())
        return;
    if (const std::optional<int> page = m_view.askForPage(m_state.curPage, m_state.totalPages))
        showControl(*page, 1);
}

void ViewController::showControl(int page, int control)
{
    if (!m_state.isLoaded() || page < 1 || page > m_state.totalPages || control < 1
        || control > mapping::kControlsPerPage)
        return;
    populateKnobLabels(page);
    m_view.focusControl(control);
}

void ViewController::mappingSaved()
{
    showRecallButtons();
    showChangedPages();
    showEditState();
}

void ViewController::mappingClosed()
{
    m_state.close();
    m_state.openPlugin = {};
    m_view.setParameterPlacements({});
    for (int control = 1; control <= mapping::kControlsPerPage; ++control)
        m_view.setControlAlsoOn(control, QString());
    showChangedPages();
    showEditState();
}

void ViewController::showEdited()
{
    populateKnobLabels(m_state.curPage);
    showEditingStatus();
    showTableChanged();
}

void ViewController::showTableChanged()
{
    m_view.setParameterPlacements(m_state.placementsOfAvailable());
    showAlsoOnMarks(m_state.curPage);
    showChangedPages();
    showEditState();
}

void ViewController::showEditState()
{
    m_view.setMappingModified(hasUnsavedEdits());
    m_view.setButtonEnabled(Button::exportToPlist, m_state.isOpen() && hasUnsavedEdits());
    const mapping::MappingDocument &document = m_state;
    m_view.setUndoRedo(
        document.canUndo(), document.canUndo() ? texts::kUndoStep.arg(document.undoName()) : texts::kUndo,
        document.canRedo(), document.canRedo() ? texts::kRedoStep.arg(document.redoName()) : texts::kRedo);
}

void ViewController::showAlsoOnMarks(int page)
{
    for (int control = 1; control <= mapping::kControlsPerPage; ++control) {
        const int slot = mapping::slotIndex(page, control);
        const std::span<const int> taken =
            m_state.hasSlot(slot) ? m_state.slotsOf(m_state.plistBuild.at(slot)) : std::span<const int>();
        m_view.setControlAlsoOn(control,
                                taken.size() > 1 ? texts::kAlsoOn.arg(mapping::placementText(taken, slot)) : QString());
    }
}

} // namespace ov::ui
