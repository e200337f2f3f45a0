// The editor's editing aids, through the recording view: unsaved edits and the save question,
// undo and redo, where each parameter stands, and the drop and swap operations.

#include "ControllerFixture.h"
#include "TestFiles.h"

#include "catalogue/PluginScan.h"
#include "mapping/ParameterOrderFile.h"
#include "ui/UiTexts.h"
#include "ui/ViewController.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace ov::ui::test {
namespace {

using mapping::ParameterEntry;
using Answer = View::SaveAnswer;

class EditingTest : public ControllerFixture {
protected:
    // The row of the parameter list that holds `name`.
    int row(const QString &name) const
    {
        for (int r = 0; r < view.parameters.size(); ++r) {
            if (view.parameters.at(r).Parameter == name)
                return r;
        }
        ADD_FAILURE() << "no parameter " << name.toStdString();
        return -1;
    }
    // Puts the parameter named `name` on `control` of the page shown, as a click does.
    void assign(const QString &name, int control)
    {
        view.parameterSelection = row(name);
        controller->clickControl(control);
    }
    QString at(int page, int control) const { return state.plistBuild.at(mapping::slotIndex(page, control)).Parameter; }
    QString placementOf(const QString &name) const { return view.placements.value(row(name)); }
    QStringList slotsOnDisk(const QString &path) const { return mapping::controlSurfaceOrder(readPlist(path)); }
};

// ---- undo and redo ----

TEST_F(EditingTest, EveryKindOfEditIsUndoneWithThePageItWasMadeOnAndRedone)
{
    writePagedPlugin(QStringLiteral("Synth"), 4);
    open(QStringLiteral("Synth"));
    const auto loaded = state.plistBuild;
    EXPECT_FALSE(view.canUndo);
    EXPECT_EQ(view.undoText, QStringLiteral("Undo"));

    struct Edit {
        QString step;
        std::function<void()> make;
    };
    const std::vector<Edit> edits = {
        {QStringLiteral("Assign Parameter"),
         [&] {
             controller->nextPageButtonPressed();
             assign(QStringLiteral("P4 C9"), 3);
         }},
        {QStringLiteral("New Page"), [&] { controller->newPageButtonPressed(); }},
        {QStringLiteral("Delete Page"),
         [&] {
             controller->firstPageButtonPressed();
             controller->nextPageButtonPressed();
             controller->nextPageButtonPressed();
             controller->deletePageButtonPressed();
         }},
        {QStringLiteral("Clear Page"), [&] { controller->clearAllPagesButtonPressed(); }},
        {QStringLiteral("Move Page"),
         [&] {
             controller->lastPageButtonPressed();
             controller->ovMovePage_First();
         }},
        {QStringLiteral("Swap Controls"),
         [&] {
             controller->lastPageButtonPressed();
             controller->swapControls(1, 32);
         }},
    };
    for (const Edit &edit : edits) {
        edit.make();
        EXPECT_TRUE(view.canUndo);
        EXPECT_EQ(view.undoText, QStringLiteral("Undo ") + edit.step);
    }

    // All the way back, one step per edit, each shown on the page the document returns to.
    for (int i = int(edits.size()) - 1; i >= 0; --i) {
        SCOPED_TRACE(edits.at(i).step.toStdString());
        const int relabels = view.relabels();
        controller->ovUndo();
        EXPECT_EQ(view.relabels(), relabels + 1);
        EXPECT_EQ(view.label(Label::lab_PageCurrentlyDisplayed),
                  QStringLiteral("Page %1 of %2").arg(state.curPage).arg(state.totalPages));
        for (int c = 1; c <= 32; ++c)
            ASSERT_EQ(view.controlText.at(c), at(state.curPage, c)) << "control " << c;
        EXPECT_EQ(view.redoText, QStringLiteral("Redo ") + edits.at(i).step);
    }
    EXPECT_EQ(state.plistBuild, loaded);
    EXPECT_FALSE(view.canUndo);
    EXPECT_FALSE(view.modified) << "undone back to the file as loaded";

    // And forward again.
    for (size_t i = 0; i < edits.size(); ++i)
        controller->ovRedo();
    EXPECT_FALSE(view.canRedo);
    EXPECT_TRUE(view.modified);
    EXPECT_EQ(view.label(Label::lab_PageCurrentlyDisplayed), QStringLiteral("Page 4 of 4"));
}

TEST_F(EditingTest, LoadingAFileStartsANewHistory)
{
    writePagedPlugin(QStringLiteral("Synth"), 2);
    writePagedPlugin(QStringLiteral("Delay"), 1);
    open(QStringLiteral("Synth"));
    const struct {
        const char *name;
        std::function<void()> load;
    } loads[] = {
        {"the same plug-in again", [&] { choose(QStringLiteral("Synth")); }},
        {"a change of mode",
         [&] {
             view.modeColumn = 1 - view.modeColumn;
             controller->ovPluginMode_Changed();
         }},
        {"another plug-in", [&] { choose(QStringLiteral("Delay")); }},
        {"a rescan", [&] { controller->btnRunCheck(); }},
    };
    for (const auto &load : loads) {
        SCOPED_TRACE(load.name);
        if (state.isOpen()) {
            assign(QStringLiteral("P1 C2"), 1);
            controller->ovUndo();
            ASSERT_TRUE(view.canRedo);
            controller->ovRedo();
            ASSERT_TRUE(view.canUndo);
        }
        view.saveAnswers = {Answer::Discard};
        load.load();
        EXPECT_FALSE(view.canUndo);
        EXPECT_FALSE(view.canRedo);
        const auto table = state.plistBuild;
        controller->ovUndo();
        EXPECT_EQ(state.plistBuild, table);
    }
}

// ---- the modified marker ----

TEST_F(EditingTest, TheMarkerFollowsTheTableAgainstTheFileAsLastLoadedOrSaved)
{
    const QString path = writePagedPlugin(QStringLiteral("Synth"), 2);
    open(QStringLiteral("Synth"));
    EXPECT_FALSE(view.modified);
    EXPECT_FALSE(controller->hasUnsavedEdits());
    EXPECT_FALSE(view.enabled.value(Button::exportToPlist));

    // The document's answer is shown after each edit, undo and save.
    assign(QStringLiteral("P2 C7"), 4);
    EXPECT_TRUE(view.modified);
    EXPECT_TRUE(view.enabled.value(Button::exportToPlist));
    controller->ovUndo();
    EXPECT_FALSE(view.modified) << "undo back to the loaded table";

    controller->clearAllPagesButtonPressed();
    controller->exportToPlist();
    EXPECT_FALSE(view.modified);
    EXPECT_FALSE(view.enabled.value(Button::exportToPlist));
    // A save with nothing changed (Ctrl+S again) keeps the previous backup and says nothing.
    const QByteArray previous = readFile(path + QStringLiteral(".prev"));
    const size_t alerts = view.alerts.size();
    controller->exportToPlist();
    EXPECT_EQ(readFile(path + QStringLiteral(".prev")), previous);
    EXPECT_EQ(view.alerts.size(), alerts);
    EXPECT_EQ(slotsOnDisk(path).at(mapping::slotIndex(1, 1)), QStringLiteral("-1"));
}

TEST_F(EditingTest, TheModeIsPartOfWhatASaveWrites)
{
    writePagedPlugin(QStringLiteral("Synth"), 1);
    open(QStringLiteral("Synth"));
    ASSERT_EQ(state.plugin_Mode, 0);

    view.modeColumn = 0; // Instrument: the file is read again, the mode is not in it yet
    controller->ovPluginMode_Changed();
    EXPECT_TRUE(view.saveQuestions.empty()) << "nothing of the table is lost by the reload";
    EXPECT_TRUE(view.modified);

    view.modeColumn = 1; // back to the mode the file gives
    controller->ovPluginMode_Changed();
    EXPECT_TRUE(view.saveQuestions.empty());
    EXPECT_FALSE(view.modified);

    view.modeColumn = 0;
    controller->ovPluginMode_Changed();
    controller->exportToPlist();
    EXPECT_FALSE(view.modified);

    // Only the mode is unsaved: another plug-in asks, as the choice would be lost.
    view.modeColumn = 1;
    controller->ovPluginMode_Changed();
    EXPECT_TRUE(view.modified);
    view.saveAnswers = {Answer::Cancel};
    choose(QStringLiteral("Synth"));
    EXPECT_EQ(view.saveQuestions.size(), 1u);
    EXPECT_EQ(state.plugin_Mode, 0);
}

TEST_F(EditingTest, AMappingLoadedFromAnotherFileIsUnsavedUntilSaved)
{
    // As a downloaded mapping is loaded: from a file beside the plug-in's own, which stays as it was.
    const QString path = writePagedPlugin(QStringLiteral("Synth"), 1);
    open(QStringLiteral("Synth"));
    assign(QStringLiteral("P1 C2"), 1);
    const QString downloaded = path + QStringLiteral(".downloaded");
    writePlist(downloaded,
               {{mapping::kControlSurfaceParameterOrderKey, numberedParameters(1, 40, QStringLiteral("Shared"))}});

    ASSERT_TRUE(controller->confirmUnsavedEdits() == false) << "asked, and Cancel stops";
    view.saveAnswers = {Answer::Discard};
    ASSERT_TRUE(controller->confirmUnsavedEdits());
    controller->readPlistFile(downloaded, 1);
    controller->populateKnobLabels(1);

    EXPECT_EQ(state.totalPages, 2);
    EXPECT_TRUE(view.modified);
    EXPECT_FALSE(view.canUndo);
    view.saveAnswers = {Answer::Save};
    EXPECT_TRUE(controller->confirmUnsavedEdits());
    EXPECT_EQ(view.saveQuestions.back().message, QStringLiteral("Save changes to the mapping of Synth?"));
    EXPECT_EQ(slotsOnDisk(path).size(), 64) << "saved into the plug-in's own file";
    EXPECT_FALSE(view.modified);
}

// ---- the save question ----

// Every action that replaces the open mapping, with each answer.
TEST_F(EditingTest, EveryActionThatReplacesTheMappingAsksAndFollowsTheAnswer)
{
    struct Action {
        const char *name;
        std::function<void()> run;
        std::function<bool()> wentOn;
    };
    const QString path = logicFile(QStringLiteral("Synth"));
    bool confirmed = false;
    const std::vector<Action> actions = {
        {"another plug-in", [&] { choose(QStringLiteral("Delay")); },
         [&] { return view.label(Label::labOCScreen_Title) == QStringLiteral("Delay (Logic)"); }},
        {"the same plug-in", [&] { choose(QStringLiteral("Synth")); },
         [&] {
             return view.label(Label::lab_PageCurrentlyDisplayed) == QStringLiteral("Page 1 of 2") && !view.modified;
         }},
        {"a change of mode",
         [&] {
             view.modeColumn = 0;
             controller->ovPluginMode_Changed();
         },
         [&] {
             return state.plugin_Mode == 1
                    && view.label(Label::lab_PageCurrentlyDisplayed) == QStringLiteral("Page 1 of 2");
         }},
        {"a rescan", [&] { controller->btnRunCheck(); },
         [&] { return view.label(Label::labOCScreen_Title) == QStringLiteral("Please Select a plugin"); }},
        {"quitting or loading a download", [&] { confirmed = controller->confirmUnsavedEdits(); },
         [&] { return confirmed; }},
    };
    for (const Action &action : actions) {
        for (const Answer answer : {Answer::Cancel, Answer::Discard, Answer::Save}) {
            SCOPED_TRACE(std::string(action.name) + ", answered " + std::to_string(int(answer)));
            restart();
            writePagedPlugin(QStringLiteral("Synth"), 2);
            writePagedPlugin(QStringLiteral("Delay"), 1);
            open(QStringLiteral("Synth"));
            const QByteArray onDisk = readFile(path);
            controller->nextPageButtonPressed();
            assign(QStringLiteral("P1 C5"), 1);
            const auto edited = state.plistBuild;
            ASSERT_TRUE(view.modified);
            confirmed = false;
            view.saveAnswers = {answer};

            action.run();

            ASSERT_EQ(view.saveQuestions.size(), 1u);
            EXPECT_EQ(view.saveQuestions.at(0).message, QStringLiteral("Save changes to the mapping of Synth?"));
            EXPECT_TRUE(view.saveAnswers.empty());
            EXPECT_TRUE(view.discardQuestions.empty());
            switch (answer) {
            case Answer::Cancel:
                EXPECT_FALSE(action.wentOn());
                EXPECT_EQ(state.plistBuild, edited);
                EXPECT_EQ(state.curPage, 2);
                EXPECT_TRUE(view.modified);
                EXPECT_TRUE(view.canUndo);
                EXPECT_EQ(readFile(path), onDisk);
                EXPECT_TRUE(view.alerts.empty());
                EXPECT_EQ(view.pluginSelection, rowOfPlugin(QStringLiteral("Synth")))
                    << "the open plug-in stays chosen";
                EXPECT_EQ(view.modeColumn, 1) << "the mode shown stays the mode in use";
                EXPECT_EQ(view.label(Label::labOCScreen_Title), QStringLiteral("Synth (Logic)"));
                break;
            case Answer::Discard:
                EXPECT_TRUE(action.wentOn());
                EXPECT_EQ(readFile(path), onDisk) << "the file is as it was";
                EXPECT_TRUE(view.alerts.empty());
                break;
            case Answer::Save:
                EXPECT_TRUE(action.wentOn());
                ASSERT_EQ(view.alerts.size(), 1u);
                EXPECT_EQ(view.alerts.at(0).message, QStringLiteral("New Mapping has been saved"));
                EXPECT_EQ(slotsOnDisk(path).at(mapping::slotIndex(2, 1)), QStringLiteral("105 P1 C5"));
                EXPECT_EQ(readFile(path + QStringLiteral(".prev")), onDisk);
                break;
            }
        }
    }
}

TEST_F(EditingTest, ARecallAsksOnlyWhetherToDiscardAndKeepsTheBackups)
{
    // Saving before a recall would keep nothing: the recall replaces the file just written, and the
    // save would push out the very backup being recalled.
    const QString path = writePagedPlugin(QStringLiteral("Synth"), 1);
    open(QStringLiteral("Synth"));
    assign(QStringLiteral("P1 C9"), 2);
    controller->exportToPlist();
    view.alerts.clear();

    for (const bool recallOriginal : {false, true}) {
        SCOPED_TRACE(recallOriginal ? "original" : "previous");
        const QByteArray previous = readFile(path + QStringLiteral(".prev"));
        const QByteArray saved = readFile(path);
        assign(QStringLiteral("P1 C7"), 3);
        ASSERT_TRUE(view.modified);
        view.discardAnswers = {false};
        recallOriginal ? controller->ovRecallOriginalMapping() : controller->ovRecallPreviousMapping();
        ASSERT_EQ(view.discardQuestions.size(), 1u);
        EXPECT_EQ(view.discardQuestions.at(0).message,
                  QStringLiteral("Discard the unsaved changes to the mapping of Synth?"));
        EXPECT_TRUE(view.saveQuestions.empty());
        EXPECT_TRUE(view.alerts.empty());
        EXPECT_EQ(at(1, 3), QStringLiteral("P1 C7"));
        EXPECT_EQ(readFile(path), saved);

        view.discardAnswers = {true};
        recallOriginal ? controller->ovRecallOriginalMapping() : controller->ovRecallPreviousMapping();
        ASSERT_EQ(view.alerts.size(), 1u);
        EXPECT_EQ(view.alerts.at(0).message, QStringLiteral("Recalled mapping has been applied"));
        EXPECT_EQ(readFile(path + QStringLiteral(".prev")), previous) << "the backups stay as they were";
        EXPECT_EQ(at(1, 3), QStringLiteral("P1 C3"));
        EXPECT_FALSE(view.modified);
        view.alerts.clear();
        view.discardQuestions.clear();
        // Back to the saved state for the next round.
        assign(QStringLiteral("P1 C9"), 2);
        controller->exportToPlist();
        view.alerts.clear();
    }
}

TEST_F(EditingTest, UndoRecallBringsBackTheReplacedMappingAsUnsavedEdits)
{
    const QString path = writePagedPlugin(QStringLiteral("Synth"), 1);
    writePagedPlugin(QStringLiteral("Delay"), 1);
    open(QStringLiteral("Synth"));
    assign(QStringLiteral("P1 C9"), 2);
    controller->exportToPlist();
    const QStringList saved = slotsOnDisk(path);
    const QByteArray previous = readFile(path + QStringLiteral(".prev"));

    controller->ovRecallPreviousMapping();
    ASSERT_EQ(at(1, 2), QStringLiteral("P1 C2"));
    EXPECT_FALSE(view.modified);
    EXPECT_EQ(view.undoText, QStringLiteral("Undo Recall"));

    controller->ovUndo();
    EXPECT_EQ(at(1, 2), QStringLiteral("P1 C9"));
    EXPECT_TRUE(view.modified);
    EXPECT_EQ(readFile(path), previous) << "the file stays recalled until saved";
    EXPECT_EQ(readFile(path + QStringLiteral(".prev")), previous);

    // Like any unsaved edit: opening another plug-in asks first, and a save writes it back.
    view.saveAnswers = {Answer::Cancel};
    choose(QStringLiteral("Delay"));
    EXPECT_EQ(view.saveQuestions.size(), 1u);
    EXPECT_EQ(at(1, 2), QStringLiteral("P1 C9"));
    controller->exportToPlist();
    EXPECT_EQ(slotsOnDisk(path), saved);
    EXPECT_FALSE(view.modified);
}

TEST_F(EditingTest, WithoutUnsavedEditsNothingIsAsked)
{
    const QString path = writePagedPlugin(QStringLiteral("Synth"), 2);
    writePagedPlugin(QStringLiteral("Delay"), 1);
    open(QStringLiteral("Synth"));
    assign(QStringLiteral("P2 C5"), 1);
    controller->ovUndo(); // back to the file as loaded

    choose(QStringLiteral("Synth"));
    controller->ovRecallOriginalMapping(); // no backup yet: only the alert that says so
    view.modeColumn = 0;
    controller->ovPluginMode_Changed();
    view.modeColumn = 1;
    controller->ovPluginMode_Changed();
    choose(QStringLiteral("Delay"));
    EXPECT_TRUE(controller->confirmUnsavedEdits());
    controller->btnRunCheck();
    EXPECT_TRUE(controller->confirmUnsavedEdits());

    EXPECT_TRUE(view.saveQuestions.empty());
    EXPECT_EQ(view.alerts.size(), 1u);
    EXPECT_FALSE(view.modified);
}

TEST_F(EditingTest, ASaveThatFailsStopsTheAction)
{
    const QString path = writePagedPlugin(QStringLiteral("Synth"), 1);
    writePagedPlugin(QStringLiteral("Delay"), 1);
    open(QStringLiteral("Synth"));
    assign(QStringLiteral("P1 C9"), 1);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkdir(path)); // nothing can be written there
    view.saveAnswers = {Answer::Save};

    choose(QStringLiteral("Delay"));

    ASSERT_EQ(view.alerts.size(), 1u);
    EXPECT_EQ(view.alerts.at(0).message, QStringLiteral("Mapping not saved"));
    EXPECT_EQ(view.label(Label::labOCScreen_Title), QStringLiteral("Synth (Logic)"));
    EXPECT_EQ(at(1, 1), QStringLiteral("P1 C9"));
    EXPECT_TRUE(view.modified);
    EXPECT_EQ(view.pluginSelection, rowOfPlugin(QStringLiteral("Synth")));
}

// ---- where each parameter stands ----

TEST_F(EditingTest, TheMappedColumnNamesPageAndControlOfEveryPlace)
{
    writePagedPlugin(QStringLiteral("Synth"), 3);
    open(QStringLiteral("Synth"));
    ASSERT_EQ(view.placements.size(), view.parameters.size());
    EXPECT_EQ(view.placements.at(0), QString()) << "the empty entry stands nowhere";
    EXPECT_EQ(placementOf(QStringLiteral("P2 C5")), QStringLiteral("2/5"));
    EXPECT_EQ(placementOf(QStringLiteral("P3 C32")), QStringLiteral("3/32"));

    controller->lastPageButtonPressed();
    assign(QStringLiteral("P2 C5"), 1);
    EXPECT_EQ(placementOf(QStringLiteral("P2 C5")), QStringLiteral("2/5, 3/1"));
    EXPECT_EQ(placementOf(QStringLiteral("P3 C1")), QString()) << "taken off its only control";

    // Deleting page 2 moves page 3 up.
    controller->prevPageButtonPressed();
    controller->deletePageButtonPressed();
    EXPECT_EQ(placementOf(QStringLiteral("P2 C5")), QStringLiteral("2/1"));
    EXPECT_EQ(placementOf(QStringLiteral("P3 C2")), QStringLiteral("2/2"));

    controller->ovUndo();
    EXPECT_EQ(placementOf(QStringLiteral("P2 C5")), QStringLiteral("2/5, 3/1"));

    // An exchange updates it once, at its end, not at each of its 32 swaps.
    const int writes = view.placementWrites;
    controller->ovMovePage_First();
    EXPECT_EQ(view.placementWrites, writes + 1);
    EXPECT_EQ(placementOf(QStringLiteral("P1 C1")), QStringLiteral("2/1"));
    // Page navigation changes nothing of it.
    controller->nextPageButtonPressed();
    EXPECT_EQ(view.placementWrites, writes + 1);
}

TEST_F(EditingTest, ParametersAreTheirNumberAndNameTogether)
{
    // Two parameters named alike, told apart by their numbers.
    writePlist(logicFile(QStringLiteral("Synth")),
               {{mapping::kControlSurfaceParameterOrderKey, {"1 Level", "2 Level", "3 Drive", "-1"}}});
    open(QStringLiteral("Synth"));
    ASSERT_EQ(view.parameters.size(), 4);

    view.parameterSelection = 2; // "2 Level"
    controller->clickControl(5);

    EXPECT_EQ(view.placements.at(1), QStringLiteral("1/1"));
    EXPECT_EQ(view.placements.at(2), QStringLiteral("1/2, 1/5"));
    EXPECT_EQ(view.controlAlsoOn.at(1), QString()) << "the other Level is another parameter";
}

TEST_F(EditingTest, ControlsWhoseParameterStandsElsewhereTooAreMarked)
{
    writePagedPlugin(QStringLiteral("Synth"), 2);
    open(QStringLiteral("Synth"));
    for (int c = 1; c <= 32; ++c)
        EXPECT_EQ(view.controlAlsoOn.at(c), QString());

    assign(QStringLiteral("P1 C3"), 9);
    controller->nextPageButtonPressed();
    assign(QStringLiteral("P1 C3"), 1);

    EXPECT_EQ(view.controlAlsoOn.at(1), QStringLiteral("Also on 1/3, 1/9"));
    EXPECT_EQ(view.controlAlsoOn.at(2), QString());
    controller->prevPageButtonPressed();
    EXPECT_EQ(view.controlAlsoOn.at(3), QStringLiteral("Also on 1/9, 2/1"));
    EXPECT_EQ(view.controlAlsoOn.at(9), QStringLiteral("Also on 1/3, 2/1"));

    // Emptied slots are never marked, however many there are.
    controller->clearAllPagesButtonPressed();
    for (int c = 1; c <= 32; ++c)
        EXPECT_EQ(view.controlAlsoOn.at(c), QString()) << c;
    controller->ovUndo();
    EXPECT_EQ(view.controlAlsoOn.at(9), QStringLiteral("Also on 1/3, 2/1"));
}

// ---- drop and swap ----

TEST_F(EditingTest, ADroppedParameterGoesThroughTheAssignment)
{
    writePagedPlugin(QStringLiteral("Synth"), 2);
    open(QStringLiteral("Synth"));
    controller->nextPageButtonPressed();
    view.arrangement = {0, 5, 4, 3, 2, 1}; // sorted otherwise: the drop names an arranged row
    view.parameterSelection = 1;

    controller->dropParameterOnControl(2, 7);

    EXPECT_EQ(at(2, 7), view.parameters.at(4).Parameter);
    EXPECT_EQ(view.controlText.at(7), view.parameters.at(4).Parameter);
    EXPECT_EQ(view.undoText, QStringLiteral("Undo Assign Parameter"));

    const auto table = state.plistBuild;
    controller->dropParameterOnControl(2, 0);
    controller->dropParameterOnControl(2, 33);
    controller->dropParameterOnControl(-1, 3);
    controller->dropParameterOnControl(99, 3);
    EXPECT_EQ(state.plistBuild, table);
}

TEST_F(EditingTest, DraggingOneControlOntoAnotherSwapsThemAndKeepsTheListSelection)
{
    writePagedPlugin(QStringLiteral("Synth"), 2);
    open(QStringLiteral("Synth"));
    controller->nextPageButtonPressed();
    view.parameterSelection = 4;

    controller->swapControls(3, 30);

    EXPECT_EQ(at(2, 3), QStringLiteral("P2 C30"));
    EXPECT_EQ(at(2, 30), QStringLiteral("P2 C3"));
    EXPECT_EQ(state.plistBuild.at(mapping::slotIndex(2, 3)).OravelControlNo, 34) << "slots keep their places";
    EXPECT_EQ(view.controlText.at(30), QStringLiteral("P2 C3"));
    EXPECT_EQ(view.parameterSelection, 4);
    EXPECT_EQ(view.undoText, QStringLiteral("Undo Swap Controls"));
    controller->ovUndo();
    EXPECT_EQ(at(2, 3), QStringLiteral("P2 C3"));

    const auto table = state.plistBuild;
    const int relabels = view.relabels();
    controller->swapControls(5, 5);
    controller->swapControls(0, 5);
    controller->swapControls(5, 33);
    EXPECT_EQ(state.plistBuild, table);
    EXPECT_EQ(view.relabels(), relabels);
}

// ---- fill, copy a mapping from another plug-in, show changes ----

TEST_F(EditingTest, FillFromHereLaysOutWhatTheSearchFindsAsOneStep)
{
    writePagedPlugin(QStringLiteral("Synth"), 2);
    open(QStringLiteral("Synth"));
    controller->nextPageButtonPressed();
    controller->clearAllPagesButtonPressed();
    controller->firstPageButtonPressed();
    const auto cleared = state.plistBuild;
    view.searchText = QStringLiteral("c1");

    controller->fillFromHere(5); // page 1 is full: the fill goes on on page 2

    QStringList page2;
    for (int c = 1; c <= 12; ++c)
        page2.append(at(2, c));
    EXPECT_EQ(page2, (QStringList{"P2 C1", "P2 C10", "P2 C11", "P2 C12", "P2 C13", "P2 C14", "P2 C15", "P2 C16",
                                  "P2 C17", "P2 C18", "P2 C19", "-"}));
    EXPECT_EQ(state.curPage, 1);
    EXPECT_EQ(state.totalPages, 2);
    EXPECT_EQ(view.label(Label::labelHelperDisplay), QStringLiteral("Filled 11 controls, 0 pages added"));
    EXPECT_EQ(placementOf(QStringLiteral("P2 C10")), QStringLiteral("2/2"));
    EXPECT_EQ(view.undoText, QStringLiteral("Undo Fill From Here"));
    controller->ovUndo();
    EXPECT_EQ(state.plistBuild, cleared);
}

TEST_F(EditingTest, CopyMappingFromAnotherPluginMatchesNamesAndAlertsTheUnmatched)
{
    writePagedPlugin(QStringLiteral("Synth"), 2);
    writePlist(logicFile(QStringLiteral("Synth v2")),
               {{mapping::kControlSurfaceParameterOrderKey, {"1 p1 c2", "2 Nothing", "-1", "3 P2 C5", "2 Nothing"}}});
    writePlist(logicFile(QStringLiteral("Broken")), {});
    open(QStringLiteral("Synth"));
    const auto loaded = state.plistBuild;
    controller->lastPageButtonPressed();

    controller->ovCopyMappingFrom(); // cancelled
    EXPECT_EQ(view.pluginPrompts, QStringList{texts::kCopyMappingPrompt});
    EXPECT_EQ(state.plistBuild, loaded);

    view.pluginChoice = rowOfPlugin(QStringLiteral("Synth v2"));
    controller->ovCopyMappingFrom();
    EXPECT_EQ(state.totalPages, 1);
    EXPECT_EQ(state.curPage, 1);
    EXPECT_EQ(state.plistBuild.at(0), (ParameterEntry{"102", "P1 C2", 1, 0}));
    EXPECT_EQ(at(1, 2), QStringLiteral("-"));
    EXPECT_EQ(at(1, 4), QStringLiteral("P2 C5"));
    ASSERT_EQ(view.alerts.size(), 1u);
    EXPECT_EQ(view.alerts.back().message, QStringLiteral("Mapping copied from Synth v2"));
    EXPECT_EQ(view.alerts.back().informativeText,
              QStringLiteral("Controls matched: 2\nNames without a match: 1\n\nNothing"));
    EXPECT_TRUE(view.modified);
    controller->ovUndo();
    EXPECT_EQ(state.plistBuild, loaded);
    EXPECT_EQ(state.curPage, 2);

    QFile::remove(logicFile(QStringLiteral("Broken")));
    controller->copyMappingFrom(logicFile(QStringLiteral("Broken")), QStringLiteral("Broken"));
    EXPECT_EQ(view.alerts.back().message, texts::kCopyMappingFailed);
    EXPECT_EQ(state.plistBuild, loaded);
}

TEST_F(EditingTest, ShowChangesMarksControlsAndPagesAgainstTheFileOrABackup)
{
    writePagedPlugin(QStringLiteral("Synth"), 3);
    open(QStringLiteral("Synth"));
    const auto marked = [&] {
        QStringList lines;
        for (int c = 1; c <= 32; ++c) {
            if (!view.controlChanged.at(c).isEmpty())
                lines.append(QStringLiteral("%1 %2").arg(c).arg(view.controlChanged.at(c)));
        }
        return lines;
    };

    controller->showChanges(ChangesBase::SavedFile);
    EXPECT_EQ(view.label(Label::labChangedPages), QStringLiteral("No changes"));
    controller->lastPageButtonPressed();
    assign(QStringLiteral("P1 C1"), 3);
    controller->firstPageButtonPressed();
    controller->clearAllPagesButtonPressed();
    EXPECT_EQ(view.label(Label::labChangedPages), QStringLiteral("Changed pages: 1, 3"));
    EXPECT_EQ(marked().size(), 32);
    EXPECT_EQ(marked().at(4), QStringLiteral("5 Was: P1 C5"));
    controller->lastPageButtonPressed();
    EXPECT_EQ(marked(), QStringList{"3 Was: P3 C3"});
    controller->ovUndo();
    EXPECT_EQ(view.label(Label::labChangedPages), QStringLiteral("Changed pages: 3"));

    // Before the first save there is no ".prev" to compare with.
    controller->showChanges(ChangesBase::Previous);
    EXPECT_EQ(view.alerts.back().message, texts::kNoBackupToCompare);
    EXPECT_TRUE(marked().isEmpty());
    EXPECT_EQ(view.label(Label::labChangedPages), QString());
    // After it, ".prev" is the file as it was, so the saved change shows; against the file, none does.
    controller->exportToPlist();
    EXPECT_EQ(view.label(Label::labChangedPages), QStringLiteral("Changed pages: 3"));
    controller->lastPageButtonPressed();
    EXPECT_EQ(marked(), QStringList{"3 Was: P3 C3"});
    controller->showChanges(ChangesBase::SavedFile);
    EXPECT_EQ(view.label(Label::labChangedPages), QStringLiteral("No changes"));
    controller->addControlsPage();
    assign(QStringLiteral("P2 C2"), 1);
    controller->showChanges(ChangesBase::Original);
    EXPECT_EQ(view.label(Label::labChangedPages), QStringLiteral("Changed pages: 3, 4"));
    EXPECT_EQ(marked(), QStringList{"1 Was: -"});

    controller->showChanges(ChangesBase::None);
    EXPECT_EQ(view.label(Label::labChangedPages), QString());
    EXPECT_TRUE(marked().isEmpty());
}

} // namespace
} // namespace ov::ui::test
