// Layouts, the mapping check, display names and the library backup, through the recording view.

#include "ControllerFixture.h"
#include "TestFiles.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace ov::ui::test {
namespace {

using mapping::kControlSurfaceParameterOrderKey;
using mapping::kStoreCSUniqueKey;
using Answer = View::SaveAnswer;

class ToolsTest : public ControllerFixture {
protected:
    // A plug-in whose table and list of unique parameters are given.
    QString writePlugin(const QString &plugin, const QStringList &table, const QStringList &list)
    {
        const QString path = logicFile(plugin);
        writePlist(path, {{kControlSurfaceParameterOrderKey, table}, {kStoreCSUniqueKey, list}});
        return path;
    }
    // The rows of the list last shown to tick, "name:detail" with ":ticked", sorted.
    QStringList tickRows() const
    {
        QStringList rows;
        for (const View::TickRow &row : view.tickLists.back().rows)
            rows.append(row.name + QLatin1Char(':') + row.detail
                        + (row.ticked ? QStringLiteral(":ticked") : QString()));
        rows.sort();
        return rows;
    }
};

TEST_F(ToolsTest, SaveLayoutThenApplyItToTheOpenPluginAsOneStepSayingWhatMatched)
{
    writePlugin(QStringLiteral("Synth"), {"1 Cutoff", "2 Resonance", "3 Glide"},
                {"1 Cutoff", "2 Resonance", "3 Glide"});
    writePlugin(QStringLiteral("Other"), {"-1"}, {"5 cutoff", "6 Drive"});
    writePlugin(QStringLiteral("Third"), {"4 Noise"}, {"4 Noise"});
    open(QStringLiteral("Synth"));
    controller->ovApplyLayout();
    ASSERT_EQ(view.alerts.size(), 1u);
    EXPECT_EQ(view.alerts[0].message, QStringLiteral("No layouts yet"));
    EXPECT_TRUE(view.alerts[0].informativeText.contains(home.filePath(QStringLiteral("Layouts"))));

    view.textAnswer = QStringLiteral("Synths");
    controller->ovSaveLayout();
    EXPECT_EQ(view.label(Label::labelHelperDisplay), QStringLiteral("Layout \"Synths\" saved with 3 controls"));
    EXPECT_TRUE(QFileInfo::exists(home.filePath(QStringLiteral("Layouts/Synths.json"))));

    choose(QStringLiteral("Other"));
    view.choiceAnswer = 0;
    controller->ovApplyLayout();
    EXPECT_EQ(view.choicesShown, QStringList{QStringLiteral("Synths")});
    ASSERT_FALSE(view.alerts.empty());
    EXPECT_EQ(view.alerts.back().message, QStringLiteral("Layout \"Synths\" applied"));
    EXPECT_TRUE(view.alerts.back().informativeText.startsWith(
        QStringLiteral("Controls matched: 1\nNames without a match: 2\n\nResonance\nGlide")))
        << view.alerts.back().informativeText.toStdString();
    EXPECT_EQ(view.controlText.at(1), QStringLiteral("cutoff"));
    EXPECT_EQ(view.undoText, QStringLiteral("Undo Apply Layout"));
    EXPECT_TRUE(view.modified) << "nothing is saved until the user saves";

    view.saveAnswers = {Answer::Discard};
    choose(QStringLiteral("Third"));
    controller->ovApplyLayout();
    EXPECT_EQ(view.alerts.back().message, QStringLiteral("Layout \"Synths\" not applied"));
    EXPECT_EQ(view.controlText.at(1), QStringLiteral("Noise")) << "a layout matching nothing leaves the mapping";
    EXPECT_FALSE(view.canUndo);

    controller->ovSaveLayout(); // the same name again, the question answered Cancel
    ASSERT_EQ(view.confirmQuestions.size(), 1u);
    EXPECT_EQ(view.confirmQuestions[0].message, QStringLiteral("Replace the layout \"Synths\"?"));
    QFile kept(home.filePath(QStringLiteral("Layouts/Synths.json")));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_TRUE(kept.readAll().contains("Glide")) << "the layout saved from Synth stays";
}

// The other plug-ins are listed with their matched counts before anything is written; the ticked
// ones are saved with backups, a cancelled run leaves the rest as they were.
TEST_F(ToolsTest, ApplyLayoutToPluginsListsMatchesThenSavesTheTickedOnes)
{
    const struct {
        int cancelAfter;
        const char *summary;
        bool secondSaved;
    } runs[] = {
        {-1, "2 saved, 0 failed, 0 cancelled", true},
        {1, "1 saved, 0 failed, 1 cancelled", false},
    };
    for (const auto &run : runs) {
        SCOPED_TRACE(run.summary);
        const QString synth = writePlugin(QStringLiteral("Synth"), {"1 Cutoff", "2 Drive"}, {"1 Cutoff", "2 Drive"});
        writePlugin(QStringLiteral("A"), {"-1"}, {"7 Cutoff"});
        const QString b = writePlugin(QStringLiteral("B"), {"-1"}, {"8 drive", "9 Cutoff"});
        ov::test::writeFile(logicFile(QStringLiteral("Broken")), "not a property list");
        const QByteArray bBefore = ov::test::readFile(b);
        restart();
        open(QStringLiteral("Synth"));
        view.textAnswer = QStringLiteral("Two");
        controller->ovSaveLayout();
        view.choiceAnswer = 0;
        view.cancelAfterSteps = run.cancelAfter;
        controller->ovApplyLayoutToPlugins();

        ASSERT_EQ(view.tickLists.size(), 1u);
        const QStringList rows = tickRows(); // the open plug-in is not listed; Broken cannot be ticked
        ASSERT_EQ(rows.size(), 3);
        EXPECT_EQ(rows.mid(0, 2), (QStringList{QStringLiteral("A:1 of 2:ticked"), QStringLiteral("B:2 of 2:ticked")}));
        EXPECT_TRUE(rows[2].startsWith(QStringLiteral("Broken:cannot be read"))
                    && !rows[2].endsWith(QStringLiteral("ticked")));
        ASSERT_FALSE(view.alerts.empty());
        EXPECT_EQ(view.alerts.back().message, QString::fromLatin1(run.summary));
        EXPECT_TRUE(view.events.contains(QStringLiteral("progressClosed")));
        EXPECT_EQ(ov::test::readFile(b) != bBefore, run.secondSaved);
        EXPECT_FALSE(QFileInfo::exists(synth + QStringLiteral(".prev"))) << "the open plug-in's file is left alone";
        QDir(home.path()).removeRecursively();
        QDir().mkpath(home.path());
    }
}

// The kinds of misfit and how each is repaired are the model's; here, that the marks and the status follow.
TEST_F(ToolsTest, MisfitsAreMarkedAndRepairMovesThemByNameAsOneStep)
{
    writePlugin(QStringLiteral("Synth"), {"7 Level", "9 Cutoff", "99 Nope"}, {"7 Level", "8 Cutoff"});
    open(QStringLiteral("Synth"));
    EXPECT_EQ(view.controlMisfit.at(1), QString());
    EXPECT_EQ(view.controlMisfit.at(2), QStringLiteral("\"9 Cutoff\" is not a parameter of this plugin"));

    controller->ovRepairMapping();
    EXPECT_EQ(view.label(Label::labelHelperDisplay), QStringLiteral("Repaired the mapping: 1 moved, 1 emptied"));
    EXPECT_EQ(view.controlParamNum.at(2), QStringLiteral("8"));
    EXPECT_EQ(view.controlMisfit.at(2) + view.controlMisfit.at(3), QString());
    EXPECT_EQ(view.undoText, QStringLiteral("Undo Repair Mapping"));
    controller->ovRepairMapping();
    EXPECT_EQ(view.label(Label::labelHelperDisplay),
              QStringLiteral("Nothing to repair: every control holds a parameter of this plugin"));
    controller->ovUndo();
    EXPECT_FALSE(view.controlMisfit.at(3).isEmpty()) << "the undo brings the marks back";
}

TEST_F(ToolsTest, DisplayWidthShowsCutNamesMarksEqualOnesAndIsKept)
{
    const QStringList names{"1 Cutoff Frequency", "2 Cutoff Resonance", "3 Level"};
    writePlugin(QStringLiteral("Synth"), names, names);
    open(QStringLiteral("Synth"));
    controller->setDisplayWidth(7);
    EXPECT_EQ(view.controlCutName.at(1), QStringLiteral("Cutoff "));
    EXPECT_EQ((std::array{view.controlClashes[1], view.controlClashes[2], view.controlClashes[3]}),
              (std::array{true, true, false}));
    EXPECT_EQ(view.controlCutLine.at(2), QStringLiteral("A 7-character display shows its first 7 characters: "
                                                        "\"Cutoff \"\nShows the same as control 1"));
    EXPECT_TRUE(
        view.label(Label::labelHelperDisplay).startsWith(QStringLiteral("Names cut to their first 7 characters")));

    restart();
    open(QStringLiteral("Synth"));
    EXPECT_EQ(view.displayWidthShown, 7) << "the choice is kept in the settings";
    EXPECT_EQ(view.controlCutName.at(3), QStringLiteral("Level"));
    controller->setDisplayWidth(0);
    EXPECT_EQ(view.controlCutName.at(1) + view.controlCutLine.at(1), QString());
}

TEST_F(ToolsTest, BackUpThenRestoreShowsTheTickedPreviewAndOneSummary)
{
    writePlugin(QStringLiteral("Synth"), {"1 Cutoff", "2 Drive"}, {"1 Cutoff", "2 Drive"});
    writePlugin(QStringLiteral("Echo"), {"5 Time"}, {"5 Time"});
    open(QStringLiteral("Synth"));
    view.pathAnswer = home.filePath(QStringLiteral("library.zip"));
    controller->ovBackUpAllMappings();
    ASSERT_FALSE(view.alerts.empty());
    EXPECT_EQ(view.alerts.back().message, QStringLiteral("2 mappings backed up, 0 left out"));
    EXPECT_TRUE(view.events.contains(QStringLiteral("background:Backing up every mapping...")));

    controller->swapControls(1, 2);
    ASSERT_TRUE(controller->exportToPlist());
    controller->ovRestoreMappings();
    ASSERT_EQ(view.tickLists.size(), 1u);
    EXPECT_EQ(tickRows(),
              (QStringList{QStringLiteral("Echo:same"), QStringLiteral("Synth:differs (2 controls):ticked")}));
    EXPECT_EQ(view.alerts.back().message, QStringLiteral("1 mappings restored, 0 failed"));
    EXPECT_EQ(view.controlText.at(1), QStringLiteral("Cutoff")) << "the open plug-in shows what was restored";

    view.pathAnswer = home.filePath(QStringLiteral("Synth.txt"));
    ov::test::writeFile(*view.pathAnswer, "not a zip");
    controller->ovRestoreMappings();
    EXPECT_EQ(view.alerts.back().message, QStringLiteral("Nothing restored"));
    EXPECT_EQ(view.tickLists.size(), 1u) << "a file that is not a backup lists nothing";
}

} // namespace
} // namespace ov::ui::test
