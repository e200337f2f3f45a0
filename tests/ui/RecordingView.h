#pragma once

#include "mapping/ParameterPlacements.h"
#include "ui/View.h"

#include <QMap>
#include <QStringList>

#include <array>
#include <vector>

namespace ov::ui::test {

// A View that records what the controller does to it, and lets a test play the user.
class RecordingView final : public View {
public:
    struct Alert {
        QString message;
        QString informativeText;
    };

    // What the window shows.
    QMap<Label, QString> labels;
    QMap<Label, int> labelWrites;
    std::array<QString, 33> controlText{};     // by control number; [0] unused
    std::array<QString, 33> controlToolTip{};  // by control number; [0] unused
    std::array<QString, 33> controlParamNum{}; // by control number; [0] unused
    QMap<Button, bool> enabled;
    catalogue::PluginList plugins;
    int pluginSelection = -1;
    QVector<mapping::ParameterEntry> parameters;
    // arranged row -> row of `parameters`; empty means the list's own order.
    QVector<int> arrangement;
    int parameterSelection = -1;
    int modeColumn = -1; // the checked cell of the mode radio group
    std::vector<Alert> alerts;
    QStringList opened;
    bool openSucceeds = true;
    // Every call in order, for tests of ordering ("close:cwinUploadWindow", "title:...", ...).
    QStringList events;
    // Every text the status line was given, in order.
    QStringList helperTexts;
    int busyDepth = 0;
    int busyCalls = 0;
    // The community windows.
    QMap<Field, QString> fields;
    QVector<community::DownloadListEntry> downloads;
    int downloadSelection = -1;
    QStringList downloadPreview;
    // The answers to askToConfirm, taken in order (beyond them: Cancel), and the questions asked.
    std::vector<bool> confirmAnswers;
    std::vector<Alert> confirmQuestions;

    // Editing: the answers to the save question, taken in order (a question beyond them is
    // answered Cancel), the questions asked, the modified marker, the Undo and Redo commands, the
    // parameter list's placements column and the panel's marks.
    std::vector<SaveAnswer> saveAnswers;
    std::vector<Alert> saveQuestions;
    std::vector<bool> discardAnswers; // true: Discard; a question beyond them is answered Cancel
    std::vector<Alert> discardQuestions;
    bool modified = false;
    bool canUndo = false;
    bool canRedo = false;
    QString undoText;
    QString redoText;
    QStringList placements;
    int placementWrites = 0;
    std::array<QString, 33> controlAlsoOn{}; // by control number; [0] unused

    // Fill, copy and show changes: the search field's text, the row of the plug-in list the user
    // picks when asked (-1: cancel), the prompts asked, and the panel's change marks.
    QString searchText;
    int pluginChoice = -1;
    QStringList pluginPrompts;
    std::array<QString, 33> controlChanged{}; // by control number; [0] unused

    int relabels() const { return labelWrites.value(Label::lab_PageCurrentlyDisplayed); }
    QString label(Label which) const { return labels.value(which); }
    int arrangedCount() const
    {
        return static_cast<int>(arrangement.isEmpty() ? parameters.size() : arrangement.size());
    }

    void setLabelText(Label label, const QString &text) override
    {
        labels[label] = text;
        labelWrites[label] += 1;
        if (label == Label::labOCScreen_Title)
            events.append(QStringLiteral("title:") + text);
        if (label == Label::labelHelperDisplay)
            helperTexts.append(text);
    }
    QString labelText(Label label) const override { return labels.value(label); }
    void setControlLabel(int control, const QString &text) override { controlText.at(control) = text; }
    void setControlToolTip(int control, const QString &toolTip) override { controlToolTip.at(control) = toolTip; }
    void setControlParamNum(int control, const QString &number) override { controlParamNum.at(control) = number; }
    void setButtonEnabled(Button button, bool isEnabled) override { enabled[button] = isEnabled; }

    void setPluginList(const catalogue::PluginList &records) override
    {
        plugins = records;
        pluginSelection = -1;
    }
    std::optional<catalogue::PluginRecord> selectedPlugin() const override
    {
        if (pluginSelection < 0 || pluginSelection >= plugins.size())
            return std::nullopt;
        return plugins.at(pluginSelection);
    }

    void setParameterList(const QVector<mapping::ParameterEntry> &entries) override
    {
        parameters = entries;
        arrangement.clear();
        parameterSelection = -1;
        events.append(QStringLiteral("parameters:%1").arg(entries.size()));
    }
    std::optional<mapping::ParameterEntry> arrangedParameter(int row) const override
    {
        if (row < 0 || row >= arrangedCount())
            return std::nullopt;
        return parameters.at(arrangement.isEmpty() ? row : arrangement.at(row));
    }
    int parameterSelectionIndex() const override { return parameterSelection; }
    void setParameterSelectionIndex(int row) override
    {
        parameterSelection = row >= 0 && row < arrangedCount() ? row : -1;
    }
    void selectNextParameter() override
    {
        if (parameterSelection >= 0 && parameterSelection + 1 < arrangedCount())
            ++parameterSelection;
    }

    void selectPluginModeCell(int row, int column) override
    {
        if (row == 0)
            modeColumn = column;
    }
    int selectedPluginModeTag() const override { return modeColumn == 0 ? 1 : modeColumn == 1 ? 0 : -1; }

    void showWindow(Window window) override { events.append(QStringLiteral("show:%1").arg(int(window))); }
    void closeWindow(Window window) override { events.append(QStringLiteral("close:%1").arg(int(window))); }

    void runAlert(const QString &message, const QString &informativeText) override
    {
        alerts.push_back({message, informativeText});
        events.append(QStringLiteral("alert:") + message);
    }
    bool openPath(const QString &path) override
    {
        opened.append(path);
        return openSucceeds;
    }
    void setBusy(bool busy) override
    {
        busyDepth += busy ? 1 : -1;
        ++busyCalls;
    }
    void showWaitNotice(const QString &text, const std::function<void()> &) override
    {
        events.append(QStringLiteral("wait:") + text);
    }
    void closeWaitNotice() override { events.append(QStringLiteral("waited")); }

    QString fieldText(Field field) const override { return fields.value(field); }
    void setFieldText(Field field, const QString &text) override { fields[field] = text; }
    void setDownloadList(const QVector<community::DownloadListEntry> &entries) override
    {
        downloads = entries;
        downloadSelection = -1;
        events.append(QStringLiteral("downloads:%1").arg(entries.size()));
    }
    std::optional<community::DownloadListEntry> selectedDownload() const override
    {
        if (downloadSelection < 0 || downloadSelection >= downloads.size())
            return std::nullopt;
        return downloads.at(downloadSelection);
    }
    void setDownloadSelectionIndex(int row) override
    {
        downloadSelection = row >= 0 && row < downloads.size() ? row : -1;
    }

    void setDownloadPreview(const QStringList &controlNames) override { downloadPreview = controlNames; }
    bool askToConfirm(const QString &message, const QString &informativeText, const QString &) override
    {
        confirmQuestions.push_back({message, informativeText});
        const bool answer = !confirmAnswers.empty() && confirmAnswers.front();
        confirmAnswers.erase(confirmAnswers.begin(), confirmAnswers.begin() + (confirmAnswers.empty() ? 0 : 1));
        return answer;
    }
    SaveAnswer askToSave(const QString &message, const QString &informativeText) override
    {
        saveQuestions.push_back({message, informativeText});
        events.append(QStringLiteral("ask:") + message);
        if (saveAnswers.empty())
            return SaveAnswer::Cancel;
        const SaveAnswer answer = saveAnswers.front();
        saveAnswers.erase(saveAnswers.begin());
        return answer;
    }
    bool askToDiscard(const QString &message, const QString &informativeText) override
    {
        discardQuestions.push_back({message, informativeText});
        events.append(QStringLiteral("discard?:") + message);
        if (discardAnswers.empty())
            return false;
        const bool answer = discardAnswers.front();
        discardAnswers.erase(discardAnswers.begin());
        return answer;
    }
    void setMappingModified(bool isModified) override { modified = isModified; }
    void setUndoRedo(bool undo, const QString &undoLabel, bool redo, const QString &redoLabel) override
    {
        canUndo = undo;
        undoText = undoLabel;
        canRedo = redo;
        redoText = redoLabel;
    }
    void setParameterPlacements(const QVector<QVector<int>> &slotLists) override
    {
        placements.clear();
        for (const QVector<int> &taken : slotLists)
            placements.append(mapping::placementText(std::span<const int>(taken.constData(), size_t(taken.size()))));
        ++placementWrites;
    }
    void setControlAlsoOn(int control, const QString &line) override { controlAlsoOn.at(control) = line; }
    QString parameterSearchText() const override { return searchText; }
    std::optional<catalogue::PluginRecord> askForPlugin(const QString &prompt) override
    {
        pluginPrompts.append(prompt);
        if (pluginChoice < 0 || pluginChoice >= plugins.size())
            return std::nullopt;
        return plugins.at(pluginChoice);
    }
    void setControlChanged(int control, const QString &line) override { controlChanged.at(control) = line; }
    void selectPlugin(const catalogue::PluginRecord &record) override
    {
        pluginSelection = -1;
        for (int row = 0; row < plugins.size(); ++row) {
            if (plugins.at(row).fileLocation == record.fileLocation)
                pluginSelection = row;
        }
    }
};

} // namespace ov::ui::test
