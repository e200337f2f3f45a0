// The main window's editing aids under the offscreen platform: drag and drop onto the panel, the
// panel's keyboard, the mapped column and its filter, the marks, undo and redo, and the question.

#include "MessageBoxAnswerer.h"
#include "TestFiles.h"
#include "WindowFixture.h"

#include "catalogue/PluginScan.h"
#include "mapping/ParameterOrderFile.h"
#include "ui/EditorState.h"
#include "ui/ViewController.h"
#include "support/DrawnColors.h"
#include "ui/qt/DragData.h"
#include "ui/qt/ElidingLabel.h"
#include "ui/qt/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace ov::ui::test {
namespace {

using ov::test::MessageBoxAnswerer;

const QString kParameters = QStringLiteral("tablePlistOfSelectedPlugin");

class EditingWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        // "Param 1" ... "Param 40" on two pages.
        writePlist(logicFile(QStringLiteral("Demo Synth")),
                   {{mapping::kControlSurfaceParameterOrderKey, numberedParameters(1, 40)}});
        writePlist(logicFile(QStringLiteral("Other Delay")),
                   {{mapping::kControlSurfaceParameterOrderKey, numberedParameters(1, 3)}});
        editor = std::make_unique<Editor>(home.path());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor->window));
        editor->window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor->window));
    }

    QString logicFile(const QString &plugin) const { return test::logicFile(home.path(), plugin); }
    template <typename T> T *find(const QString &name) const { return editor->find<T>(name); }
    QString text(const QString &labelName) const { return editor->text(labelName); }
    QPushButton *control(int n) const { return find<QPushButton>(QStringLiteral("ovRotBtn%1").arg(n)); }
    qt::ElidingLabel *strip(int n) const { return find<qt::ElidingLabel>(QStringLiteral("ovControl%1").arg(n)); }
    QTableView *table(const QString &name) const { return find<QTableView>(name); }
    QAbstractItemModel *parameters() const { return table(kParameters)->model(); }
    QString cell(int row, int column) const { return parameters()->index(row, column).data().toString(); }
    int rowOf(const QString &name) const
    {
        for (int row = 0; row < parameters()->rowCount(); ++row) {
            if (cell(row, 1) == name)
                return row;
        }
        return -1;
    }
    void clickRow(const QString &tableName, int row) { editor->clickRow(tableName, row); }
    void openDemoSynth()
    {
        for (int row = 0; row < table(QStringLiteral("pluginTableView"))->model()->rowCount(); ++row) {
            if (table(QStringLiteral("pluginTableView"))->model()->index(row, 1).data() == QStringLiteral("Demo Synth"))
                clickRow(QStringLiteral("pluginTableView"), row);
        }
        ASSERT_EQ(text(QStringLiteral("labOCScreen_Title")), QStringLiteral("Demo Synth (Logic)"));
    }
    // What the parameter list hands a drag of its row `row` (as arranged on screen).
    std::unique_ptr<QMimeData> dragOfRow(int row) const
    {
        return std::unique_ptr<QMimeData>(
            parameters()->mimeData({parameters()->index(row, 0), parameters()->index(row, 1)}));
    }
    // Drags `mimeData` over `target` and drops it there; returns whether the target took the drag
    // and whether it took the drop.
    std::pair<bool, bool> dropOn(QWidget *target, const QMimeData *mimeData, Qt::DropActions actions = Qt::CopyAction)
    {
        const QPoint centre = target->rect().center();
        QDragEnterEvent enter(centre, actions, mimeData, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(centre), actions, mimeData, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return {enter.isAccepted(), drop.isAccepted()};
    }
    QAction *action(const QString &name) const { return find<QAction>(name); }

    QTemporaryDir home;
    std::unique_ptr<Editor> editor;
};

// ---- drag and drop ----

TEST_F(EditingWindowTest, AParameterDraggedFromTheListLandsOnTheControl)
{
    openDemoSynth();
    const int row = rowOf(QStringLiteral("Param 12"));
    ASSERT_GT(row, 0);
    const std::unique_ptr<QMimeData> mimeData = dragOfRow(row);
    ASSERT_NE(mimeData, nullptr);
    EXPECT_TRUE(mimeData->hasFormat(qt::drag::kParameterMimeType));
    EXPECT_TRUE(parameters()->flags(parameters()->index(row, 1)) & Qt::ItemIsDragEnabled);

    // Onto the knob of control 5, and onto the strip of control 6.
    EXPECT_EQ(dropOn(control(5), mimeData.get()), std::make_pair(true, true));
    EXPECT_EQ(dropOn(strip(6), mimeData.get()), std::make_pair(true, true));

    EXPECT_EQ(strip(5)->text(), QStringLiteral("Param 12"));
    EXPECT_EQ(strip(6)->text(), QStringLiteral("Param 12"));
    EXPECT_EQ(editor->state.plistBuild.at(4).ParamNum, QStringLiteral("12"));
    EXPECT_TRUE(editor->window.isWindowModified());
    EXPECT_EQ(action(QStringLiteral("actionUndo"))->text(), QStringLiteral("Undo Assign Parameter"));
}

TEST_F(EditingWindowTest, ADropFollowsTheListAsSortedAndFiltered)
{
    openDemoSynth();
    // Sorted by number, highest first: row 1 is Param 40.
    QHeaderView *header = table(kParameters)->horizontalHeader();
    header->setSortIndicator(0, Qt::DescendingOrder);
    ASSERT_EQ(cell(1, 1), QStringLiteral("Param 40"));
    dropOn(control(1), dragOfRow(1).get());
    EXPECT_EQ(strip(1)->text(), QStringLiteral("Param 40"));

    // Filtered: the one row left besides "-".
    QTest::keyClicks(find<QLineEdit>(QStringLiteral("parameterSearchField")), QStringLiteral("Param 17"));
    ASSERT_EQ(parameters()->rowCount(), 2);
    dropOn(control(2), dragOfRow(1).get());
    EXPECT_EQ(strip(2)->text(), QStringLiteral("Param 17"));
}

TEST_F(EditingWindowTest, DropsThatCannotBeCarriedOutAreRefused)
{
    const std::unique_ptr<QMimeData> early(
        qt::drag::parameterMimeData(1, {QStringLiteral("1"), QStringLiteral("Param 1"), 0, 0}));
    EXPECT_EQ(dropOn(control(5), early.get()), std::make_pair(false, false))
        << "no plug-in open: the panel is disabled";

    openDemoSynth();
    const auto table = editor->state.plistBuild;
    QMimeData text;
    text.setText(QStringLiteral("Param 3"));
    EXPECT_EQ(dropOn(control(5), &text), std::make_pair(false, false));
    const std::unique_ptr<QMimeData> itself(qt::drag::controlMimeData(5));
    EXPECT_EQ(dropOn(control(5), itself.get(), Qt::MoveAction), std::make_pair(false, false));
    // A row that no longer holds what was dragged (the list was replaced meanwhile).
    const std::unique_ptr<QMimeData> stale(
        qt::drag::parameterMimeData(3, {QStringLiteral("99"), QStringLiteral("Gone"), 0, 0}));
    dropOn(control(5), stale.get());
    EXPECT_EQ(editor->state.plistBuild, table);
    EXPECT_EQ(strip(5)->text(), QStringLiteral("Param 5"));
    EXPECT_FALSE(editor->window.isWindowModified());
}

TEST_F(EditingWindowTest, AControlDraggedOntoAnotherSwapsThem)
{
    openDemoSynth();
    clickRow(kParameters, 7);
    const std::unique_ptr<QMimeData> mimeData(qt::drag::controlMimeData(3));

    EXPECT_EQ(dropOn(strip(7), mimeData.get(), Qt::MoveAction), std::make_pair(true, true));

    EXPECT_EQ(strip(3)->text(), QStringLiteral("Param 7"));
    EXPECT_EQ(strip(7)->text(), QStringLiteral("Param 3"));
    EXPECT_EQ(table(kParameters)->selectionModel()->selectedRows().value(0).row(), 7) << "the list's selection stays";
    action(QStringLiteral("actionUndo"))->trigger();
    EXPECT_EQ(strip(3)->text(), QStringLiteral("Param 3"));
    EXPECT_EQ(strip(7)->text(), QStringLiteral("Param 7"));
    EXPECT_FALSE(editor->window.isWindowModified());
}

// ---- the keyboard ----

TEST_F(EditingWindowTest, TheKeyboardMovesAcrossThePanelAssignsAndTurnsPages)
{
    openDemoSynth();
    control(5)->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), control(5));

    QTest::keyClick(control(5), Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), control(6));
    QTest::keyClick(control(6), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), control(14));
    QTest::keyClick(control(14), Qt::Key_Up);
    QTest::keyClick(control(6), Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), control(5));
    QTest::keyClick(control(5), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("nextPageButton"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), control(5));
    // At the edges the focus stays.
    control(32)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(control(32), Qt::Key_Right);
    QTest::keyClick(control(32), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), control(32));

    // Enter puts the selected parameter on the focused control and selects the next.
    clickRow(kParameters, rowOf(QStringLiteral("Param 20")));
    control(9)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(control(9), Qt::Key_Return);
    EXPECT_EQ(strip(9)->text(), QStringLiteral("Param 20"));
    QTest::keyClick(control(10), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(strip(10)->text(), QStringLiteral("Param 21"));

    QTest::keyClick(control(10), Qt::Key_PageDown);
    EXPECT_EQ(text(QStringLiteral("lab_PageCurrentlyDisplayed")), QStringLiteral("Page 2 of 2"));
    EXPECT_EQ(strip(1)->text(), QStringLiteral("Param 33"));
    QTest::keyClick(control(10), Qt::Key_PageUp);
    EXPECT_EQ(text(QStringLiteral("lab_PageCurrentlyDisplayed")), QStringLiteral("Page 1 of 2"));
}

TEST_F(EditingWindowTest, TabGoesThroughTheWindowsPartsInReadingOrder)
{
    openDemoSynth();
    table(QStringLiteral("pluginTableView"))->setFocus(Qt::TabFocusReason);
    QStringList visited;
    for (int step = 0; step < 9; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(visited, (QStringList{"hideMappedParameters", "parameterSearchField", "tablePlistOfSelectedPlugin",
                                    "ovRotBtn1", "nextPageButton", "lastPageButton", "newPageButton",
                                    "clearAllPagesButton", "deletePageButton"}));
}

// The keys go on from the control clicked (anywhere on it) or shown from the list's "Mapped" column;
// Delete and Backspace empty the focused control as one step.
TEST_F(EditingWindowTest, TheKeysStartFromTheControlClickedOrShownAndDeleteEmptiesIt)
{
    openDemoSynth();
    for (const Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace}) {
        table(kParameters)->setFocus();
        QTest::mouseClick(strip(7), Qt::LeftButton);
        EXPECT_EQ(QApplication::focusWidget(), control(7)) << key;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_EQ(strip(8)->text(), QStringLiteral("-")) << key;
        action(QStringLiteral("actionUndo"))->trigger();
        EXPECT_EQ(strip(8)->text(), QStringLiteral("Param 8")) << key;
    }
    const QModelIndex mapped = parameters()->index(rowOf(QStringLiteral("Param 35")), 2);
    ASSERT_EQ(mapped.data().toString(), QStringLiteral("2/3"));
    table(kParameters)->scrollTo(mapped);
    const QPoint at = table(kParameters)->visualRect(mapped).center();
    QTest::mouseClick(table(kParameters)->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table(kParameters)->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(text(QStringLiteral("lab_PageCurrentlyDisplayed")), QStringLiteral("Page 2 of 2"));
    EXPECT_EQ(QApplication::focusWidget(), control(3));
}

TEST_F(EditingWindowTest, UndoAndRedoAreInTheEditMenuWithTheirKeys)
{
    openDemoSynth();
    QAction *undo = action(QStringLiteral("actionUndo"));
    QAction *redo = action(QStringLiteral("actionRedo"));
    EXPECT_TRUE(undo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Z)));
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    const QStringList menus = [&] {
        QStringList titles;
        for (QAction *menu : editor->window.menuBar()->actions())
            titles.append(menu->text());
        return titles;
    }();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("&File"), QStringLiteral("&Edit"), QStringLiteral("&View"),
                                  QStringLiteral("&Page"), QStringLiteral("&Help")}));

    find<QPushButton>(QStringLiteral("clearAllPagesButton"))->click();
    EXPECT_EQ(strip(1)->text(), QStringLiteral("-"));
    EXPECT_TRUE(editor->window.isWindowModified());
    EXPECT_EQ(undo->text(), QStringLiteral("Undo Clear Page"));

    control(1)->setFocus();
    QTest::keyClick(control(1), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(strip(1)->text(), QStringLiteral("Param 1"));
    EXPECT_FALSE(editor->window.isWindowModified());
    EXPECT_EQ(redo->text(), QStringLiteral("Redo Clear Page"));
    QTest::keyClick(control(1), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(strip(1)->text(), QStringLiteral("-"));
    EXPECT_TRUE(editor->window.isWindowModified());
}

// ---- where parameters stand ----

TEST_F(EditingWindowTest, TheMappedColumnAndTheFilterThatHidesMappedParameters)
{
    openDemoSynth();
    EXPECT_EQ(parameters()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Mapped"));
    EXPECT_EQ(cell(rowOf(QStringLiteral("Param 5")), 2), QStringLiteral("1/5"));
    EXPECT_EQ(cell(rowOf(QStringLiteral("Param 35")), 2), QStringLiteral("2/3"));
    EXPECT_EQ(cell(0, 2), QString());

    find<QPushButton>(QStringLiteral("clearAllPagesButton"))->click(); // page 1 empty: Param 1 ... 32 unmapped
    QCheckBox *hide = find<QCheckBox>(QStringLiteral("hideMappedParameters"));
    hide->setChecked(true);
    ASSERT_EQ(parameters()->rowCount(), 33);
    EXPECT_EQ(cell(0, 1), QStringLiteral("-")) << "the empty entry always stays";
    EXPECT_EQ(rowOf(QStringLiteral("Param 35")), -1);

    // Assigning takes the parameter out of the list and leaves the next one selected.
    clickRow(kParameters, rowOf(QStringLiteral("Param 4")));
    control(1)->click();
    EXPECT_EQ(strip(1)->text(), QStringLiteral("Param 4"));
    EXPECT_EQ(rowOf(QStringLiteral("Param 4")), -1);
    EXPECT_EQ(cell(table(kParameters)->selectionModel()->selectedRows().value(0).row(), 1), QStringLiteral("Param 5"));
    control(2)->click();
    EXPECT_EQ(strip(2)->text(), QStringLiteral("Param 5"));

    // The search looks at names and numbers only.
    QTest::keyClicks(find<QLineEdit>(QStringLiteral("parameterSearchField")), QStringLiteral("2/3"));
    hide->setChecked(false);
    EXPECT_EQ(parameters()->rowCount(), 1);
    find<QLineEdit>(QStringLiteral("parameterSearchField"))->clear();
    EXPECT_EQ(parameters()->rowCount(), 41);
    EXPECT_EQ(cell(rowOf(QStringLiteral("Param 4")), 2), QStringLiteral("1/1"));

    // Sorted by where they stand: page by page, control by control, then what stands nowhere.
    table(kParameters)->horizontalHeader()->setSortIndicator(2, Qt::AscendingOrder);
    EXPECT_EQ(cell(1, 1), QStringLiteral("Param 4"));
    EXPECT_EQ(cell(2, 1), QStringLiteral("Param 5"));
    EXPECT_EQ(cell(3, 1), QStringLiteral("Param 33"));
    EXPECT_EQ(cell(40, 2), QString());
}

TEST_F(EditingWindowTest, AParameterOnSeveralControlsIsMarkedOnThePanel)
{
    openDemoSynth();
    const QColor unmarked = leftEdgeColor(strip(5));
    clickRow(kParameters, rowOf(QStringLiteral("Param 12")));
    control(5)->click();

    EXPECT_NE(leftEdgeColor(strip(5)), unmarked);
    EXPECT_EQ(strip(5)->toolTip(), QStringLiteral("Param 12\nAlso on 1/12"));
    EXPECT_NE(leftEdgeColor(strip(12)), unmarked);
    EXPECT_EQ(strip(12)->toolTip(), QStringLiteral("Param 12\nAlso on 1/5"));
    EXPECT_EQ(leftEdgeColor(strip(6)), unmarked);
    EXPECT_EQ(strip(6)->toolTip(), QStringLiteral("Param 6"));

    action(QStringLiteral("actionUndo"))->trigger();
    EXPECT_EQ(leftEdgeColor(strip(12)), unmarked);
    EXPECT_EQ(strip(12)->toolTip(), QStringLiteral("Param 12"));
}

// ---- the question ----

TEST_F(EditingWindowTest, ChoosingAnotherPluginWithUnsavedEditsAsks)
{
    openDemoSynth();
    find<QPushButton>(QStringLiteral("clearAllPagesButton"))->click();
    QTableView *plugins = table(QStringLiteral("pluginTableView"));
    const int synthRow = plugins->selectionModel()->selectedRows().value(0).row();
    const int delayRow = 1 - synthRow;

    {
        MessageBoxAnswerer answerer({QStringLiteral("Cancel")});
        clickRow(QStringLiteral("pluginTableView"), delayRow);
        ASSERT_EQ(answerer.shown().size(), 1u);
        EXPECT_EQ(answerer.shown().at(0).text, QStringLiteral("Save changes to the mapping of Demo Synth?"));
        QStringList buttons = answerer.shown().at(0).buttons; // in the platform's order
        buttons.sort();
        EXPECT_EQ(buttons, (QStringList{QStringLiteral("Cancel"), QStringLiteral("Discard"), QStringLiteral("Save")}));
    }
    EXPECT_EQ(text(QStringLiteral("labOCScreen_Title")), QStringLiteral("Demo Synth (Logic)"));
    EXPECT_EQ(plugins->selectionModel()->selectedRows().value(0).row(), synthRow) << "the open plug-in is shown chosen";
    EXPECT_EQ(editor->window.selectedPlugin()->Plugin, QStringLiteral("Demo Synth"));
    EXPECT_TRUE(editor->window.isWindowModified());

    {
        MessageBoxAnswerer answerer({QStringLiteral("Discard")});
        clickRow(QStringLiteral("pluginTableView"), delayRow);
        EXPECT_EQ(answerer.shown().size(), 1u);
    }
    EXPECT_EQ(text(QStringLiteral("labOCScreen_Title")), QStringLiteral("Other Delay (Logic)"));
    EXPECT_FALSE(editor->window.isWindowModified());
    EXPECT_EQ(mapping::controlSurfaceOrder(readPlist(logicFile(QStringLiteral("Demo Synth")))).at(0),
              QStringLiteral("1 Param 1"))
        << "discarded, not saved";
}

TEST_F(EditingWindowTest, ARecallWithUnsavedEditsAsksOnlyWhetherToDiscard)
{
    openDemoSynth();
    {
        MessageBoxAnswerer answerer({QStringLiteral("OK")});
        find<QPushButton>(QStringLiteral("ovExportToPlist"))->click();
    }
    find<QPushButton>(QStringLiteral("clearAllPagesButton"))->click();

    MessageBoxAnswerer answerer({QStringLiteral("Cancel")});
    find<QPushButton>(QStringLiteral("ovRecallOriginalMapping"))->click();

    ASSERT_EQ(answerer.shown().size(), 1u);
    EXPECT_EQ(answerer.shown().at(0).text, QStringLiteral("Discard the unsaved changes to the mapping of Demo Synth?"));
    QStringList buttons = answerer.shown().at(0).buttons; // in the platform's order
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("Cancel"), QStringLiteral("Discard")}));
    EXPECT_EQ(strip(1)->text(), QStringLiteral("-"));
}

// ---- fill, copy a mapping from another plug-in, show changes ----

TEST_F(EditingWindowTest, FillCopyAndShowChangesFromTheMenus)
{
    openDemoSynth();
    editor->window.resize(1280, 900);
    editor->click(QStringLiteral("lastPageButton"));
    editor->click(QStringLiteral("clearAllPagesButton")); // Param 33 ... 40 stand nowhere now
    QTest::keyClicks(find<QLineEdit>(QStringLiteral("parameterSearchField")), QStringLiteral("param 3"));

    // "Fill From Here" in control 3's context menu lays out what the search finds: Param 33 ... 39.
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, control(3)->rect().center(),
                                 control(3)->mapToGlobal(control(3)->rect().center()));
    QApplication::sendEvent(control(3), &rightClick);
    auto *menu = find<QMenu>(QStringLiteral("controlContextMenu"));
    ASSERT_NE(menu, nullptr);
    menu->findChild<QAction *>(QStringLiteral("actionFillFromHere"))->trigger();
    menu->close();
    EXPECT_EQ(strip(2)->text(), QStringLiteral("-"));
    EXPECT_EQ(strip(3)->text(), QStringLiteral("Param 33"));
    EXPECT_EQ(strip(9)->text(), QStringLiteral("Param 39"));
    EXPECT_EQ(strip(10)->text(), QStringLiteral("-"));
    EXPECT_EQ(action(QStringLiteral("actionUndo"))->text(), QStringLiteral("Undo Fill From Here"));

    // Show Changes against the file: page 2 held Param 33 ... 40 on controls 1 to 8.
    editor->window.findChild<QMenu *>(QStringLiteral("showChangesMenu"))
        ->findChild<QAction *>(QStringLiteral("actionShowChangesUnsaved"))
        ->trigger();
    EXPECT_EQ(text(QStringLiteral("labChangedPages")), QStringLiteral("Changed pages: 2"));
    EXPECT_TRUE(strip(1)->toolTip().endsWith(QStringLiteral("Was: Param 33")));
    EXPECT_TRUE(strip(3)->toolTip().endsWith(QStringLiteral("Was: Param 35")));
    EXPECT_TRUE(strip(9)->toolTip().endsWith(QStringLiteral("Was: -")));
    EXPECT_FALSE(strip(10)->toolTip().contains(QStringLiteral("Was:")));
    QTest::qWait(50);
    const QString folder = qEnvironmentVariableIsEmpty("OV_SCREENSHOT_DIR") ? QStringLiteral(OV_BINARY_DIR)
                                                                            : qEnvironmentVariable("OV_SCREENSHOT_DIR");
    EXPECT_TRUE(editor->window.grab().save(QDir(folder).filePath(QStringLiteral("show-changes.png"))));

    // "Copy Mapping From..." with Other Delay picked: its three names, one page.
    QTimer::singleShot(0, [] {
        auto *chooser = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(chooser, nullptr);
        auto *list = chooser->findChild<QListWidget *>(QStringLiteral("pluginChooserList"));
        const QList<QListWidgetItem *> found = list->findItems(QStringLiteral("Other Delay (Logic)"), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        list->setCurrentItem(found.first());
        chooser->accept();
    });
    MessageBoxAnswerer answerer({QStringLiteral("OK")});
    action(QStringLiteral("actionCopyMappingFrom"))->trigger();
    ASSERT_EQ(answerer.shown().size(), 1u);
    EXPECT_EQ(answerer.shown().front().text, QStringLiteral("Mapping copied from Other Delay"));
    EXPECT_EQ(text(QStringLiteral("lab_PageCurrentlyDisplayed")), QStringLiteral("Page 1 of 1"));
    EXPECT_EQ(strip(3)->text(), QStringLiteral("Param 3"));
    EXPECT_EQ(strip(4)->text(), QStringLiteral("-"));
    EXPECT_EQ(text(QStringLiteral("labChangedPages")), QStringLiteral("Changed pages: 1, 2"));
}

} // namespace
} // namespace ov::ui::test
