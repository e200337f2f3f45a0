// Layouts: one arrangement of names kept in a file and put on other plug-ins.
#include "mapping/Layout.h"
#include "mapping/LayoutApply.h"
#include "mapping/ParameterOrderFile.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace ov::mapping {
namespace {

ParameterEntry entry(const char *text)
{
    return splitEntryString(QString::fromUtf8(text));
}

TEST(Layout, KeepsAMappingsNamesAndPutsThemOnAnotherPlugin)
{
    MappingTable table{QVector<ParameterEntry>(2 * kControlsPerPage, entry("-1")), 1, 2};
    table.plistBuild[0] = entry("1 Cutoff");
    table.plistBuild[1] = entry("301 ");
    table.plistBuild[kControlsPerPage + 4] = entry("9 Glide");
    Layout layout = layoutOf(QStringLiteral("Synths"), table);
    layout.controls[0].names = QStringList{QStringLiteral("Cutoff"), QStringLiteral("Frequency")};

    QTemporaryDir folder;
    QString error;
    ASSERT_TRUE(saveLayout(folder.path(), layout, &error)) << error.toStdString();
    const QVector<Layout> kept = listLayouts(folder.path());
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept[0], layout);

    // The other plug-in calls the cutoff "frequency" and has no glide.
    const QVector<ParameterEntry> other{entry("-1"), entry("4 FREQUENCY"), entry("5 frequency"), entry("301 ")};
    const LayoutFit fit = fitLayout(kept[0], other);
    EXPECT_EQ(fit.matched, 2);
    EXPECT_EQ(fit.unmatched, QStringList{QStringLiteral("Glide")});
    ASSERT_EQ(fit.table.size(), 2 * kControlsPerPage);
    EXPECT_EQ(entryString(fit.table[0]), QStringLiteral("4 FREQUENCY"));
    EXPECT_EQ(entryString(fit.table[1]), QStringLiteral("301 "));
    EXPECT_EQ(entryString(fit.table[kControlsPerPage + 4]), QStringLiteral("-1"));
}

// A layout put on a plug-in's file: a dry run writes nothing, a real one saves with a backup, and a
// layout that matches nothing or a file that is no mapping is reported and left as it was.
TEST(Layout, AppliedToAFileSavesItWithBackupsOrSaysWhyNot)
{
    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("Echo/CSParameterOrder.plist"));
    const QByteArray before =
        ov::test::xmlPlist(ov::test::stringArrayXml("ControlSurfaceParameterOrder", {"5 Time", "6 Feedback"}));
    ov::test::writeFile(path, before);
    const Layout feedback{QStringLiteral("L"), 1, {{1, 3, {QStringLiteral("Mix"), QStringLiteral("feedback")}, {}}}};
    const Layout nothing{QStringLiteral("N"), 1, {{1, 1, {QStringLiteral("Mix")}, {}}}};

    const LayoutApplied dry = applyLayoutToFile(feedback, path, true);
    EXPECT_EQ(dry.matched, 1);
    EXPECT_FALSE(dry.saved);
    EXPECT_EQ(ov::test::readFile(path), before);

    const LayoutApplied none = applyLayoutToFile(nothing, path, false);
    EXPECT_FALSE(none.saved);
    EXPECT_FALSE(none.failure.isEmpty());
    EXPECT_EQ(ov::test::readFile(path), before);

    const LayoutApplied saved = applyLayoutToFile(feedback, path, false);
    ASSERT_TRUE(saved.saved) << saved.failure.toStdString();
    EXPECT_EQ(ov::test::readFile(path + QStringLiteral(".prev")), before);
    const TableRead read = readMappingTable(path);
    ASSERT_TRUE(read.table);
    EXPECT_EQ(entryString(read.table->at(2)), QStringLiteral("6 Feedback"));
    EXPECT_EQ(entryString(read.table->at(0)), QStringLiteral("-1"));
    EXPECT_TRUE(applyLayoutToFile(feedback, path, false).saved);
    EXPECT_EQ(ov::test::readFile(path + QStringLiteral(".prev")), before) << "a second time writes nothing";

    const QString broken = home.filePath(QStringLiteral("Broken/CSParameterOrder.plist"));
    ov::test::writeFile(broken, "not a plist");
    const LayoutApplied failed = applyLayoutToFile(feedback, broken, false);
    EXPECT_FALSE(failed.saved);
    EXPECT_FALSE(failed.failure.isEmpty());
    EXPECT_EQ(ov::test::readFile(broken), QByteArray("not a plist"));
}

TEST(Layout, AFileThatIsNotALayoutSaysWhy)
{
    const struct {
        const char *json;
        const char *why;
    } cases[] = {
        {"<plist/>", "not a layout: "},
        {R"({"format": "something else", "version": 1, "name": "x", "pages": 1})", "no \"format\""},
        {R"({"format": "ovCorvanta layout", "version": 2, "name": "x", "pages": 1})", "version 2"},
        {R"({"format": "ovCorvanta layout", "version": 1, "name": "x", "pages": 1,
             "controls": [{"page": 2, "control": 1, "names": ["Cutoff"]}]})",
         "outside pages 1 to 1"},
        {R"({"format": "ovCorvanta layout", "version": 1, "name": "x", "pages": 1,
             "controls": [{"page": 1, "control": 33, "names": ["Cutoff"]}]})",
         "controls 1 to 32"},
        {R"({"format": "ovCorvanta layout", "version": 1, "name": "x", "pages": 1,
             "controls": [{"page": 1, "control": 3, "names": [" "]}]})",
         "page 1, control 3 has neither names nor a number"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.json);
        QString error;
        EXPECT_FALSE(parseLayout(QByteArray(c.json), &error));
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.why))) << error.toStdString();
    }
}

} // namespace
} // namespace ov::mapping
