#include "ViewController.h"

#include "BusyScope.h"
#include "EditStep.h"
#include "UiTexts.h"

#include "mapping/MappingTexts.h"
#include "mapping/ParameterOrderFile.h"
#include "mapping/SaveRecall.h"
#include "panel/Chart.h"
#include "panel/PanelLabels.h"

#include <QFileInfo>

#include <algorithm>

namespace ov::ui {

namespace {

constexpr Button kPluginButtons[] = {
    Button::firstPage,
    Button::prevPage,
    Button::nextPage,
    Button::lastPage,
    Button::newPage,
    Button::deletePage,
    Button::clearPage,
    Button::movePageFirst,
    Button::movePagePrev,
    Button::movePageNext,
    Button::movePageLast,
    Button::FrontPanel,
    Button::PluginMode,
    Button::exportToPlist,
    Button::recallOriginalMapping,
    Button::recallPreviousMapping,
    Button::createChart,
    Button::openInFinder,
    Button::ov_btn_cloudLibraryDownload,
};

// Column of the mode radio group that shows `mode`: instrument in column 0, insert/effect in column 1.
int modeColumn(int mode)
{
    return mode == mapping::kModeInsertEffect ? 1 : 0;
}

} // namespace

ViewController::ViewController(EditorState &state, View &view, ControllerEnvironment environment)
    : m_state(state), m_view(view), m_environment(std::move(environment))
{
    if (!m_environment.log)
        m_environment.log = [](const QString &) {};
}

void ViewController::viewDidLoad()
{
    showNoPluginOpen();
    btnRunCheck();
    readPrefsFile();
}

// ---- the plug-in scan ----

void ViewController::btnRunCheck()
{
    if (!confirmUnsavedEdits())
        return;
    BusyScope busy(m_view);
    // Both lists start empty, so no plug-in is open afterwards: the buttons that would act on one are
    // disabled until the next plug-in is chosen.
    m_view.setParameterList({});
    showNoPluginOpen();
    catalogue::PluginList records;
    const QVector<catalogue::ScanRoot> roots =
        m_environment.scanRoots ? m_environment.scanRoots() : QVector<catalogue::ScanRoot>();
    for (const catalogue::ScanRoot &root : roots)
        records += checkFiles(root.path, root.typeLabel);
    m_view.setPluginList(records);
    m_view.setLabelText(Label::labOCScreen_Title, catalogue::kScreenTitleAfterScan);
}

catalogue::PluginList ViewController::checkFiles(const QString &root, const QString &typeLabel)
{
    catalogue::PluginList records = catalogue::checkFiles(root, typeLabel, m_environment.log);
    updateHelperDisplay(catalogue::kStatusAfterScan);
    return records;
}

// ---- opening a plug-in, and the plug-in mode ----

void ViewController::tablePluginSelected()
{
    // A click on the list with no row chosen (empty space below the rows) does nothing.
    if (!m_view.selectedPlugin())
        return;
    if (!confirmUnsavedEdits()) {
        m_view.selectPlugin(m_state.saved.plugin); // the open plug-in stays the chosen one
        return;
    }
    // The comment belongs to an upload of the plug-in it was written for.
    if (m_view.selectedPlugin()->fileLocation != m_state.saved.plugin.fileLocation)
        m_view.setFieldText(Field::cwinUploadComments, QString());
    closeAllAuxillaryWindows();
    plugInSelected();
}

void ViewController::plugInSelected()
{
    const std::optional<catalogue::PluginRecord> plugin = m_view.selectedPlugin();
    if (!plugin)
        return;
    BusyScope busy(m_view);
    m_state.curPage = 1;
    m_view.setParameterSelectionIndex(0);
    m_view.setLabelText(Label::labOCScreen_Title, texts::kScreenTitle.arg(plugin->Plugin, plugin->Type));
    m_view.setLabelText(Label::labPluginPlistLocation, plugin->fileLocation);
    const std::optional<mapping::PlistDocument> document = oravelizePlistFile(plugin->fileLocation);
    if (!document) {
        // Nothing of a file that could not be read is shown as open, so nothing can be saved over it.
        m_state.plistBuild.clear();
        m_state.totalPages = 0;
        m_view.setParameterList({});
        showNoPluginOpen();
        m_view.setLabelText(Label::labOCScreen_Title, catalogue::kScreenTitleAfterScan);
        updateHelperDisplay(texts::kPluginFileUnreadable);
        return;
    }
    readPlistFile(plugin->fileLocation, *document, 1); // shows page 1 and selects the "-" row
    setPluginButtonsEnabled(true);
}

void ViewController::changePlugInMode(int mode, int readPlist)
{
    m_state.plugin_Mode = mode;
    m_view.selectPluginModeCell(0, modeColumn(mode));
    const std::optional<catalogue::PluginRecord> plugin = m_view.selectedPlugin();
    if (readPlist == 1 && plugin)
        readPlistFile(plugin->fileLocation, 0);
    populateKnobLabels(1);
    m_view.setParameterSelectionIndex(0);
    const QString name = plugin ? plugin->Plugin : QString();
    // The mode now held decides, not the argument.
    if (m_state.plugin_Mode == mapping::kModeInsertEffect) {
        m_view.setLabelText(Label::mainTitle_Sub, texts::kInsertEffectMapper);
        updateHelperDisplay(texts::kEditingInsertEffect.arg(name));
    } else {
        m_view.setLabelText(Label::mainTitle_Sub, texts::kInstrumentMapper);
        updateHelperDisplay(texts::kEditingInstrument.arg(name));
    }
}

void ViewController::ovPluginMode_Changed()
{
    if (!m_view.selectedPlugin() || !m_state.isLoaded())
        return;
    const int mode = m_view.selectedPluginModeTag();
    if (mode != mapping::kModeInsertEffect && mode != mapping::kModeInstrument)
        return;
    // The file is read again: edits of the table would be lost (the mode itself is the user's choice).
    if (hasUnsavedTableEdits() && !askToSaveUnsavedEdits()) {
        m_view.selectPluginModeCell(0, modeColumn(m_state.plugin_Mode));
        return;
    }
    m_state.plugin_Mode = mode;
    updateHelperDisplay(texts::kReadingParameters);
    BusyScope busy(m_view); // after the status text, so that it shows while the file is read
    changePlugInMode(m_state.plugin_Mode, 1);
}

void ViewController::updateHelperDisplay(const QString &text)
{
    m_view.setLabelText(Label::labelHelperDisplay, text);
}

// ---- loading ----

std::optional<mapping::PlistDocument> ViewController::oravelizePlistFile(const QString &path)
{
    mapping::OravelizeResult result = mapping::oravelizePlistFile(path);
    switch (result.outcome) {
    case mapping::OravelizeOutcome::AlreadyListed:
    case mapping::OravelizeOutcome::Added:
    case mapping::OravelizeOutcome::Missing:
        break;
    case mapping::OravelizeOutcome::Unreadable:
        alertUser(texts::kPluginFileUnreadable, texts::kPluginFileUnreadableInfo.arg(path, result.detail));
        return std::nullopt;
    case mapping::OravelizeOutcome::WriteFailed:
        alertUser(texts::kPluginFileNotUpdated, texts::kPluginFileNotUpdatedInfo.arg(path, result.detail));
        break;
    }
    return std::move(result.document);
}

void ViewController::readPlistFile(const QString &path, int checkMode)
{
    mapping::PlistReadStatus status;
    readPlistFile(path, mapping::PlistDocument::fromFile(path, &status), checkMode);
}

void ViewController::readPlistFile(const QString &path, const mapping::PlistDocument &document, int checkMode,
                                   const std::optional<QVector<mapping::ParameterEntry>> &keptParameters)
{
    mapping::LoadedMapping loaded = mapping::loadMapping(document, checkMode, m_state.plugin_Mode);
    if (keptParameters)
        loaded.available = *keptParameters;
    m_view.setParameterList(loaded.available);
    m_state.plistBuild = loaded.plistBuild;
    m_state.totalPages = loaded.totalPages;
    m_state.plugin_Mode = loaded.pluginMode;
    mappingLoaded(path, checkMode, loaded.available);
    if (checkMode == 1)
        changePlugInMode(loaded.pluginMode, 0);
}

// ---- the relabel ----

void ViewController::populateKnobLabels(int page)
{
    const std::optional<catalogue::PluginRecord> plugin = m_view.selectedPlugin();
    m_state.chart.relabelled(plugin ? plugin->Plugin : QString(), plugin ? plugin->fileLocation : QString());
    m_state.curPage = page;
    // A control whose slot does not exist shows "-" and keeps its tooltip.
    const panel::PanelLabels labels = panel::labelsForPage(m_state, page);
    for (int n = 0; n < mapping::kControlsPerPage; ++n) {
        m_view.setControlLabel(n + 1, labels.text[n]);
        m_view.setControlParamNum(n + 1, labels.number[n]);
        if (labels.toolTip[n])
            m_view.setControlToolTip(n + 1, *labels.toolTip[n]);
    }
    m_view.setLabelText(Label::lab_PageCurrentlyDisplayed, labels.pageCurrentlyDisplayed);
    m_view.setLabelText(Label::labTotalPagesIndicator, labels.totalPagesIndicator);
    showPageButtons();
    if (!m_state.history.isOpen()) {
        showAlsoOnMarks(page);
        showChangeMarks(page);
    }
}

// ---- editing ----

void ViewController::moveParameterPosition(int from, int to, int movePageMode)
{
    EditStep step(*this, movePageMode == 1 ? texts::kStepSwapControls : texts::kStepAssignParameter,
                  EditStep::Writes::AnnouncedSlots);
    m_state.history.willWrite(m_state, to);
    std::optional<bool> realParameterWritten;
    if (movePageMode == 1) {
        m_state.history.willWrite(m_state, from);
        realParameterWritten = mapping::swapSlots(m_state, from, to);
    } else {
        const std::optional<mapping::ParameterEntry> source = m_view.arrangedParameter(from);
        if (!source)
            return;
        realParameterWritten = mapping::assignParameter(m_state, *source, to);
    }
    if (!realParameterWritten)
        return;
    populateKnobLabels(m_state.curPage);
    // The selection moves on for the next click only when the selected parameter was put down.
    if (*realParameterWritten && movePageMode != 1)
        m_view.selectNextParameter();
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
    EditStep step(*this, texts::kStepNewPage);
    mapping::addControlsPage(m_state);
    populateKnobLabels(m_state.curPage);
}

void ViewController::removeControlsPage()
{
    if (!m_state.isLoaded())
        return;
    if (m_state.curPage <= 1) {
        alertUser(mapping::texts::kCannotDeleteFirstPage, mapping::texts::kTryClearingInstead);
        return;
    }
    EditStep step(*this, texts::kStepDeletePage);
    if (mapping::removeControlsPage(m_state))
        populateKnobLabels(m_state.curPage);
}

void ViewController::clearThisPage()
{
    if (!m_state.isLoaded())
        return;
    EditStep step(*this, texts::kStepClearPage, EditStep::Writes::AnnouncedSlots);
    m_state.history.willWrite(m_state, mapping::slotIndex(m_state.curPage, 1), mapping::kControlsPerPage);
    mapping::clearThisPage(m_state);
    populateKnobLabels(m_state.curPage);
}

void ViewController::movePage(int fromPage, int toPage)
{
    if (!mapping::canExchangePages(m_state, fromPage, toPage))
        return;
    EditStep step(*this, texts::kStepMovePage, EditStep::Writes::AnnouncedSlots);   // the 32 swaps are one step
    for (const int page : {std::min(fromPage, toPage), std::max(fromPage, toPage)}) // kept in table order
        m_state.history.willWrite(m_state, mapping::slotIndex(page, 1), mapping::kControlsPerPage);
    // The panel is relabelled once, for the page as the exchange leaves it. The parameter selection
    // stays: only a click that put the selected parameter on a control moves it on.
    mapping::exchangePages(m_state, fromPage, toPage);
    populateKnobLabels(m_state.curPage);
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

// ---- saving and recall ----

bool ViewController::exportToPlist()
{
    const QString path = m_view.labelText(Label::labPluginPlistLocation);
    if (path.isEmpty() || !m_state.isLoaded())
        return false;
    // A save with nothing changed would only copy the file over ".prev" and lose the real previous version.
    if (!hasUnsavedEdits())
        return true;
    mapping::SaveResult result;
    {
        BusyScope busy(m_view);
        result = mapping::exportToPlist(path, m_state.plistBuild, m_state.plugin_Mode);
    }
    if (result.ok())
        mappingSaved();
    alertUser(result.message(), result.informativeText());
    return result.ok();
}

void ViewController::ovRecallOriginalMapping()
{
    recallOriginalMapping(mapping::kOriginalSuffix);
}

void ViewController::ovRecallPreviousMapping()
{
    recallOriginalMapping(mapping::kPreviousSuffix);
}

void ViewController::recallOriginalMapping(const QString &suffix)
{
    const QString path = m_view.labelText(Label::labPluginPlistLocation);
    if (path.isEmpty())
        return;
    // Without the backup nothing is replaced and nothing needs asking. With it, saving the edits first
    // would put them in the file only for the recall to replace them, and push the previous backup out.
    if (QFileInfo::exists(mapping::backupPath(path, suffix)) && hasUnsavedEdits()
        && !m_view.askToDiscard(texts::kDiscardChangesQuestion.arg(m_state.saved.plugin.Plugin),
                                texts::kRecallDiscardsInfo))
        return;
    // The mapping the recall puts aside is in no backup: Undo Recall brings it back as unsaved edits.
    mapping::PlistReadStatus status;
    const mapping::PlistDocument replaced = mapping::PlistDocument::fromFile(path, &status);
    const mapping::RecallResult result = mapping::recallOriginalMapping(path, suffix);
    if (result.ok()) {
        plugInSelected();
        if (status == mapping::PlistReadStatus::Ok) {
            const mapping::LoadedMapping loaded = mapping::loadMapping(replaced, 0, m_state.plugin_Mode);
            m_state.history.begin(mapping::MappingTable{loaded.plistBuild, 1, loaded.totalPages}, texts::kStepRecall);
            m_state.history.end(m_state);
            showEditState();
        }
    }
    alertUser(result.message(), result.informativeText());
}

// ---- the chart ----

void ViewController::ovCreateChart()
{
    outputChartAs(texts::kChartFormatHtml);
}

void ViewController::outputChartAs(const QString &format)
{
    Q_UNUSED(format) // the chart is always HTML
    const std::optional<catalogue::PluginRecord> plugin = m_view.selectedPlugin();
    if (!plugin || !m_state.isLoaded())
        return;
    const QString path = panel::chartPath(plugin->fileLocation);
    const panel::ChartWriteResult written = panel::writeChart(path, m_state.bHTML());
    if (!written.ok) {
        alertUser(panel::texts::kChartNotWritten, panel::texts::kChartNotWrittenInfo.arg(written.path, written.detail));
        return;
    }
    // Where the chart went, also when no browser shows it.
    updateHelperDisplay(panel::texts::kChartWritten.arg(path));
    if (!m_view.openPath(path))
        alertUser(panel::texts::kChartNotOpened, panel::texts::kChartNotOpenedInfo.arg(path));
}

// ---- services ----

void ViewController::openInFinder()
{
    const QString path = m_view.labelText(Label::labPluginPlistLocation);
    if (path.isEmpty())
        return;
    m_view.openPath(QFileInfo(path).path());
}

void ViewController::ovHelpMe()
{
    alertUser(texts::kHelpTitle, texts::kHelpText);
}

void ViewController::alertUser(const QString &message, const QString &informativeText)
{
    m_view.runAlert(message, informativeText);
}

void ViewController::closeAllAuxillaryWindows()
{
    m_view.closeWindow(Window::cwinUploadWindow);
    m_view.closeWindow(Window::cwinDownloadWindow);
    m_view.closeWindow(Window::cwinCloudWindow);
}

void ViewController::setPluginButtonsEnabled(bool enabled)
{
    for (const Button button : kPluginButtons)
        m_view.setButtonEnabled(button, enabled);
    if (enabled) {
        showPageButtons();
        showRecallButtons();
        m_view.setButtonEnabled(Button::exportToPlist, hasUnsavedEdits());
    }
    showShareButton();
}

void ViewController::showPageButtons()
{
    const bool loaded = m_state.isLoaded();
    for (const Button button : {Button::firstPage, Button::prevPage, Button::movePageFirst, Button::movePagePrev})
        m_view.setButtonEnabled(button, loaded && m_state.curPage > 1);
    for (const Button button : {Button::nextPage, Button::lastPage, Button::movePageNext, Button::movePageLast})
        m_view.setButtonEnabled(button, loaded && m_state.curPage < m_state.totalPages);
}

void ViewController::showRecallButtons()
{
    const QString path = m_view.labelText(Label::labPluginPlistLocation);
    m_view.setButtonEnabled(Button::recallOriginalMapping,
                            !path.isEmpty() && QFileInfo::exists(mapping::backupPath(path, mapping::kOriginalSuffix)));
    m_view.setButtonEnabled(Button::recallPreviousMapping,
                            !path.isEmpty() && QFileInfo::exists(mapping::backupPath(path, mapping::kPreviousSuffix)));
}

void ViewController::showShareButton()
{
    m_view.setButtonEnabled(Button::ov_btn_cloudLibrary,
                            m_state.loggedInAs != kNoOneHere
                                && !m_view.labelText(Label::labPluginPlistLocation).isEmpty());
}

void ViewController::showNoPluginOpen()
{
    mappingClosed();
    m_view.setLabelText(Label::labPluginPlistLocation, QString());
    setPluginButtonsEnabled(false);
    for (int control = 1; control <= mapping::kControlsPerPage; ++control) {
        m_view.setControlLabel(control, mapping::kEmptyParameter);
        m_view.setControlParamNum(control, QString());
        m_view.setControlToolTip(control, QString());
    }
    m_view.setLabelText(Label::lab_PageCurrentlyDisplayed, QString());
    m_view.setLabelText(Label::labTotalPagesIndicator, QString());
}

// ---- editing: unsaved edits, undo and redo, drag and drop ----

bool ViewController::confirmUnsavedEdits()
{
    return !hasUnsavedEdits() || askToSaveUnsavedEdits();
}

bool ViewController::hasUnsavedEdits() const
{
    return hasUnsavedTableEdits() || (m_state.saved.open && m_state.plugin_Mode != m_state.saved.plugin_Mode);
}

bool ViewController::hasUnsavedTableEdits() const
{
    const SavedMapping &saved = m_state.saved;
    return saved.open && (m_state.plistBuild.size() != saved.plistBuild.size() || saved.differingSlots > 0);
}

bool ViewController::askToSaveUnsavedEdits()
{
    switch (m_view.askToSave(texts::kSaveChangesQuestion.arg(m_state.saved.plugin.Plugin), texts::kSaveChangesInfo)) {
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
    if (!m_state.history.undo(m_state))
        return;
    populateKnobLabels(m_state.curPage);
    showTableChanged(m_state.history.lastChanges());
}

void ViewController::ovRedo()
{
    if (!m_state.history.redo(m_state))
        return;
    populateKnobLabels(m_state.curPage);
    showTableChanged(m_state.history.lastChanges());
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

void ViewController::mappingLoaded(const QString &path, int checkMode,
                                   const QVector<mapping::ParameterEntry> &available)
{
    m_state.history.clear();
    m_state.availableParameters = available;
    // Only the plug-in's own file is what the edits are measured against: a mapping loaded from
    // elsewhere (a download) is not in that file until it is saved.
    if (path == m_view.labelText(Label::labPluginPlistLocation)) {
        SavedMapping &saved = m_state.saved;
        // A reload in a newly chosen mode keeps the mode the file holds.
        if (checkMode == 1 || !saved.open)
            saved.plugin_Mode = m_state.plugin_Mode;
        saved.open = true;
        saved.plistBuild = m_state.plistBuild;
        if (const std::optional<catalogue::PluginRecord> plugin = m_view.selectedPlugin())
            saved.plugin = *plugin;
    }
    readChangesBase();
    showTableChanged();
}

void ViewController::mappingSaved()
{
    showRecallButtons();
    m_state.saved.plistBuild = m_state.plistBuild;
    m_state.saved.differingSlots = 0;
    m_state.saved.plugin_Mode = m_state.plugin_Mode;
    readChangesBase();
    compareWithChangesBase();
    showEditState();
}

void ViewController::mappingClosed()
{
    m_state.saved = SavedMapping{};
    m_state.history.clear();
    m_state.availableParameters.clear();
    m_state.placements = mapping::ParameterPlacements();
    m_view.setParameterPlacements({});
    for (int control = 1; control <= mapping::kControlsPerPage; ++control)
        m_view.setControlAlsoOn(control, QString());
    readChangesBase();
    compareWithChangesBase();
    showEditState();
}

void ViewController::showTableChanged(const std::optional<QVector<mapping::TableChange>> &changes)
{
    if (changes)
        m_state.placements.update(*changes, m_state.plistBuild);
    else
        m_state.placements = mapping::ParameterPlacements(m_state.plistBuild);
    countUnsavedSlots(changes);
    QStringList placements;
    placements.reserve(m_state.availableParameters.size());
    for (const mapping::ParameterEntry &entry : std::as_const(m_state.availableParameters))
        placements.append(mapping::placementText(m_state.placements.slotsOf(entry)));
    m_view.setParameterPlacements(placements);
    showAlsoOnMarks(m_state.curPage);
    compareWithChangesBase();
    showEditState();
}

void ViewController::countUnsavedSlots(const std::optional<QVector<mapping::TableChange>> &changes)
{
    SavedMapping &saved = m_state.saved;
    if (saved.plistBuild.size() != m_state.plistBuild.size())
        return; // the lengths alone tell
    const bool slotsRewrittenOnly = changes && std::all_of(changes->cbegin(), changes->cend(), [](const auto &change) {
                                        return change.before.size() == change.afterSize;
                                    });
    if (!slotsRewrittenOnly) {
        saved.differingSlots = mapping::differingSlots(m_state.plistBuild, saved.plistBuild);
        return;
    }
    // The table was as long before: only the rewritten slots can have changed the count.
    for (const mapping::TableChange &change : *changes) {
        for (qsizetype k = 0; k < change.afterSize; ++k) {
            const mapping::ParameterEntry &savedSlot = saved.plistBuild.at(change.position + k);
            saved.differingSlots +=
                (mapping::sameSlot(change.before.at(k), savedSlot) ? 1 : 0)
                - (mapping::sameSlot(m_state.plistBuild.at(change.position + k), savedSlot) ? 1 : 0);
        }
    }
}

void ViewController::showEditState()
{
    m_view.setMappingModified(hasUnsavedEdits());
    m_view.setButtonEnabled(Button::exportToPlist, m_state.saved.open && hasUnsavedEdits());
    const mapping::EditHistory &history = m_state.history;
    m_view.setUndoRedo(history.canUndo(), history.canUndo() ? texts::kUndoStep.arg(history.undoName()) : texts::kUndo,
                       history.canRedo(), history.canRedo() ? texts::kRedoStep.arg(history.redoName()) : texts::kRedo);
}

void ViewController::showAlsoOnMarks(int page)
{
    for (int control = 1; control <= mapping::kControlsPerPage; ++control) {
        const int slot = mapping::slotIndex(page, control);
        const std::span<const int> taken = m_state.placements.slotsAt(slot);
        m_view.setControlAlsoOn(control,
                                taken.size() > 1 ? texts::kAlsoOn.arg(mapping::placementText(taken, slot)) : QString());
    }
}

} // namespace ov::ui
