#include "ControllerFixture.h"
#include "TestFiles.h"

#include "catalogue/PluginScan.h"
#include "mapping/MappingTexts.h"
#include "mapping/ParameterOrderFile.h"
#include "panel/Chart.h"
#include "ui/UiTexts.h"
#include "ui/ViewController.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace ov::ui::test {
namespace {

using mapping::ParameterEntry;

const QString kOrderKey = QString::fromLatin1(mapping::kControlSurfaceParameterOrderKey);

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
};

class ViewControllerTest : public ControllerFixture {
protected:
    QString slotParameter(int slot) const { return state.plistBuild.at(slot).Parameter; }
    QStringList pageParameters(int page) const
    {
        QStringList names;
        for (int c = 1; c <= 32; ++c)
            names.append(slotParameter(mapping::slotIndex(page, c)));
        return names;
    }
    void expectPanelShows(int page)
    {
        for (int c = 1; c <= 32; ++c) {
            EXPECT_EQ(view.controlText.at(c), slotParameter(mapping::slotIndex(page, c))) << "control " << c;
            EXPECT_EQ(view.controlToolTip.at(c), view.controlText.at(c)) << "control " << c;
        }
    }
};

// ---- start-up and the scan ----

TEST_F(ViewControllerTest, StartUpScansBothTreesAndLeavesNoPluginOpen)
{
    writePlist(logicFile(QStringLiteral("Beta Synth")), {{mapping::kControlSurfaceParameterOrderKey, {"1 A"}}});
    writePlist(logicFile(QStringLiteral("Alpha Delay")), {{mapping::kControlSurfaceParameterOrderKey, {"1 A"}}});
    writePlist(home.path() + QStringLiteral("/Library/Audio/Presets/Maker/Comp/CSParameterOrder.plist"),
               {{mapping::kControlSurfaceParameterOrderKey, {"1 A"}}});

    controller->viewDidLoad();

    ASSERT_EQ(view.plugins.size(), 3);
    EXPECT_EQ(view.plugins.at(0).Plugin, QStringLiteral("Alpha Delay"));
    EXPECT_EQ(view.plugins.at(0).Type, QStringLiteral("Logic"));
    EXPECT_EQ(view.plugins.at(1).Plugin, QStringLiteral("Beta Synth"));
    EXPECT_EQ(view.plugins.at(2).Type, QStringLiteral("Maker"));
    EXPECT_EQ(view.pluginSelection, -1);
    EXPECT_EQ(view.label(Label::labOCScreen_Title), QStringLiteral("Please Select a plugin"));
    EXPECT_EQ(view.label(Label::labelHelperDisplay), QStringLiteral("Please Select a Plugin"));
    EXPECT_TRUE(
        log.contains(QStringLiteral("Reading Folder: ") + home.path() + QStringLiteral("/Library/Audio/Presets")));
    for (const Button button : kPluginButtons)
        EXPECT_FALSE(view.enabled.value(button, true)) << int(button);
    for (int c = 1; c <= 32; ++c)
        EXPECT_EQ(view.controlText.at(c), QStringLiteral("-"));
    EXPECT_TRUE(view.label(Label::lab_PageCurrentlyDisplayed).isEmpty());
    EXPECT_TRUE(view.label(Label::labTotalPagesIndicator).isEmpty());
    EXPECT_EQ(state.totalPages, 0);
    EXPECT_EQ(view.busyDepth, 0);
    EXPECT_GT(view.busyCalls, 0);

    controller->btnRunCheck();
    EXPECT_EQ(view.plugins.size(), 3) << "a second scan must not double the list";
}

TEST_F(ViewControllerTest, EveryOperationBeforeAPluginIsOpenTouchesNothing)
{
    controller->viewDidLoad();
    const int relabels = view.relabels();
    view.modeColumn = 0;
    controller->ovPluginMode_Changed();
    for (int c = 1; c <= 32; ++c)
        controller->ovRotBtn_Pressed(c);
    controller->prevPageButtonPressed();
    controller->nextPageButtonPressed();
    controller->firstPageButtonPressed();
    controller->lastPageButtonPressed();
    controller->newPageButtonPressed();
    controller->deletePageButtonPressed();
    controller->clearAllPagesButtonPressed();
    controller->ovMovePage_First();
    controller->ovMovePage_Last();
    controller->ovMovePage_Prev();
    controller->ovMovePage_Next();
    controller->ovExportToPlist();
    controller->ovRecallOriginalMapping();
    controller->ovRecallPreviousMapping();
    controller->ovCreateChart();
    controller->btnOpenInFinder();

    EXPECT_TRUE(state.plistBuild.isEmpty());
    EXPECT_EQ(state.curPage, 0);
    EXPECT_EQ(state.totalPages, 0);
    EXPECT_EQ(view.relabels(), relabels);
    EXPECT_TRUE(view.alerts.empty());
    EXPECT_TRUE(view.opened.isEmpty());
}

TEST_F(ViewControllerTest, RescanWhileAPluginIsOpenReturnsToChoosingOne)
{
    writePagedPlugin(QStringLiteral("Synth"), 1);
    open(QStringLiteral("Synth"));
    ASSERT_TRUE(view.enabled.value(Button::FrontPanel));

    controller->btnRunCheck();

    EXPECT_TRUE(view.parameters.isEmpty());
    EXPECT_EQ(view.pluginSelection, -1);
    EXPECT_TRUE(view.label(Label::labPluginPlistLocation).isEmpty());
    EXPECT_EQ(view.label(Label::labOCScreen_Title), QStringLiteral("Please Select a plugin"));
    for (const Button button : kPluginButtons)
        EXPECT_FALSE(view.enabled.value(button, true)) << int(button);
    EXPECT_EQ(view.controlText.at(1), QStringLiteral("-"));
}

// ---- opening a plug-in ----

TEST_F(ViewControllerTest, ClickOnThePluginListWithNoRowDoesNothing)
{
    writePagedPlugin(QStringLiteral("Synth"), 1);
    controller->viewDidLoad();
    view.events.clear();

    controller->tablePluginSelected();

    EXPECT_TRUE(view.events.isEmpty());
    EXPECT_EQ(view.label(Label::labOCScreen_Title), QStringLiteral("Please Select a plugin"));
    EXPECT_EQ(state.totalPages, 0);
}

TEST_F(ViewControllerTest, OpeningClosesTheCommunityWindowsThenShowsPageOne)
{
    const QString path = logicFile(QStringLiteral("Synth"));
    QStringList order = numberedParameters(1, 33);
    order[3] = QStringLiteral("-1");
    order.append(QStringLiteral("2 Param 2")); // a parameter twice
    writePlist(path, {{mapping::kControlSurfaceParameterOrderKey, order}});
    controller->viewDidLoad();
    view.events.clear();

    choose(QStringLiteral("Synth"));

    ASSERT_GE(view.events.size(), 4);
    EXPECT_EQ(view.events.mid(0, 3), (QStringList{QStringLiteral("close:%1").arg(int(Window::cwinUploadWindow)),
                                                  QStringLiteral("close:%1").arg(int(Window::cwinDownloadWindow)),
                                                  QStringLiteral("close:%1").arg(int(Window::cwinCloudWindow))}));
    EXPECT_EQ(view.events.at(3), QStringLiteral("title:Synth (Logic)"));
    EXPECT_EQ(view.label(Label::labPluginPlistLocation), path);

    // The file got its list of unique parameters, "-1" first.
    const QStringList unique = mapping::storedUniqueParameters(readPlist(path));
    ASSERT_EQ(unique.size(), 33); // "-1" and 32 distinct: slot 4 is empty, "2 Param 2" stands twice
    EXPECT_EQ(unique.first(), QStringLiteral("-1"));
    EXPECT_EQ(unique.at(1), QStringLiteral("1 Param 1"));

    // The list: the empty entry first, then the unique parameters.
    ASSERT_EQ(view.parameters.size(), 33);
    EXPECT_EQ(view.parameters.first(), ParameterEntry{});
    EXPECT_EQ(view.parameters.at(1).ParamNum, QStringLiteral("1"));
    EXPECT_EQ(view.parameters.at(1).Parameter, QStringLiteral("Param 1"));
    EXPECT_EQ(view.parameterSelection, 0);

    EXPECT_EQ(state.curPage, 1);
    EXPECT_EQ(state.totalPages, 2);
    EXPECT_EQ(state.plistBuild.size(), 64);
    expectPanelShows(1);
    EXPECT_EQ(view.controlText.at(4), QStringLiteral("-"));
    EXPECT_EQ(view.label(Label::lab_PageCurrentlyDisplayed), QStringLiteral("Page 1 of 2"));
    EXPECT_EQ(view.label(Label::labTotalPagesIndicator), QStringLiteral("2 Pages"));
    // On page 1 of 2, nothing edited: nothing before this page, nothing to save, no previous backup; the
    // original backup holds the file as it was before its list of parameters was added.
    const QList<Button> waiting{Button::firstPage,    Button::prevPage,      Button::movePageFirst,
                                Button::movePagePrev, Button::exportToPlist, Button::recallPreviousMapping};
    for (const Button button : kPluginButtons)
        EXPECT_EQ(view.enabled.value(button), !waiting.contains(button)) << int(button);
    EXPECT_EQ(view.busyDepth, 0);
}

TEST_F(ViewControllerTest, TheModeComesFromTheFile)
{
    struct Case {
        const char *name;
        QStringList mode;
        QStringList parameters;
        int expected;
    };
    const Case cases[] = {
        {"Saved instrument", {QStringLiteral("1")}, {QStringLiteral("1 Cutoff")}, 1},
        {"Saved effect", {QStringLiteral("0")}, {QStringLiteral("1 Output Volume")}, 0},
        {"Volume parameter", {}, {QStringLiteral("1 Cutoff"), QStringLiteral("5 Master volume")}, 1},
        {"Unknown mode", {QStringLiteral("2")}, {QStringLiteral("1 Cutoff")}, 0},
    };
    for (const Case &c : cases) {
        if (c.mode.isEmpty())
            writePlist(logicFile(QString::fromLatin1(c.name)),
                       {{mapping::kControlSurfaceParameterOrderKey, c.parameters}});
        else
            writePlist(
                logicFile(QString::fromLatin1(c.name)),
                {{mapping::kControlSurfaceParameterOrderKey, c.parameters}, {mapping::kOravelCSModeKey, c.mode}});
    }
    controller->viewDidLoad();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        state.plugin_Mode = 1 - c.expected;
        choose(QString::fromLatin1(c.name));
        EXPECT_EQ(state.plugin_Mode, c.expected);
        const QString name = QString::fromLatin1(c.name);
        if (c.expected == 1) {
            EXPECT_EQ(view.modeColumn, 0);
            EXPECT_EQ(view.label(Label::mainTitle_Sub), QStringLiteral("Logic Pro Instrument Mapper"));
            EXPECT_EQ(view.label(Label::labelHelperDisplay),
                      QStringLiteral("Editing %1 using Instrument Mode").arg(name));
        } else {
            EXPECT_EQ(view.modeColumn, 1);
            EXPECT_EQ(view.label(Label::mainTitle_Sub), QStringLiteral("Logic Pro Insert/Effect Mapper"));
            EXPECT_EQ(view.label(Label::labelHelperDisplay),
                      QStringLiteral("Editing %1 in Insert/Effect Mode").arg(name));
        }
    }
}

TEST_F(ViewControllerTest, OpeningTheOpenPluginAgainReloadsItFromDisk)
{
    writePagedPlugin(QStringLiteral("Synth"), 3);
    open(QStringLiteral("Synth"));
    controller->nextPageButtonPressed();
    view.parameterSelection = 5;
    controller->clickControl(1);
    ASSERT_EQ(slotParameter(32), view.parameters.at(5).Parameter);

    view.saveAnswers = {View::SaveAnswer::Discard}; // the unsaved assignment is let go
    choose(QStringLiteral("Synth"));

    EXPECT_EQ(slotParameter(32), QStringLiteral("P2 C1"));
    EXPECT_EQ(state.curPage, 1);
    EXPECT_EQ(view.parameterSelection, 0);
    EXPECT_EQ(view.label(Label::lab_PageCurrentlyDisplayed), QStringLiteral("Page 1 of 3"));
}

TEST_F(ViewControllerTest, AFileThatIsNotAPropertyListIsReportedAndLeftAlone)
{
    const QString path = logicFile(QStringLiteral("Broken"));
    writePlist(path, {});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a property list");
    file.close();

    open(QStringLiteral("Broken"));

    ASSERT_EQ(view.alerts.size(), 1u);
    EXPECT_EQ(view.alerts.at(0).message, texts::kPluginFileUnreadable);
    EXPECT_TRUE(view.alerts.at(0).informativeText.contains(path));
    EXPECT_EQ(readFile(path), QByteArray("not a property list"));

    // Nothing of it is shown as open, and nothing can be saved over it.
    EXPECT_EQ(view.label(Label::labOCScreen_Title), QStringLiteral("Please Select a plugin"));
    EXPECT_FALSE(view.label(Label::labelHelperDisplay).contains(QStringLiteral("Editing")));
    EXPECT_TRUE(view.label(Label::labPluginPlistLocation).isEmpty());
    EXPECT_EQ(view.parameters.size(), 0);
    for (const Button button : {Button::exportToPlist, Button::createChart, Button::nextPage, Button::newPage,
                                Button::FrontPanel, Button::PluginMode, Button::ov_btn_cloudLibraryDownload})
        EXPECT_FALSE(view.enabled.value(button, true)) << int(button);
    controller->exportToPlist();
    controller->ovPluginMode_Changed();
    EXPECT_EQ(view.alerts.size(), 1u);
    EXPECT_EQ(readFile(path), QByteArray("not a property list"));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".prev")));
}

// ---- the plug-in mode ----

TEST_F(ViewControllerTest, ChangingTheModeReloadsFromDiskAndKeepsTheChosenMode)
{
    const QString path = writePagedPlugin(QStringLiteral("Synth"), 2);
    open(QStringLiteral("Synth"));
    ASSERT_EQ(state.plugin_Mode, 0);
    const QByteArray onDisk = readFile(path);
    controller->nextPageButtonPressed();
    view.parameterSelection = 3;
    controller->clickControl(2); // an unsaved assignment
    view.helperTexts.clear();

    view.modeColumn = 0;                            // the user picks Instrument
    view.saveAnswers = {View::SaveAnswer::Discard}; // the unsaved assignment is let go
    controller->ovPluginMode_Changed();

    EXPECT_EQ(state.plugin_Mode, 1);
    EXPECT_EQ(view.modeColumn, 0);
    EXPECT_EQ(slotParameter(33), QStringLiteral("P2 C2")) << "the table is read again from disk";
    EXPECT_EQ(state.curPage, 1);
    EXPECT_EQ(view.label(Label::lab_PageCurrentlyDisplayed), QStringLiteral("Page 1 of 2"));
    EXPECT_EQ(view.parameterSelection, 0);
    EXPECT_EQ(view.helperTexts, (QStringList{QStringLiteral("Reading Parameters... Please Wait..."),
                                             QStringLiteral("Editing Synth using Instrument Mode")}));
    EXPECT_EQ(view.label(Label::mainTitle_Sub), QStringLiteral("Logic Pro Instrument Mapper"));
    EXPECT_EQ(readFile(path), onDisk) << "the file changes only when saved";

    // Saved, the mode survives the next opening.
    controller->exportToPlist();
    choose(QStringLiteral("Synth"));
    EXPECT_EQ(state.plugin_Mode, 1);
    EXPECT_EQ(mapping::readPlistFile(path, 1, 0).pluginMode, 1);
}

TEST_F(ViewControllerTest, ClickingTheModeAlreadyShownReadsTheFileAgainAfterAskingAboutEdits)
{
    writePagedPlugin(QStringLiteral("Synth"), 2);
    open(QStringLiteral("Synth"));
    const QString onDisk = slotParameter(6);
    controller->nextPageButtonPressed();
    view.parameterSelection = 3;
    controller->clickControl(7);
    const QString assigned = slotParameter(38);

    // Column 1, insert/effect, is already chosen. Cancelled, the edit and the page stay.
    view.saveAnswers = {View::SaveAnswer::Cancel};
    controller->ovPluginMode_Changed();
    ASSERT_EQ(view.saveQuestions.size(), 1u);
    EXPECT_EQ(slotParameter(38), assigned);
    EXPECT_EQ(state.curPage, 2);

    view.saveAnswers = {View::SaveAnswer::Discard};
    controller->ovPluginMode_Changed();
    EXPECT_EQ(view.saveQuestions.size(), 2u);
    EXPECT_NE(slotParameter(38), assigned) << "the table is read again from disk";
    EXPECT_EQ(state.curPage, 1);
    EXPECT_EQ(state.plugin_Mode, 0);

    // Without edits nothing is asked: page 1 of the file is shown.
    controller->nextPageButtonPressed();
    view.helperTexts.clear();
    controller->ovPluginMode_Changed();
    EXPECT_EQ(view.saveQuestions.size(), 2u);
    EXPECT_EQ(state.curPage, 1);
    EXPECT_EQ(slotParameter(6), onDisk);
    EXPECT_EQ(view.helperTexts, (QStringList{QStringLiteral("Reading Parameters... Please Wait..."),
                                             QStringLiteral("Editing Synth in Insert/Effect Mode")}));
}

// ---- assigning parameters ----

TEST_F(ViewControllerTest, AfterAFreshLoadAClickClearsTheControlAndTheSelectionStays)
{
    writePagedPlugin(QStringLiteral("Synth"), 1);
    open(QStringLiteral("Synth"));
    ASSERT_EQ(view.parameterSelection, 0);

    controller->ovRotBtn_Pressed(5);
    controller->ovRotBtn_Pressed(6);

    EXPECT_EQ(state.plistBuild.at(4).Parameter, QStringLiteral("-"));
    EXPECT_EQ(state.plistBuild.at(4).ParamNum, QStringLiteral("0"));
    EXPECT_EQ(state.plistBuild.at(5).Parameter, QStringLiteral("-"));
    EXPECT_EQ(state.plistBuild.at(4).OravelControlNo, 4) << "the slot keeps its place";
    EXPECT_EQ(view.controlText.at(5), QStringLiteral("-"));
    EXPECT_EQ(view.parameterSelection, 0);
}

TEST_F(ViewControllerTest, AnAssignmentPutsTheSelectedParameterOnTheControlAndSelectsTheNext)
{
    writePagedPlugin(QStringLiteral("Synth"), 2);
    open(QStringLiteral("Synth"));
    controller->nextPageButtonPressed();
    view.parameterSelection = 10;
    const ParameterEntry first = view.parameters.at(10);
    const ParameterEntry second = view.parameters.at(11);

    controller->ovRotBtn_Pressed(1);
    controller->ovRotBtn_Pressed(2);
    view.parameterSelection = 10;
    controller->ovRotBtn_Pressed(9);

    EXPECT_EQ(state.plistBuild.at(32).ParamNum, first.ParamNum);
    EXPECT_EQ(state.plistBuild.at(32).Parameter, first.Parameter);
    EXPECT_EQ(state.plistBuild.at(33).Parameter, second.Parameter);
    EXPECT_EQ(state.plistBuild.at(40).Parameter, first.Parameter) << "one parameter may stand on many controls";
    EXPECT_EQ(state.plistBuild.at(32).OravelPage, 2);
    EXPECT_EQ(view.parameterSelection, 11);
    EXPECT_EQ(view.controlText.at(1), first.Parameter);
    EXPECT_EQ(view.controlToolTip.at(2), second.Parameter);
    EXPECT_EQ(state.curPage, 2);
}

TEST_F(ViewControllerTest, AnAssignmentReadsTheListInItsArrangedOrder)
{
    writePagedPlugin(QStringLiteral("Synth"), 1, 4);
    open(QStringLiteral("Synth"));
    // Sorted the other way round: the last parameter on the first row.
    view.arrangement = {4, 3, 2, 1, 0};
    view.parameterSelection = 0;

    controller->clickControl(10);

    EXPECT_EQ(slotParameter(9), view.parameters.at(4).Parameter);
    EXPECT_EQ(view.parameterSelection, 1);
}

TEST_F(ViewControllerTest, OnTheLastRowTheSelectionStaysAndWithoutOneNothingHappens)
{
    writePagedPlugin(QStringLiteral("Synth"), 1, 4);
    open(QStringLiteral("Synth"));
    view.parameterSelection = 4;
    controller->clickControl(20);
    EXPECT_EQ(slotParameter(19), view.parameters.at(4).Parameter);
    EXPECT_EQ(view.parameterSelection, 4);

    view.parameterSelection = -1;
    const int relabels = view.relabels();
    const auto table = state.plistBuild;
    controller->clickControl(21);
    EXPECT_EQ(state.plistBuild, table);
    EXPECT_EQ(view.relabels(), relabels);
}

// ---- pages ----

TEST_F(ViewControllerTest, PreviousOnTheFirstAndNextOnTheLastPageStillRelabel)
{
    writePagedPlugin(QStringLiteral("Synth"), 3);
    open(QStringLiteral("Synth"));

    int relabels = view.relabels();
    controller->prevPageButtonPressed();
    EXPECT_EQ(state.curPage, 1);
    EXPECT_EQ(view.relabels(), relabels + 1);

    controller->lastPageButtonPressed();
    EXPECT_EQ(state.curPage, 3);
    expectPanelShows(3);
    EXPECT_EQ(view.controlText.at(1), QStringLiteral("P3 C1"));
    EXPECT_EQ(view.controlText.at(32), QStringLiteral("P3 C32"));
    relabels = view.relabels();
    controller->nextPageButtonPressed();
    EXPECT_EQ(state.curPage, 3);
    EXPECT_EQ(view.relabels(), relabels + 1);
    EXPECT_EQ(view.label(Label::lab_PageCurrentlyDisplayed), QStringLiteral("Page 3 of 3"));
    // The buttons that would leave the page where it is are disabled.
    for (const Button button : {Button::nextPage, Button::lastPage, Button::movePageNext, Button::movePageLast})
        EXPECT_FALSE(view.enabled.value(button)) << int(button);
    for (const Button button : {Button::firstPage, Button::prevPage, Button::movePageFirst, Button::movePagePrev})
        EXPECT_TRUE(view.enabled.value(button)) << int(button);

    controller->prevPageButtonPressed();
    EXPECT_EQ(view.label(Label::lab_PageCurrentlyDisplayed), QStringLiteral("Page 2 of 3"));
    controller->firstPageButtonPressed();
    EXPECT_EQ(state.curPage, 1);
    EXPECT_EQ(view.controlText.at(1), QStringLiteral("P1 C1"));
    EXPECT_FALSE(view.enabled.value(Button::prevPage));
    EXPECT_TRUE(view.enabled.value(Button::nextPage));
}

TEST_F(ViewControllerTest, ANewPageGoesToTheEndAndIsShown)
{
    writePagedPlugin(QStringLiteral("Synth"), 5);
    open(QStringLiteral("Synth"));
    controller->nextPageButtonPressed();

    controller->newPageButtonPressed();

    EXPECT_EQ(view.label(Label::lab_PageCurrentlyDisplayed), QStringLiteral("Page 6 of 6"));
    EXPECT_EQ(view.label(Label::labTotalPagesIndicator), QStringLiteral("6 Pages"));
    EXPECT_EQ(view.controlText.at(1), QStringLiteral("-"));
}

TEST_F(ViewControllerTest, TheFirstPageCannotBeDeleted)
{
    for (const int pages : {1, 4}) {
        SCOPED_TRACE(pages);
        writePagedPlugin(QStringLiteral("Synth"), pages);
        open(QStringLiteral("Synth"));
        view.alerts.clear();
        const auto table = state.plistBuild;
        const int relabels = view.relabels();

        controller->deletePageButtonPressed();

        ASSERT_EQ(view.alerts.size(), 1u);
        EXPECT_EQ(view.alerts.at(0).message, QStringLiteral("Cannot delete first page"));
        EXPECT_EQ(view.alerts.at(0).informativeText, QStringLiteral("Perhaps, try 'Clearing' this page instead?!"));
        EXPECT_EQ(state.plistBuild, table);
        EXPECT_EQ(view.relabels(), relabels);
    }
}

TEST_F(ViewControllerTest, DeletingAPageShowsThePageBeforeIt)
{
    writePagedPlugin(QStringLiteral("Synth"), 5);
    open(QStringLiteral("Synth"));
    controller->nextPageButtonPressed();
    controller->nextPageButtonPressed();

    controller->deletePageButtonPressed();

    EXPECT_TRUE(view.alerts.empty());
    EXPECT_EQ(view.label(Label::lab_PageCurrentlyDisplayed), QStringLiteral("Page 2 of 4"));
    EXPECT_EQ(view.controlText.at(1), QStringLiteral("P2 C1"));
}

TEST_F(ViewControllerTest, ClearingEmptiesTheShownPageOnly)
{
    writePagedPlugin(QStringLiteral("Synth"), 3);
    open(QStringLiteral("Synth"));
    controller->nextPageButtonPressed();

    controller->clearAllPagesButtonPressed();

    EXPECT_EQ(pageParameters(2), QStringList(32, QStringLiteral("-")));
    EXPECT_EQ(view.controlText.at(32), QStringLiteral("-"));
}

// ---- exchanging pages ----

TEST_F(ViewControllerTest, MovingTheLastPageToTheFirstExchangesThoseTwo)
{
    writePagedPlugin(QStringLiteral("Synth"), 4);
    open(QStringLiteral("Synth"));
    controller->lastPageButtonPressed();
    const int relabels = view.relabels();

    controller->ovMovePage_First();

    EXPECT_EQ(view.relabels(), relabels + 1) << "the panel is relabelled once, for the exchanged page";
    EXPECT_EQ(view.label(Label::lab_PageCurrentlyDisplayed), QStringLiteral("Page 1 of 4"));
    expectPanelShows(1);
    EXPECT_TRUE(state.bHTML().contains(QStringLiteral("<td>P4 C1</td>")));
    EXPECT_LT(state.bHTML().indexOf(QStringLiteral("P4 C1")), state.bHTML().indexOf(QStringLiteral("P2 C1")));
}

TEST_F(ViewControllerTest, MovingAPageOrSwappingControlsLeavesTheParameterSelection)
{
    writePagedPlugin(QStringLiteral("Synth"), 2);
    open(QStringLiteral("Synth"));
    controller->nextPageButtonPressed();
    view.parameterSelection = 3;
    controller->ovMovePage_First();
    EXPECT_EQ(view.parameterSelection, 3);
    EXPECT_EQ(slotParameter(0), QStringLiteral("P2 C1"));
    controller->swapControls(1, 2);
    EXPECT_EQ(view.parameterSelection, 3);
    EXPECT_EQ(slotParameter(0), QStringLiteral("P2 C2"));
    // A click that puts the selected parameter on a control still moves the selection on.
    controller->clickControl(5);
    EXPECT_EQ(view.parameterSelection, 4);
}

TEST_F(ViewControllerTest, RefusedExchangesChangeNothingAndDoNotRelabel)
{
    writePagedPlugin(QStringLiteral("Synth"), 3);
    open(QStringLiteral("Synth"));
    const auto table = state.plistBuild;

    int relabels = view.relabels();
    controller->ovMovePage_Prev();
    controller->ovMovePage_First();
    EXPECT_EQ(view.relabels(), relabels);
    EXPECT_EQ(state.curPage, 1);

    controller->lastPageButtonPressed();
    relabels = view.relabels();
    controller->ovMovePage_Next();
    controller->ovMovePage_Last();
    EXPECT_EQ(view.relabels(), relabels);
    EXPECT_EQ(state.curPage, 3);
    EXPECT_EQ(state.plistBuild, table);

    controller->ovMovePage_Prev();
    EXPECT_EQ(state.curPage, 2);
    EXPECT_EQ(pageParameters(2).first(), QStringLiteral("P3 C1"));
}

// ---- saving and recall ----

TEST_F(ViewControllerTest, SavingWritesTheTableWithBackupsAndTellsWhereThePreviousOneWent)
{
    const QString path = writePagedPlugin(QStringLiteral("Synth"), 2, 3);
    const QByteArray logics = readFile(path);
    open(QStringLiteral("Synth"));
    const QByteArray opened = readFile(path); // with the list of unique parameters added
    view.parameterSelection = 2;
    controller->clickControl(5);
    view.modeColumn = 0;
    view.saveAnswers = {View::SaveAnswer::Discard};
    controller->ovPluginMode_Changed();
    view.parameterSelection = 2;
    controller->clickControl(5);
    EXPECT_TRUE(view.enabled.value(Button::recallOriginalMapping)) << "kept when the list was added";
    EXPECT_FALSE(view.enabled.value(Button::recallPreviousMapping));

    controller->ovExportToPlist();

    EXPECT_TRUE(view.enabled.value(Button::recallOriginalMapping));
    EXPECT_TRUE(view.enabled.value(Button::recallPreviousMapping));
    ASSERT_EQ(view.alerts.size(), 1u);
    EXPECT_EQ(view.alerts.at(0).message, QStringLiteral("New Mapping has been saved"));
    EXPECT_EQ(
        view.alerts.at(0).informativeText,
        QStringLiteral("Please remember to close and re-open plugin within Logic so that changes are updated\n\n\n"
                       "Backup of previous plist file has been saved here:\n\n")
            + path + QStringLiteral(".prev"));
    EXPECT_EQ(readFile(path + QStringLiteral(".original")), logics);
    EXPECT_EQ(readFile(path + QStringLiteral(".prev")), opened);
    const mapping::PlistDocument saved = readPlist(path);
    const QStringList slotStrings = mapping::controlSurfaceOrder(saved);
    ASSERT_EQ(slotStrings.size(), 64);
    EXPECT_EQ(slotStrings.at(4), QStringLiteral("102 P1 C2"));
    EXPECT_EQ(slotStrings.at(3), QStringLiteral("-1"));
    EXPECT_EQ(slotStrings.at(63), QStringLiteral("-1"));
    EXPECT_EQ(saved.firstElementText(mapping::kOravelCSModeKey), QStringLiteral("1"));
    EXPECT_EQ(mapping::storedUniqueParameters(saved),
              mapping::storedUniqueParameters(readPlist(path + QStringLiteral(".prev"))));

    // A second save keeps the original and moves the first save to ".prev".
    const QByteArray first = readFile(path);
    controller->clickControl(6);
    controller->ovExportToPlist();
    EXPECT_EQ(readFile(path + QStringLiteral(".original")), logics);
    EXPECT_EQ(readFile(path + QStringLiteral(".prev")), first);
}

TEST_F(ViewControllerTest, ASaveThatCannotReadTheFileSaysSoAndWritesNothing)
{
    const QString path = writePagedPlugin(QStringLiteral("Synth"), 1);
    open(QStringLiteral("Synth"));
    view.parameterSelection = 3;
    controller->clickControl(1);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::remove(path + QStringLiteral(".original")));
    ASSERT_TRUE(QDir().mkdir(path)); // a folder where the file was

    controller->exportToPlist();

    ASSERT_EQ(view.alerts.size(), 1u);
    EXPECT_EQ(view.alerts.at(0).message, QStringLiteral("Mapping not saved"));
    EXPECT_TRUE(view.alerts.at(0).informativeText.contains(path));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".prev")));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".original")));
}

TEST_F(ViewControllerTest, RecallWithoutABackupSaysSoAndChangesNothing)
{
    const QString path = writePagedPlugin(QStringLiteral("Synth"), 1);
    open(QStringLiteral("Synth"));
    ASSERT_TRUE(QFile::remove(path + QStringLiteral(".original"))); // as for a file that had its list
    view.parameterSelection = 3;
    controller->clickControl(1);
    const auto table = state.plistBuild;
    const QByteArray onDisk = readFile(path);

    controller->ovRecallPreviousMapping();
    controller->ovRecallOriginalMapping();

    ASSERT_EQ(view.alerts.size(), 2u);
    for (const RecordingView::Alert &alert : view.alerts) {
        EXPECT_EQ(alert.message, QStringLiteral("Recall file does not exist"));
        EXPECT_EQ(alert.informativeText,
                  QStringLiteral("Please Note: Original, and Previous backup files will only exist once a mapping has "
                                 "been saved, simply reselect plugin on left menu to reload the default file again."));
    }
    EXPECT_EQ(state.plistBuild, table);
    EXPECT_EQ(readFile(path), onDisk);
}

TEST_F(ViewControllerTest, RecallPutsTheBackupBackAndReloadsIt)
{
    const QString path = writePagedPlugin(QStringLiteral("Synth"), 2);
    open(QStringLiteral("Synth"));
    const QByteArray beforeSave = readFile(path);
    view.modeColumn = 0;
    controller->ovPluginMode_Changed();
    controller->nextPageButtonPressed();
    controller->clearThisPage();
    controller->exportToPlist();
    controller->nextPageButtonPressed();
    view.alerts.clear();

    controller->ovRecallPreviousMapping();

    EXPECT_EQ(readFile(path), beforeSave);
    EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral(".prev")));
    ASSERT_EQ(view.alerts.size(), 1u);
    EXPECT_EQ(view.alerts.at(0).message, QStringLiteral("Recalled mapping has been applied"));
    EXPECT_EQ(view.alerts.at(0).informativeText, QStringLiteral("Now saved as this plugins default"));
    EXPECT_EQ(slotParameter(32), QStringLiteral("P2 C1")) << "the table is the recalled file's";
    EXPECT_EQ(state.curPage, 1);
    EXPECT_EQ(view.parameterSelection, 0);
    EXPECT_EQ(state.plugin_Mode, 0) << "the mode comes from the recalled file, which never held one";
    EXPECT_EQ(view.modeColumn, 1);
    expectPanelShows(1);

    // Two saves later, the original backup still holds the file as first opened.
    controller->exportToPlist();
    controller->clearThisPage();
    controller->exportToPlist();
    controller->ovRecallOriginalMapping();
    EXPECT_EQ(readFile(path), beforeSave);
    EXPECT_EQ(slotParameter(0), QStringLiteral("P1 C1"));
}

// ---- the chart, the folder and help ----

TEST_F(ViewControllerTest, TheChartIsWrittenBesideTheFileAndOpened)
{
    const QString path = writePagedPlugin(QStringLiteral("Synth & <Co>"), 2);
    open(QStringLiteral("Synth & <Co>"));
    view.parameterSelection = 0;
    controller->clickControl(3);

    controller->ovCreateChart();

    const QString chart = path + QStringLiteral(".html");
    EXPECT_EQ(view.opened, QStringList{chart});
    const QByteArray written = readFile(chart);
    EXPECT_EQ(QString::fromLatin1(written), state.bHTML());
    EXPECT_TRUE(written.contains("MCU Mapping for 'Synth &amp; &lt;Co&gt;'"));
    EXPECT_TRUE(written.contains("<th>Page 1 Encoders</th><td>P1 C1</td><td>P1 C2</td><td>-</td>"));
    EXPECT_TRUE(written.contains("<td>P2 C32</td></tr></table></body></html>")) << "every slot is charted";
    EXPECT_TRUE(view.alerts.empty());
    EXPECT_EQ(view.label(Label::labelHelperDisplay), QStringLiteral("Chart written to ") + chart);

    // Replaces the same file; with nothing to open it, an alert says where it is.
    view.openSucceeds = false;
    controller->ovCreateChart();
    EXPECT_EQ(view.opened.size(), 2);
    ASSERT_EQ(view.alerts.size(), 1u);
    EXPECT_EQ(view.alerts.at(0).message, QStringLiteral("Chart not opened"));
    EXPECT_TRUE(view.alerts.at(0).informativeText.contains(chart));
}

TEST_F(ViewControllerTest, AChartThatCannotBeWrittenSaysWhere)
{
    const QString path = writePagedPlugin(QStringLiteral("Synth"), 1);
    open(QStringLiteral("Synth"));
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral(".html/occupied")));

    controller->ovCreateChart();

    ASSERT_EQ(view.alerts.size(), 1u);
    EXPECT_EQ(view.alerts.at(0).message, QStringLiteral("Chart not written"));
    EXPECT_TRUE(view.alerts.at(0).informativeText.contains(path + QStringLiteral(".html")));
    EXPECT_TRUE(view.opened.isEmpty());
}

TEST_F(ViewControllerTest, OpenFolderOpensTheFoldersNotTheFile)
{
    const QString path = writePagedPlugin(QStringLiteral("Synth"), 1);
    open(QStringLiteral("Synth"));

    controller->btnOpenInFinder();

    EXPECT_EQ(view.opened, QStringList{logicRoot(home.path()) + QStringLiteral("/Synth")});
}

TEST_F(ViewControllerTest, HelpShowsTheInstructions)
{
    controller->ovHelpMe();

    ASSERT_EQ(view.alerts.size(), 1u);
    EXPECT_EQ(view.alerts.at(0).message, QStringLiteral("Brief instructions on use"));
    const QString &help = view.alerts.at(0).informativeText;
    EXPECT_TRUE(help.startsWith(QStringLiteral("1. Begin by pressing the 'Scan for plugins' button")));
    EXPECT_TRUE(help.contains(
        QStringLiteral("\n\n4. Once a parameter is selected, click any control from the on-screen front panel.\n\n")));
    EXPECT_TRUE(
        help.endsWith(QStringLiteral("backups will be automatically made.\n\n\n\nMore in depth help to come later")));
}

} // namespace
} // namespace ov::ui::test
