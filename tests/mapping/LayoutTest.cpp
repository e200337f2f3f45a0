// Layouts: one arrangement of names kept in a file and put on other plug-ins.
#include "mapping/Layout.h"

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
