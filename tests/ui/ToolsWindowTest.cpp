// The window with ticks, and the panel's marks for misfits and display names, under the offscreen
// platform.

#include "TestFiles.h"
#include "WindowFixture.h"

#include "mapping/ParameterOrderFile.h"
#include "support/DrawnColors.h"
#include "ui/qt/ElidingLabel.h"
#include "ui/qt/TickListWindow.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace ov::ui::test {
namespace {

TEST(TickListWindowTest, FiltersByTypeAndNameTicksWhatIsShownAndGoesOnWithIt)
{
    const View::TickList list{
        QStringLiteral("Title"),
        QStringLiteral("Why"),
        QStringLiteral("Detail"),
        QStringLiteral("Go"),
        {{QStringLiteral("Alchemy"), QStringLiteral("Logic"), QStringLiteral("3 of 4"), true},
         {QStringLiteral("Echo"), QStringLiteral("Presets"), QStringLiteral("1 of 4"), false},
         {QStringLiteral("Retro Synth"), QStringLiteral("Logic"), QStringLiteral("0 of 4"), false}}};
    qt::TickListWindow window(list);
    EXPECT_EQ(window.tickedRows(), QVector<int>{0});

    auto *type = window.findChild<QComboBox *>(QStringLiteral("typeFilter"));
    auto *name = window.findChild<QLineEdit *>(QStringLiteral("nameFilter"));
    auto *all = window.findChild<QPushButton *>(QStringLiteral("selectAll"));
    auto *none = window.findChild<QPushButton *>(QStringLiteral("selectNone"));
    ASSERT_TRUE(type && name && all && none);
    const struct {
        const char *type;
        const char *name;
        QPushButton *button;
        QVector<int> ticked;
    } steps[] = {
        {"Logic", "", all, {0, 2}},     {"All types", "", nullptr, {0, 2}}, {"All types", "", all, {0, 1, 2}},
        {"All types", "SYN", none, {}}, {"All types", "", nullptr, {0, 1}}, // what the name filter hid kept its tick
        {"Presets", "", nullptr, {1}},                                      // a hidden row is not acted on
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(std::string(step.type) + "/" + step.name);
        type->setCurrentText(QString::fromLatin1(step.type));
        name->setText(QString::fromLatin1(step.name));
        if (step.button)
            step.button->click();
        EXPECT_EQ(window.tickedRows(), step.ticked);
    }
}

TEST(ToolsPanelTest, MisfitsAndEqualCutNamesAreMarkedOnThePanelWithTheirLines)
{
    QTemporaryDir home;
    writePlist(
        logicFile(home.path(), QStringLiteral("Demo Synth")),
        {{mapping::kControlSurfaceParameterOrderKey, {"1 Cutoff Frequency", "2 Cutoff Resonance", "9 Gone", "3 Level"}},
         {mapping::kStoreCSUniqueKey, {"1 Cutoff Frequency", "2 Cutoff Resonance", "3 Level"}}});
    Editor editor(home.path());
    editor.clickRow(QStringLiteral("pluginTableView"), 0);
    const auto strip = [&](int n) { return editor.find<qt::ElidingLabel>(QStringLiteral("ovControl%1").arg(n)); };
    const QColor unmarked = leftEdgeColor(strip(4));
    const QColor misfit = leftEdgeColor(strip(3));
    EXPECT_NE(misfit, unmarked);
    EXPECT_EQ(strip(3)->toolTip(), QStringLiteral("Gone\n\"9 Gone\" is not a parameter of this plugin"));
    EXPECT_EQ(leftEdgeColor(strip(1)), unmarked);

    QAction *seven = editor.find<QAction>(QStringLiteral("actionDisplayWidth7"));
    ASSERT_TRUE(seven);
    EXPECT_EQ(seven->text(), QStringLiteral("First 7 Characters"));
    seven->trigger();
    EXPECT_TRUE(seven->isChecked());
    EXPECT_EQ(strip(1)->detail(), QStringLiteral("1  [Cutoff ]"));
    EXPECT_EQ(strip(4)->detail(), QStringLiteral("3  [Level]"));
    const QColor clash = leftEdgeColor(strip(1));
    EXPECT_NE(clash, unmarked);
    EXPECT_NE(clash, misfit);
    EXPECT_EQ(leftEdgeColor(strip(4)), unmarked);
    EXPECT_TRUE(strip(2)->toolTip().endsWith(QStringLiteral("Shows the same as control 1")));

    editor.find<QAction>(QStringLiteral("actionDisplayWidth0"))->trigger();
    EXPECT_EQ(strip(1)->detail(), QStringLiteral("1"));
    EXPECT_EQ(leftEdgeColor(strip(1)), unmarked);
}

} // namespace
} // namespace ov::ui::test
