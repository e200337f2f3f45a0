#include "ViewController.h"

#include "BusyScope.h"
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
    if (m_environment.readSetting)
        m_state.displayWidth = m_environment.readSetting(QStringLiteral("displayWidth")).toInt();
    m_view.showDisplayWidth(m_state.displayWidth);
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
        m_view.selectPlugin(m_state.openPlugin); // the open plug-in stays the chosen one
        return;
    }
    // The comment belongs to an upload of the plug-in it was written for.
    if (m_view.selectedPlugin()->fileLocation != m_state.openPlugin.fileLocation)
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
        m_state.unload();
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
    m_state.setMode(mode);
    m_view.selectPluginModeCell(0, modeColumn(mode));
    const std::optional<catalogue::PluginRecord> plugin = m_view.selectedPlugin();
    if (readPlist == 1 && plugin)
        readPlistFile(plugin->fileLocation, 0);
    populateKnobLabels(1);
    m_view.setParameterSelectionIndex(0);
    // The mode now held decides, not the argument.
    m_view.setLabelText(Label::mainTitle_Sub, m_state.plugin_Mode == mapping::kModeInsertEffect
                                                  ? texts::kInsertEffectMapper
                                                  : texts::kInstrumentMapper);
    showEditingStatus();
}

void ViewController::showEditingStatus()
{
    const std::optional<catalogue::PluginRecord> plugin = m_view.selectedPlugin();
    const QString name = plugin ? plugin->Plugin : QString();
    updateHelperDisplay(m_state.plugin_Mode == mapping::kModeInsertEffect ? texts::kEditingInsertEffect.arg(name)
                                                                          : texts::kEditingInstrument.arg(name));
}

void ViewController::ovPluginMode_Changed()
{
    if (!m_view.selectedPlugin() || !m_state.isLoaded())
        return;
    const int mode = m_view.selectedPluginModeTag();
    if (mode != mapping::kModeInsertEffect && mode != mapping::kModeInstrument)
        return;
    // The file is read again: edits of the table would be lost (the mode itself is the user's choice).
    if (m_state.hasTableEdits() && !askToSaveUnsavedEdits()) {
        m_view.selectPluginModeCell(0, modeColumn(m_state.plugin_Mode));
        return;
    }
    m_state.setMode(mode);
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
    readPlistFile(path, mapping::PlistDocument::read(path).document, checkMode);
}

void ViewController::readPlistFile(const QString &path, const mapping::PlistDocument &document, int checkMode,
                                   const std::optional<QVector<mapping::ParameterEntry>> &keptParameters)
{
    mapping::LoadedMapping loaded = mapping::loadMapping(document, checkMode, m_state.plugin_Mode);
    if (keptParameters)
        loaded.available = *keptParameters;
    m_view.setParameterList(loaded.available);
    // Only the plug-in's own file is what the edits are measured against: a mapping loaded from
    // elsewhere (a download) is not in that file until it is saved.
    const bool ownFile = path == m_view.labelText(Label::labPluginPlistLocation);
    m_state.load(loaded, ownFile ? path : QString(), checkMode == 1);
    if (const std::optional<catalogue::PluginRecord> plugin = m_view.selectedPlugin(); ownFile && plugin)
        m_state.openPlugin = *plugin;
    showTableChanged();
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
    showAlsoOnMarks(page);
    showChangeMarks(page);
    showMisfitMarks(page);
    showCutNames(page);
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
        result = m_state.save();
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
        && !m_view.askToDiscard(texts::kDiscardChangesQuestion.arg(m_state.openPlugin.Plugin),
                                texts::kRecallDiscardsInfo))
        return;
    const mapping::MappingDocument::Recalled recalled =
        mapping::MappingDocument::recall(path, suffix, m_state.plugin_Mode);
    if (recalled.result.ok()) {
        plugInSelected();
        if (recalled.replaced) {
            m_state.offerUndoOfRecall(*recalled.replaced);
            showEditState();
        }
    }
    alertUser(recalled.result.message(), recalled.result.informativeText());
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
        m_view.setControlMisfit(control, QString());
        m_view.setControlCutName(control, QString(), QString(), false);
    }
    m_view.setLabelText(Label::lab_PageCurrentlyDisplayed, QString());
    m_view.setLabelText(Label::labTotalPagesIndicator, QString());
}

} // namespace ov::ui
