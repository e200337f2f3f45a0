#include "MessageBoxAnswerer.h"
#include "TestFiles.h"
#include "WindowFixture.h"

#include "catalogue/PluginScan.h"
#include "mapping/ParameterOrderFile.h"
#include "ui/EditorState.h"
#include "ui/UiTexts.h"
#include "ui/ViewController.h"
#include "ui/qt/ElidingLabel.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/ParameterListModel.h"
#include "ui/qt/ParameterTable.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace ov::ui::test {
namespace {

using ov::test::MessageBoxAnswerer;

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }

    QString logicFile(const QString &plugin) const { return test::logicFile(home.path(), plugin); }
    // The demo home's plug-ins, with Logic's own Retro Synth file among them.
    void writeDemoHome()
    {
        const int generated = QProcess::execute(QStringLiteral("python3"),
                                                {QStringLiteral(OV_SOURCE_DIR "/scripts/demo-home"), home.path()});
        ASSERT_EQ(generated, 0) << "scripts/demo-home failed";
    }
    static void openRetroSynth(Editor &editor)
    {
        QTableView *plugins = editor.find<QTableView>(QStringLiteral("pluginTableView"));
        for (int r = 0; r < plugins->model()->rowCount(); ++r) {
            if (editor.cell(QStringLiteral("pluginTableView"), r, 1) == QStringLiteral("Retro Synth"))
                return editor.clickRow(QStringLiteral("pluginTableView"), r);
        }
        ADD_FAILURE() << "no Retro Synth in the plug-in list";
    }
    // The window at `size`, laid out.
    static void resizeWindow(Editor &editor, const QSize &size)
    {
        editor.window.resize(size);
        for (int pass = 0; pass < 3; ++pass)
            QApplication::processEvents();
    }

    QTemporaryDir home;
};

TEST_F(MainWindowTest, OpenAPluginPutAParameterOnControlFiveAndSave)
{
    const QString path = logicFile(QStringLiteral("Demo Synth"));
    writePlist(path, {{mapping::kControlSurfaceParameterOrderKey, numberedParameters(1, 40)}});
    Editor editor(home.path());

    // Nothing is open yet: the panel shows "-", no page count, and its buttons are disabled.
    EXPECT_EQ(editor.text(QStringLiteral("labOCScreen_Title")), QStringLiteral("Please Select a plugin"));
    EXPECT_EQ(editor.window.windowTitle(), QStringLiteral("[*]")); // the system shows the application's name
    EXPECT_EQ(editor.text(QStringLiteral("ovControl5")), QStringLiteral("-"));
    EXPECT_TRUE(editor.text(QStringLiteral("lab_PageCurrentlyDisplayed")).isEmpty());
    for (const char *name : {"ovRotBtn5", "ovExportToPlist", "nextPageButton", "ovMovePage_First",
                             "ovRecallOriginalMapping", "ovCreateChart", "btnOpenInFinder"})
        EXPECT_FALSE(editor.find<QPushButton>(QString::fromLatin1(name))->isEnabled()) << name;
    EXPECT_FALSE(editor.find<QGroupBox>(QStringLiteral("ovPluginMode"))->isEnabled());
    EXPECT_TRUE(editor.find<QPushButton>(QStringLiteral("ovHelpMe"))->isEnabled());

    editor.clickRow(QStringLiteral("pluginTableView"), 0);

    EXPECT_EQ(editor.text(QStringLiteral("labOCScreen_Title")), QStringLiteral("Demo Synth (Logic)"));
    EXPECT_EQ(editor.window.windowTitle(), QStringLiteral("Demo Synth (Logic)[*]"));
    EXPECT_EQ(editor.text(QStringLiteral("labPluginPlistLocation")), path);
    EXPECT_EQ(editor.text(QStringLiteral("lab_PageCurrentlyDisplayed")), QStringLiteral("Page 1 of 2"));
    EXPECT_EQ(editor.text(QStringLiteral("labTotalPagesIndicator")), QStringLiteral("2 Pages"));
    EXPECT_EQ(editor.text(QStringLiteral("ovControl5")), QStringLiteral("Param 5"));
    EXPECT_EQ(editor.find<QLabel>(QStringLiteral("ovControl5"))->toolTip(), QStringLiteral("Param 5"));
    EXPECT_EQ(editor.text(QStringLiteral("mainTitle_Sub")), QStringLiteral("Logic Pro Insert/Effect Mapper"));
    EXPECT_TRUE(editor.find<QRadioButton>(QStringLiteral("ovPluginModeInsertEffect"))->isChecked());
    EXPECT_TRUE(editor.find<QPushButton>(QStringLiteral("ovRotBtn5"))->isEnabled());
    EXPECT_EQ(editor.selectedRow(QStringLiteral("tablePlistOfSelectedPlugin")), 0);
    EXPECT_EQ(editor.cell(QStringLiteral("tablePlistOfSelectedPlugin"), 0, 1), QStringLiteral("-"));

    editor.clickRow(QStringLiteral("tablePlistOfSelectedPlugin"), 12);
    EXPECT_EQ(editor.cell(QStringLiteral("tablePlistOfSelectedPlugin"), 12, 1), QStringLiteral("Param 12"));
    editor.click(QStringLiteral("ovRotBtn5"));

    EXPECT_EQ(editor.text(QStringLiteral("ovControl5")), QStringLiteral("Param 12"));
    EXPECT_EQ(editor.selectedRow(QStringLiteral("tablePlistOfSelectedPlugin")), 13);

    MessageBoxAnswerer answerer({QStringLiteral("OK")});
    editor.click(QStringLiteral("ovExportToPlist"));

    ASSERT_EQ(answerer.shown().size(), 1u);
    EXPECT_EQ(answerer.shown().at(0).text, QStringLiteral("New Mapping has been saved"));
    EXPECT_TRUE(answerer.shown().at(0).informativeText.endsWith(path + QStringLiteral(".prev")));
    EXPECT_EQ(answerer.shown().at(0).buttons, QStringList{QStringLiteral("OK")});
    const QStringList onDisk = mapping::controlSurfaceOrder(readPlist(path));
    ASSERT_EQ(onDisk.size(), 64);
    EXPECT_EQ(onDisk.at(4), QStringLiteral("12 Param 12"));
    EXPECT_EQ(onDisk.at(5), QStringLiteral("6 Param 6"));
    EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral(".original")));
    EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral(".prev")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor is gone after the work";
}

TEST_F(MainWindowTest, HelpShowsTheInstructionsInAWarningWithOneOkButton)
{
    Editor editor(home.path());
    MessageBoxAnswerer answerer({QStringLiteral("OK")});

    editor.click(QStringLiteral("ovHelpMe"));

    ASSERT_EQ(answerer.shown().size(), 1u);
    const ov::test::ShownMessageBox &shown = answerer.shown().at(0);
    EXPECT_EQ(shown.text, QStringLiteral("Brief instructions on use"));
    EXPECT_EQ(shown.informativeText, texts::kHelpText);
    EXPECT_TRUE(shown.informativeText.endsWith(QStringLiteral("\n\n\n\nMore in depth help to come later")));
    EXPECT_EQ(shown.buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(shown.icon, QMessageBox::Warning);
}

TEST_F(MainWindowTest, AlertsShowParameterNamesAsTheyAreNotAsMarkup)
{
    Editor editor(home.path());
    MessageBoxAnswerer answerer({QStringLiteral("OK")});
    QLabel *informative = nullptr;
    QTimer::singleShot(0, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            informative = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"));
        if (informative) {
            EXPECT_EQ(informative->textFormat(), Qt::PlainText);
        }
    });

    editor.controller.alertUser(QStringLiteral("<b>Cut</b>"), QStringLiteral("<i>Res</i> & Drive"));

    ASSERT_EQ(answerer.shown().size(), 1u);
    EXPECT_NE(informative, nullptr);
}

TEST_F(MainWindowTest, AClickBelowThePluginRowsDoesNothing)
{
    writePlist(logicFile(QStringLiteral("Demo Synth")), {{mapping::kControlSurfaceParameterOrderKey, {"1 A"}}});
    Editor editor(home.path());
    QTableView *table = editor.find<QTableView>(QStringLiteral("pluginTableView"));
    const QRect lastRow = table->visualRect(table->model()->index(0, 0));
    ASSERT_LT(lastRow.bottom() + 30, table->viewport()->height());

    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, QPoint(lastRow.center().x(), lastRow.bottom() + 20));

    EXPECT_EQ(editor.text(QStringLiteral("labOCScreen_Title")), QStringLiteral("Please Select a plugin"));
    EXPECT_EQ(editor.state.totalPages, 0);
}

TEST_F(MainWindowTest, AssignmentsFollowTheListAsSortedAndFiltered)
{
    writePlist(logicFile(QStringLiteral("Demo Synth")),
               {{mapping::kControlSurfaceParameterOrderKey,
                 {"3 Resonance", "10 Cutoff", "2 Attack", "21 Output Volume", "4 Cutoff Env"}}});
    Editor editor(home.path());
    editor.clickRow(QStringLiteral("pluginTableView"), 0);
    const QString parameters = QStringLiteral("tablePlistOfSelectedPlugin");

    // Sorted by name: the empty entry stays on top, then Attack.
    QHeaderView *header = editor.find<QTableView>(parameters)->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
    EXPECT_EQ(editor.cell(parameters, 0, 1), QStringLiteral("-"));
    EXPECT_EQ(editor.cell(parameters, 1, 1), QStringLiteral("Attack"));
    editor.clickRow(parameters, 1);
    editor.click(QStringLiteral("ovRotBtn1"));
    EXPECT_EQ(editor.text(QStringLiteral("ovControl1")), QStringLiteral("Attack"));
    EXPECT_EQ(editor.cell(parameters, editor.selectedRow(parameters), 1), QStringLiteral("Cutoff"));
    editor.click(QStringLiteral("ovRotBtn2"));
    EXPECT_EQ(editor.text(QStringLiteral("ovControl2")), QStringLiteral("Cutoff"));

    // Sorted by number the other way round, numbers by value.
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 10, header->height() / 2));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 10, header->height() / 2));
    EXPECT_EQ(editor.cell(parameters, 0, 1), QStringLiteral("-"));
    EXPECT_EQ(editor.cell(parameters, 1, 0), QStringLiteral("21"));
    EXPECT_EQ(editor.cell(parameters, 2, 0), QStringLiteral("10"));

    // Filtered by the search field.
    QTest::keyClicks(editor.find<QLineEdit>(QStringLiteral("parameterSearchField")), QStringLiteral("cut"));
    ASSERT_EQ(editor.find<QTableView>(parameters)->model()->rowCount(), 3);
    editor.clickRow(parameters, 2);
    const QString chosen = editor.cell(parameters, 2, 1);
    editor.click(QStringLiteral("ovRotBtn3"));
    EXPECT_EQ(editor.text(QStringLiteral("ovControl3")), chosen);
    EXPECT_EQ(editor.selectedRow(parameters), 2) << "the last row keeps the selection";
}

TEST_F(MainWindowTest, TheModeRadioGroupReloadsInTheChosenMode)
{
    writePlist(logicFile(QStringLiteral("Demo Synth")), {{mapping::kControlSurfaceParameterOrderKey, {"1 Cutoff"}}});
    Editor editor(home.path());
    editor.clickRow(QStringLiteral("pluginTableView"), 0);
    ASSERT_EQ(editor.state.plugin_Mode, 0);

    QTest::mouseClick(editor.find<QRadioButton>(QStringLiteral("ovPluginModeInstrument")), Qt::LeftButton);

    EXPECT_EQ(editor.state.plugin_Mode, 1);
    EXPECT_EQ(editor.text(QStringLiteral("mainTitle_Sub")), QStringLiteral("Logic Pro Instrument Mapper"));
    EXPECT_EQ(editor.text(QStringLiteral("labelHelperDisplay")),
              QStringLiteral("Editing Demo Synth using Instrument Mode"));
}

TEST_F(MainWindowTest, TheOpenPluginStaysTheSelectionWhileTheKeyboardMovesThroughTheList)
{
    writePlist(logicFile(QStringLiteral("A Synth")), {{mapping::kControlSurfaceParameterOrderKey, {"1 Cutoff"}}});
    writePlist(logicFile(QStringLiteral("B Delay")), {{mapping::kControlSurfaceParameterOrderKey, {"1 Time"}}});
    Editor editor(home.path());
    editor.clickRow(QStringLiteral("pluginTableView"), 0);
    QTableView *plugins = editor.find<QTableView>(QStringLiteral("pluginTableView"));

    QTest::keyClick(plugins, Qt::Key_Down);
    ASSERT_EQ(editor.selectedRow(QStringLiteral("pluginTableView")), 1);
    EXPECT_EQ(editor.window.selectedPlugin()->Plugin, QStringLiteral("A Synth")) << "moving is not choosing";
    EXPECT_EQ(editor.text(QStringLiteral("labOCScreen_Title")), QStringLiteral("A Synth (Logic)"));

    QTest::keyClick(plugins, Qt::Key_Return);
    EXPECT_EQ(editor.text(QStringLiteral("labOCScreen_Title")), QStringLiteral("B Delay (Logic)"));
    EXPECT_EQ(editor.window.selectedPlugin()->Plugin, QStringLiteral("B Delay"));
}

TEST_F(MainWindowTest, AClickOnAControlsNameBoxAssignsAsOneOnItsKnob)
{
    writePlist(logicFile(QStringLiteral("Demo Synth")),
               {{mapping::kControlSurfaceParameterOrderKey, numberedParameters(1, 20)}});
    Editor editor(home.path());
    editor.clickRow(QStringLiteral("pluginTableView"), 0);
    editor.clickRow(QStringLiteral("tablePlistOfSelectedPlugin"), 12);

    QTest::mouseClick(editor.find<QLabel>(QStringLiteral("ovControl6")), Qt::LeftButton);

    EXPECT_EQ(editor.text(QStringLiteral("ovControl6")), QStringLiteral("Param 12"));
    EXPECT_EQ(editor.selectedRow(QStringLiteral("tablePlistOfSelectedPlugin")), 13);
}

TEST_F(MainWindowTest, OpeningAnotherPluginClearsTheSearch)
{
    writePlist(logicFile(QStringLiteral("A Synth")),
               {{mapping::kControlSurfaceParameterOrderKey, numberedParameters(1, 20)}});
    writePlist(logicFile(QStringLiteral("B Synth")),
               {{mapping::kControlSurfaceParameterOrderKey, numberedParameters(1, 20)}});
    Editor editor(home.path());
    editor.clickRow(QStringLiteral("pluginTableView"), 0);
    auto *search = editor.find<QLineEdit>(QStringLiteral("parameterSearchField"));
    QTest::keyClicks(search, QStringLiteral("Param 17"));
    ASSERT_EQ(editor.find<QTableView>(QStringLiteral("tablePlistOfSelectedPlugin"))->model()->rowCount(), 2);

    editor.clickRow(QStringLiteral("pluginTableView"), 1);

    EXPECT_EQ(editor.text(QStringLiteral("labOCScreen_Title")), QStringLiteral("B Synth (Logic)"));
    EXPECT_TRUE(search->text().isEmpty());
    EXPECT_EQ(editor.find<QTableView>(QStringLiteral("tablePlistOfSelectedPlugin"))->model()->rowCount(), 21);
}

TEST_F(MainWindowTest, TheKeyboardReachesTheSearchAndEveryPageCommand)
{
    writePlist(logicFile(QStringLiteral("Demo Synth")),
               {{mapping::kControlSurfaceParameterOrderKey, numberedParameters(1, 40)}});
    Editor editor(home.path());
    editor.clickRow(QStringLiteral("pluginTableView"), 0);
    editor.window.activateWindow();
    editor.find<QTableView>(QStringLiteral("pluginTableView"))->setFocus();
    const auto action = [&](const char *name) { return editor.find<QAction>(QString::fromLatin1(name)); };
    EXPECT_FALSE(action("actionPrevPage")->isEnabled()) << "follows its button";

    QTest::keyClick(&editor.window, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(editor.text(QStringLiteral("lab_PageCurrentlyDisplayed")), QStringLiteral("Page 2 of 2"));
    EXPECT_FALSE(action("actionNextPage")->isEnabled());
    EXPECT_FALSE(editor.find<QPushButton>(QStringLiteral("lastPageButton"))->isEnabled());
    action("actionNewPage")->trigger();
    EXPECT_EQ(editor.text(QStringLiteral("lab_PageCurrentlyDisplayed")), QStringLiteral("Page 3 of 3"));
    QTest::keyClick(&editor.window, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(editor.text(QStringLiteral("lab_PageCurrentlyDisplayed")), QStringLiteral("Page 1 of 3"));

    QTest::keySequence(&editor.window, QKeySequence::Find);
    EXPECT_TRUE(editor.find<QLineEdit>(QStringLiteral("parameterSearchField"))->hasFocus());
}

// Logic's own files hold parameters without a name: their number tells them from an empty control.
TEST_F(MainWindowTest, EachControlShowsItsParametersNumberAndNamesItForScreenReaders)
{
    ASSERT_NO_FATAL_FAILURE(writeDemoHome());
    Editor editor(home.path());
    openRetroSynth(editor);
    const auto strip = [&](int c) { return editor.find<qt::ElidingLabel>(QStringLiteral("ovControl%1").arg(c)); };
    const auto knob = [&](int c) { return editor.find<QPushButton>(QStringLiteral("ovRotBtn%1").arg(c)); };

    EXPECT_EQ(strip(1)->text(), QStringLiteral("Oscillator Type"));
    EXPECT_EQ(strip(1)->detail(), QStringLiteral("201"));
    EXPECT_EQ(strip(2)->text(), QString()) << "the name stays as Logic wrote it";
    EXPECT_EQ(strip(2)->detail(), QStringLiteral("301"));
    EXPECT_EQ(knob(5)->accessibleName(), QStringLiteral("Control 5"));
    EXPECT_EQ(knob(1)->accessibleDescription(), QStringLiteral("Oscillator Type 201"));
    EXPECT_EQ(knob(2)->accessibleDescription(), QStringLiteral("301"));
    // A drag from the list shows the parameter's name, or its number when it has none.
    auto *list = editor.find<qt::ParameterTable>(QStringLiteral("tablePlistOfSelectedPlugin"));
    EXPECT_EQ(list->dragText(1), QStringLiteral("Oscillator Type"));
    EXPECT_EQ(list->dragText(2), QStringLiteral("301"));

    // The description follows the parameter; an empty control shows no number.
    editor.clickRow(QStringLiteral("tablePlistOfSelectedPlugin"), 0);
    editor.click(QStringLiteral("ovRotBtn1"));
    EXPECT_EQ(strip(1)->detail(), QString());
    EXPECT_EQ(knob(1)->accessibleDescription(), QStringLiteral("-"));
}

// Opens the demo's Retro Synth and keeps a picture of the window. OV_SCREENSHOT_DIR names the
// folder for the picture (docs/ for the README); without it the picture goes beside the test.
TEST_F(MainWindowTest, ScreenshotWithAPluginOpen)
{
    ASSERT_NO_FATAL_FAILURE(writeDemoHome());
    Editor editor(home.path());
    resizeWindow(editor, {1280, 900});
    openRetroSynth(editor);
    editor.clickRow(QStringLiteral("tablePlistOfSelectedPlugin"), 7);
    QTest::qWait(50);

    EXPECT_EQ(editor.text(QStringLiteral("labOCScreen_Title")), QStringLiteral("Retro Synth (Logic)"));
    EXPECT_EQ(editor.state.plugin_Mode, 1) << "Retro Synth has an Output Volume";
    // Nothing clipped: the window holds its layout, and every control shows a readable strip.
    EXPECT_LE(editor.window.minimumSizeHint().width(), editor.window.width());
    EXPECT_LE(editor.window.minimumSizeHint().height(), editor.window.height());
    for (int c = 1; c <= 32; ++c) {
        auto *label = editor.find<qt::ElidingLabel>(QStringLiteral("ovControl%1").arg(c));
        EXPECT_TRUE(label->isVisible());
        EXPECT_GE(label->width(), 80) << c;
        EXPECT_GE(label->height(), 2 * label->fontMetrics().lineSpacing()) << c;
    }

    const QString folder = qEnvironmentVariableIsEmpty("OV_SCREENSHOT_DIR") ? QStringLiteral(OV_BINARY_DIR)
                                                                            : qEnvironmentVariable("OV_SCREENSHOT_DIR");
    QDir().mkpath(folder);
    EXPECT_TRUE(editor.window.grab().save(QDir(folder).filePath(QStringLiteral("main-window.png"))));
    // And as a 13-inch laptop shows it.
    resizeWindow(editor, {1280, 800});
    EXPECT_TRUE(editor.window.grab().save(QDir(folder).filePath(QStringLiteral("main-window-1280x800.png"))));
}

// The part of `widget` that its window shows: its rectangle as every widget it lies in clips it.
QRect shownRect(const QWidget *widget)
{
    QRect shown(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
    for (const QWidget *outer = widget->parentWidget(); outer; outer = outer->parentWidget())
        shown &= QRect(outer->isWindow() ? QPoint(0, 0) : outer->mapTo(outer->window(), QPoint(0, 0)), outer->size());
    return shown;
}

TEST_F(MainWindowTest, EveryControlAndButtonIsWhollyShownAt1200By680)
{
    ASSERT_NO_FATAL_FAILURE(writeDemoHome());
    Editor editor(home.path());
    openRetroSynth(editor);
    resizeWindow(editor, {1200, 680});
    ASSERT_EQ(editor.window.size(), QSize(1200, 680)) << "the window's minimum size is larger";

    int checked = 0;
    for (const QAbstractButton *button : editor.window.findChildren<QAbstractButton *>()) {
        if (!button->isVisibleTo(&editor.window) || button->size().isEmpty())
            continue;
        const QRect whole(button->mapTo(&editor.window, QPoint(0, 0)), button->size());
        EXPECT_EQ(shownRect(button), whole)
            << button->objectName().toStdString() << " " << button->text().toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 32 + 22);
    for (int c = 1; c <= 32; ++c) {
        const auto *strip = editor.find<qt::ElidingLabel>(QStringLiteral("ovControl%1").arg(c));
        EXPECT_EQ(shownRect(strip), QRect(strip->mapTo(&editor.window, QPoint(0, 0)), strip->size())) << c;
        EXPECT_GE(strip->height(), strip->minimumSizeHint().height()) << c;
    }
    // The lists gave way, but still show rows to choose from, and the names have the room.
    auto *parameters = editor.find<QTableView>(QStringLiteral("tablePlistOfSelectedPlugin"));
    EXPECT_GE(parameters->viewport()->height(), 100);
    EXPECT_GT(parameters->columnWidth(qt::ParameterListModel::ParameterColumn),
              2 * parameters->columnWidth(qt::ParameterListModel::MappedColumn));
}

// The WCAG 2 contrast ratio of two opaque colours.
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    return (std::max(luminance(a), luminance(b)) + 0.05) / (std::min(luminance(a), luminance(b)) + 0.05);
}

TEST_F(MainWindowTest, TheNumbersAreReadableTheListHasRoomAndEveryCommandSaysWhatItDoes)
{
    ASSERT_NO_FATAL_FAILURE(writeDemoHome());
    Editor editor(home.path());
    openRetroSynth(editor);
    auto *strip = editor.find<qt::ElidingLabel>(QStringLiteral("ovControl1"));
    editor.window.setControlChanged(1, QStringLiteral("Was: -")); // the lighter of the two strips
    const QColor number =
        qt::ElidingLabel::detailColor(strip->palette().color(QPalette::WindowText), strip->stripColor());
    EXPECT_GE(contrast(number, strip->stripColor()), 4.5);
    const QPalette changed = editor.find<QLabel>(QStringLiteral("labChangedPages"))->palette();
    EXPECT_GE(contrast(changed.color(QPalette::WindowText), changed.color(QPalette::Window)), 4.5);

    resizeWindow(editor, {1280, 760}); // a 1280 x 800 screen less the menu and title bars
    auto *parameters = editor.find<QTableView>(QStringLiteral("tablePlistOfSelectedPlugin"));
    EXPECT_GE(parameters->viewport()->height() / parameters->verticalHeader()->defaultSectionSize(), 12);
    EXPECT_TRUE(editor.window.minimumSizeHint().boundedTo({1200, 680}) == editor.window.minimumSizeHint());

    // Every button and command says what it does (Qt's own buttons have no name or qt_...).
    for (const QAbstractButton *button : editor.window.findChildren<QAbstractButton *>())
        EXPECT_TRUE(button->objectName().isEmpty() || button->objectName().startsWith(QStringLiteral("qt_"))
                    || !button->toolTip().isEmpty())
            << button->objectName().toStdString();
    for (const QAction *action : editor.window.findChildren<QAction *>())
        EXPECT_TRUE(!action->objectName().startsWith(QStringLiteral("action"))
                    || action->objectName().startsWith(QStringLiteral("actionShowChanges"))
                    || action->toolTip() != action->text())
            << action->objectName().toStdString();
    EXPECT_TRUE(editor.find<QAction>(QStringLiteral("actionGoToPage"))->toolTip().endsWith(QStringLiteral("(Ctrl+G)")));
}

TEST(ElidingLabel, NamesBreakBetweenWordsOrAtASoftHyphenAndAreCutOnlyWhenTooLong)
{
    const QFontMetrics metrics{QFont()};
    const int width = metrics.horizontalAdvance(QStringLiteral("überhöhung")) + 2;
    const auto cut = [&](const char *text) { return metrics.elidedText(text, Qt::ElideRight, width); };
    const std::pair<QString, QStringList> cases[] = {
        {QStringLiteral("Aftertouch Modulation"), {"Aftertouch", "Modulation"}},
        {QStringLiteral("Resonanz\u00ADüberhöhung"), {"Resonanz-", "überhöhung"}},
        {QStringLiteral("Resonanzüberhöhung"), {cut("Resonanzüberhöhung")}}, // not broken inside: cut
        {QStringLiteral("Glide Autobend Amount Range"), {"Glide", cut("Autobend Amount Range")}},
    };
    for (const auto &[name, lines] : cases)
        EXPECT_EQ(qt::ElidingLabel::visibleLines(name, QFont(), width, 2, Qt::ElideRight), lines) << name.toStdString();
}

} // namespace
} // namespace ov::ui::test
