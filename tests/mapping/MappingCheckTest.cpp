// A mapping checked against the plug-in's own parameters, and names cut as a hardware display
// shows them.
#include "mapping/DisplayNames.h"
#include "mapping/MappingCheck.h"

#include <gtest/gtest.h>

namespace ov::mapping {
namespace {

ParameterEntry entry(const char *text)
{
    return splitEntryString(QString::fromUtf8(text));
}

QVector<ParameterEntry> entries(std::initializer_list<const char *> texts)
{
    QVector<ParameterEntry> list;
    for (const char *text : texts)
        list.append(entry(text));
    return list;
}

const QVector<ParameterEntry> kSynth = entries({"-1", "1 Cutoff", "2 Resonance", "301 ", "12 Filter Env"});

TEST(MappingCheck, FindsWhatThePluginLacksOrNamesOtherwiseAndRepairsItByName)
{
    struct Case {
        const char *name;
        const char *held;        // the control's entry
        const char *description; // empty: it fits
        const char *repaired;    // what Repair Mapping leaves on it
    };
    const Case cases[] = {
        {"a parameter of the plug-in", "2 Resonance", "", "2 Resonance"},
        {"an empty control", "-1", "", "-1"},
        {"a nameless parameter it has", "301 ", "", "301 "},
        {"a number it lacks, a name it has", "7 Cutoff",
         "Page 1, control 1: \"7 Cutoff\" is not a parameter of this plugin", "1 Cutoff"},
        {"renumbered", "1 Filter Env",
         "Page 1, control 1: parameter 1 is \"Cutoff\" in this plugin, not \"Filter Env\"", "12 Filter Env"},
        {"renamed only in capitals", "2 resonance",
         "Page 1, control 1: parameter 2 is \"Resonance\" in this plugin, not \"resonance\"", "2 Resonance"},
        {"a name it does not have", "999 Nonexistent",
         "Page 1, control 1: \"999 Nonexistent\" is not a parameter of this plugin", "-1"},
        {"a nameless number it lacks", "302 ", "Page 1, control 1: \"302 \" is not a parameter of this plugin", "-1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        MappingTable table{QVector<ParameterEntry>(kControlsPerPage, entry("-1")), 1, 1};
        table.plistBuild[0] = entry(c.held);
        const QVector<Misfit> misfits = findMisfits(table.plistBuild, kSynth);
        ASSERT_EQ(misfits.size(), *c.description ? 1 : 0);
        if (*c.description) {
            EXPECT_EQ(misfits.first().description(), QString::fromUtf8(c.description));
        }
        const RepairResult repair = repairMisfits(table, kSynth);
        EXPECT_EQ(entryString(table.plistBuild[0]), entryString(entry(c.repaired)));
        EXPECT_TRUE(findMisfits(table.plistBuild, kSynth).isEmpty());
        EXPECT_EQ(repair.moved + repair.emptied, misfits.size());
    }
}

TEST(DisplayNames, CutsAsAReaderCountsAndMarksControlsThatLookAlike)
{
    EXPECT_EQ(cutName(QStringLiteral("Filter Cutoff"), 6), QStringLiteral("Filter"));
    EXPECT_EQ(cutName(QStringLiteral("Cut"), 6), QStringLiteral("Cut"));
    // Combining accents and characters beyond the basic plane count as one each.
    EXPECT_EQ(cutName(QStringLiteral("Re\u0301sonance"), 3), QStringLiteral("Re\u0301s"));
    EXPECT_EQ(cutName(QString::fromUtf8("\xF0\x9F\x8E\xB9\xF0\x9F\x8E\xB8 Keys"), 2),
              QString::fromUtf8("\xF0\x9F\x8E\xB9\xF0\x9F\x8E\xB8"));
    EXPECT_EQ(cutName(QStringLiteral("残響時間の長さ"), 6), QStringLiteral("残響時間の長"));

    QVector<ParameterEntry> table(2 * kControlsPerPage, entry("-1"));
    table[0] = entry("1 Filter Cutoff");
    table[3] = entry("2 Filter Resonance");
    table[5] = entry("3 Filter Env");
    table[6] = entry("4 Osc Pitch");
    table[7] = entry("301 ");
    table[8] = entry("302 ");
    table[kControlsPerPage + 1] = entry("5 Filter Drive"); // on page 2: no clash with page 1
    const QVector<NameClash> clashes = nameClashes(table, 1, 6);
    ASSERT_EQ(clashes.size(), 3);
    EXPECT_EQ(clashes[0].control, 1);
    EXPECT_EQ(clashes[0].shown, QStringLiteral("Filter"));
    EXPECT_EQ(clashes[0].others, (QVector<int>{4, 6}));
    EXPECT_EQ(clashes[2].control, 6);
    EXPECT_EQ(clashes[2].others, (QVector<int>{1, 4}));
    EXPECT_TRUE(nameClashes(table, 1, 10).isEmpty());
    EXPECT_TRUE(nameClashes(table, 2, 6).isEmpty());
}

} // namespace
} // namespace ov::mapping
