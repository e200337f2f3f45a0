// The editor's layouts, the check of a mapping against the plug-in's parameters, and names as a
// hardware display shows them.
#include "ViewController.h"

#include "UiTexts.h"

#include "catalogue/PluginScan.h"
#include "mapping/CopyMapping.h"
#include "mapping/DisplayNames.h"
#include "mapping/LayoutApply.h"
#include "mapping/MappingCheck.h"
#include "mapping/MappingTexts.h"

#include <QFileInfo>
#include <iterator>

namespace ov::ui {

namespace {

const QString kDisplayWidthKey = QStringLiteral("displayWidth");

// What a run over many plug-ins says of one that did not go through.
QString failedLine(const catalogue::PluginRecord &plugin, const QString &why)
{
    return texts::kPluginFailedLine.arg(plugin.Plugin, plugin.Type, why);
}

} // namespace

// ---- layouts ----

void ViewController::ovSaveLayout()
{
    if (!m_state.isLoaded())
        return;
    const std::optional<QString> name = m_view.askForText(texts::kSaveLayoutPrompt, m_state.openPlugin.Plugin);
    if (!name || name->trimmed().isEmpty())
        return;
    const mapping::Layout layout = mapping::layoutOf(name->trimmed(), m_state);
    const QString folder = m_environment.layoutsFolder();
    if (QFileInfo::exists(mapping::layoutFilePath(folder, layout.name))
        && !m_view.askToConfirm(texts::kReplaceLayoutQuestion.arg(layout.name), texts::kReplaceLayoutInfo,
                                texts::kReplaceLayoutButton))
        return;
    QString error;
    if (!mapping::saveLayout(folder, layout, &error)) {
        alertUser(texts::kLayoutNotSaved,
                  texts::kLayoutNotSavedInfo.arg(mapping::layoutFilePath(folder, layout.name), error));
        return;
    }
    updateHelperDisplay(texts::kLayoutSaved.arg(layout.name).arg(layout.controls.size()));
}

std::optional<mapping::Layout> ViewController::askForLayout(const QString &prompt)
{
    const QString folder = m_environment.layoutsFolder();
    const QVector<mapping::Layout> layouts = mapping::listLayouts(folder);
    if (layouts.isEmpty()) {
        alertUser(texts::kNoLayouts, texts::kNoLayoutsInfo.arg(folder));
        return std::nullopt;
    }
    QStringList names;
    for (const mapping::Layout &layout : layouts)
        names.append(layout.name);
    const std::optional<int> chosen = m_view.askForChoice(prompt, names);
    if (!chosen || *chosen < 0 || *chosen >= layouts.size())
        return std::nullopt;
    return layouts.at(*chosen);
}

void ViewController::ovApplyLayout()
{
    if (!m_state.isLoaded())
        return;
    const std::optional<mapping::Layout> layout = askForLayout(texts::kApplyLayoutPrompt);
    if (!layout)
        return;
    const mapping::LayoutFit fit = m_state.applyLayout(*layout);
    if (fit.matched > 0)
        showEdited();
    // Told as a copied mapping is told: the count matched, then the names that found nothing.
    const mapping::CopyResult told{fit.matched, fit.unmatched};
    alertUser((fit.matched > 0 ? texts::kLayoutApplied : texts::kLayoutNotApplied).arg(layout->name),
              told.informativeText());
}

void ViewController::ovApplyLayoutToPlugins()
{
    const std::optional<mapping::Layout> layout = askForLayout(texts::kApplyLayoutToPluginsPrompt);
    if (!layout)
        return;
    catalogue::PluginList plugins;
    View::TickList list{texts::kApplyLayoutTitle.arg(layout->name),
                        texts::kApplyLayoutExplanation,
                        texts::kMatchedColumn,
                        texts::kSaveTicked,
                        {}};
    const QVector<catalogue::ScanRoot> roots =
        m_environment.scanRoots ? m_environment.scanRoots() : QVector<catalogue::ScanRoot>();
    const QString openFile = m_state.isOpen() ? m_state.filePath() : QString();
    // Every plug-in's file is read for the preview, away from the window so that it keeps painting.
    m_view.runInBackground(texts::kReadingPlugins, [&] {
        for (const catalogue::PluginRecord &plugin : catalogue::scanPlugins(roots, m_environment.log)) {
            // The open plug-in takes a layout as one undo step of the editor, not behind its back.
            if (plugin.fileLocation == openFile)
                continue;
            const mapping::LayoutApplied preview = mapping::applyLayoutToFile(*layout, plugin.fileLocation, true);
            const QString detail = preview.failure.isEmpty()
                                       ? texts::kMatchedOf.arg(preview.matched).arg(layout->controls.size())
                                       : texts::kCannotRead.arg(preview.failure);
            plugins.append(plugin);
            list.rows.append({plugin.Plugin, plugin.Type, detail, preview.failure.isEmpty() && preview.matched > 0});
        }
    });
    const std::optional<QVector<int>> ticked = m_view.askToTickRows(list);
    if (!ticked || ticked->isEmpty())
        return;

    int saved = 0;
    QStringList failures;
    m_view.showProgress(texts::kSavingPlugin.arg(plugins.at(ticked->first()).Plugin), static_cast<int>(ticked->size()));
    int done = 0;
    // Each plug-in is saved whole before Cancel is looked at, so a cancelled run leaves no file half written.
    for (; done < ticked->size(); ++done) {
        const catalogue::PluginRecord &plugin = plugins.at(ticked->at(done));
        if (!m_view.advanceProgress(done, texts::kSavingPlugin.arg(plugin.Plugin)))
            break;
        const mapping::LayoutApplied applied = mapping::applyLayoutToFile(*layout, plugin.fileLocation, false);
        if (applied.saved)
            ++saved;
        else
            failures.append(failedLine(plugin, applied.failure));
    }
    m_view.closeProgress();
    const auto cancelled = static_cast<int>(ticked->size() - done);
    const QString summary = texts::kLayoutRunSummary.arg(saved).arg(failures.size()).arg(cancelled);
    updateHelperDisplay(summary);
    alertUser(summary, failures.join(QLatin1Char('\n')));
}

// ---- the mapping check ----

void ViewController::ovRepairMapping()
{
    if (!m_state.isLoaded())
        return;
    const mapping::RepairResult repaired = m_state.repair();
    if (repaired.moved + repaired.emptied == 0) {
        updateHelperDisplay(texts::kNothingToRepair);
        return;
    }
    showEdited();
    updateHelperDisplay(repaired.report());
}

void ViewController::showMisfitMarks(int page)
{
    QVector<QString> lines(mapping::kControlsPerPage);
    if (m_state.isLoaded() && !m_state.available().isEmpty()) {
        const qsizetype first = mapping::slotIndex(page, 1);
        const QVector<mapping::ParameterEntry> shown = first < m_state.plistBuild.size()
                                                           ? m_state.plistBuild.mid(first, mapping::kControlsPerPage)
                                                           : QVector<mapping::ParameterEntry>();
        for (const mapping::Misfit &misfit : mapping::findMisfits(shown, m_state.available()))
            lines[misfit.slot] = misfit.problem();
    }
    for (int control = 1; control <= mapping::kControlsPerPage; ++control)
        m_view.setControlMisfit(control, lines.at(control - 1));
}

// ---- display names ----

void ViewController::setDisplayWidth(int width)
{
    const bool offered = width == 0
                         || std::find(std::begin(mapping::kDisplayWidths), std::end(mapping::kDisplayWidths), width)
                                != std::end(mapping::kDisplayWidths);
    if (!offered)
        width = 0;
    m_state.displayWidth = width;
    if (m_environment.writeSetting)
        m_environment.writeSetting(kDisplayWidthKey, QString::number(width));
    m_view.showDisplayWidth(width);
    showCutNames(m_state.curPage);
    updateHelperDisplay(width > 0 ? texts::kDisplayWidthShown.arg(width) : texts::kDisplayWidthHidden);
}

void ViewController::showCutNames(int page)
{
    const int width = m_state.isLoaded() ? m_state.displayWidth : 0;
    QVector<QString> clashes(mapping::kControlsPerPage);
    if (width > 0) {
        for (const mapping::NameClash &clash : mapping::nameClashes(m_state.plistBuild, page, width)) {
            QStringList others;
            for (const int other : clash.others)
                others.append(QString::number(other));
            clashes[clash.control - 1] = (others.size() == 1 ? texts::kNameClashLine : texts::kNameClashLines)
                                             .arg(others.join(QStringLiteral(", ")));
        }
    }
    for (int control = 1; control <= mapping::kControlsPerPage; ++control) {
        const int slot = mapping::slotIndex(page, control);
        QString cut;
        if (width > 0 && m_state.hasSlot(slot) && !m_state.plistBuild.at(slot).isEmptySlot())
            cut = mapping::cutName(m_state.plistBuild.at(slot).Parameter, width);
        QStringList lines;
        if (!cut.isEmpty())
            lines.append(texts::kCutNameLine.arg(width).arg(cut));
        if (!clashes.at(control - 1).isEmpty())
            lines.append(clashes.at(control - 1));
        m_view.setControlCutName(control, cut, lines.join(QLatin1Char('\n')), !clashes.at(control - 1).isEmpty());
    }
}

} // namespace ov::ui
