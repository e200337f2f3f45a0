#include "mapping/ParameterOrderFile.h"
#include "support/TestFiles.h"
#include "support/Printers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ov::mapping;
using ov::test::stringArrayXml;
using ov::test::xmlPlist;

namespace {

PlistDocument parse(const QByteArray &bytes)
{
    PlistRead read = PlistDocument::parse(bytes);
    EXPECT_EQ(read.status, PlistReadStatus::Ok);
    return std::move(read.document);
}

LoadedMapping load(const QString &body, int checkMode = 1, int currentMode = 0)
{
    return loadMapping(parse(xmlPlist(body)), checkMode, currentMode);
}

QString order(const QStringList &values)
{
    return stringArrayXml(QStringLiteral("ControlSurfaceParameterOrder"), values);
}

QString unique(const QStringList &values)
{
    return stringArrayXml(QStringLiteral("StoreCSUnique"), values);
}

QString mode(const QString &valueXml)
{
    return QStringLiteral("<key>OravelCSMode</key><array>%1</array>").arg(valueXml);
}

} // namespace

TEST(EntryString, SplitsAtTheFirstBlankWithoutTrimming)
{
    EXPECT_EQ(splitEntryString("7 Cutoff Freq"), (ParameterEntry{"7", "Cutoff Freq", 0, 0}));
    EXPECT_EQ(splitEntryString(" x"), (ParameterEntry{"", "x", 0, 0}));
    EXPECT_EQ(splitEntryString("3 "), (ParameterEntry{"3", "", 0, 0}));
    EXPECT_EQ(splitEntryString("12  two  blanks "), (ParameterEntry{"12", " two  blanks ", 0, 0}));
    // No blank at all is the empty slot.
    EXPECT_EQ(splitEntryString("-1"), (ParameterEntry{"0", "-", 0, 0}));
    EXPECT_EQ(splitEntryString("12"), (ParameterEntry{"0", "-", 0, 0}));
    EXPECT_EQ(splitEntryString(""), (ParameterEntry{"0", "-", 0, 0}));
    // A tab is not the separator.
    EXPECT_EQ(splitEntryString("4\tTab"), (ParameterEntry{"0", "-", 0, 0}));
}

TEST(EntryString, WritesBackAsNumberBlankNameOrMinusOne)
{
    EXPECT_EQ(entryString({"12", "Filter Cutoff", 1, 0}), "12 Filter Cutoff");
    EXPECT_EQ(entryString({"3", "", 1, 0}), "3 ");
    EXPECT_EQ(entryString({"", "x", 1, 0}), " x");
    // Only the name decides emptiness.
    EXPECT_EQ(entryString({"99", "-", 1, 0}), "-1");
    EXPECT_EQ(entryString({"0", "-", 1, 0}), "-1");
    for (const QString s : {"7 Cutoff Freq", " x", "3 ", "1  a b "})
        EXPECT_EQ(entryString(splitEntryString(s)), s);
}

TEST(Loading, PadsTheTableToWholePagesAndNumbersSlots)
{
    QStringList slotStrings;
    for (int i = 0; i < 33; ++i)
        slotStrings << QStringLiteral("%1 P%1").arg(i);
    const LoadedMapping loaded = load(order(slotStrings));
    ASSERT_EQ(loaded.totalPages, 2);
    ASSERT_EQ(loaded.plistBuild.size(), 64);
    EXPECT_EQ(loaded.plistBuild[32], (ParameterEntry{"32", "P32", 2, 32}));
    EXPECT_EQ(loaded.plistBuild[33], (ParameterEntry{"0", "-", 2, 33}));
    EXPECT_EQ(loaded.plistBuild[63], (ParameterEntry{"0", "-", 2, 63}));
    EXPECT_EQ(loaded.plistBuild[31].OravelPage, 1);

    slotStrings = slotStrings.mid(0, 32);
    EXPECT_EQ(load(order(slotStrings)).plistBuild.size(), 32);
    EXPECT_EQ(load(order(slotStrings)).totalPages, 1);
}

TEST(Loading, EmptySlotsKeepTheirPlace)
{
    const LoadedMapping loaded = load(order({"-1", "3 Gain", "12", "5 Pan"}));
    EXPECT_EQ(loaded.plistBuild[0], (ParameterEntry{"0", "-", 1, 0}));
    EXPECT_EQ(loaded.plistBuild[1], (ParameterEntry{"3", "Gain", 1, 1}));
    EXPECT_EQ(loaded.plistBuild[2], (ParameterEntry{"0", "-", 1, 2}));
    EXPECT_EQ(loaded.plistBuild[3], (ParameterEntry{"5", "Pan", 1, 3}));
}

TEST(Loading, MissingOrEmptyListsGiveOneEmptyPage)
{
    for (const QString &body :
         {QString(), order({}), QStringLiteral("<key>ControlSurfaceParameterOrder</key><string>x</string>")}) {
        const LoadedMapping loaded = load(body);
        EXPECT_EQ(loaded.totalPages, 1);
        ASSERT_EQ(loaded.plistBuild.size(), 32);
        EXPECT_EQ(loaded.plistBuild[31], (ParameterEntry{"0", "-", 1, 31}));
        ASSERT_EQ(loaded.available.size(), 1);
        EXPECT_EQ(loaded.available[0], ParameterEntry{});
        EXPECT_EQ(loaded.pluginMode, 0);
    }
}

TEST(Loading, AvailableListStartsWithTheEmptyEntryAndSkipsEntriesWithoutBlank)
{
    const LoadedMapping loaded = load(unique({"-1", "3 Gain", "nonumber", "5 Pan", "0 -"}));
    ASSERT_EQ(loaded.available.size(), 3);
    EXPECT_EQ(loaded.available[0], (ParameterEntry{"0", "-", 0, 0}));
    EXPECT_EQ(loaded.available[1], (ParameterEntry{"3", "Gain", 0, 0}));
    EXPECT_EQ(loaded.available[2], (ParameterEntry{"5", "Pan", 0, 0}));
}

TEST(Loading, ValuesOfTheWrongTypeAreTreatedAsAbsent)
{
    // Non-string slotStrings are the empty slot in their position; non-string parameters are skipped.
    const LoadedMapping loaded =
        load(QStringLiteral("<key>ControlSurfaceParameterOrder</key><array><string>1 A</string><integer>7</integer>"
                            "<dict/><string>2 B</string></array>"
                            "<key>StoreCSUnique</key><array><real>2.5</real><string>9 Volume</string><true/></array>"
                            "<key>OravelCSMode</key><string>1</string>"));
    EXPECT_EQ(loaded.plistBuild[0].Parameter, "A");
    EXPECT_EQ(loaded.plistBuild[1], (ParameterEntry{"0", "-", 1, 1}));
    EXPECT_EQ(loaded.plistBuild[2], (ParameterEntry{"0", "-", 1, 2}));
    EXPECT_EQ(loaded.plistBuild[3].Parameter, "B");
    ASSERT_EQ(loaded.available.size(), 2);
    EXPECT_EQ(loaded.available[1].Parameter, "Volume");
    // OravelCSMode that is not an array is absent: the "olume" test decides.
    EXPECT_EQ(loaded.pluginMode, 1);
}

TEST(Loading, ModeComesFromTheFileThenTheVolumeTestThenInsertEffect)
{
    const QString volume = unique({"-1", "7 Output Volume"});
    const QString plain = unique({"-1", "7 Cutoff"});
    EXPECT_EQ(load(mode("<string>1</string>") + plain).pluginMode, 1);
    EXPECT_EQ(load(mode("<string>0</string>") + volume).pluginMode, 0);
    EXPECT_EQ(load(mode("<string>2</string>") + volume).pluginMode, 1);
    EXPECT_EQ(load(mode("<string>2</string>") + plain).pluginMode, 0);
    EXPECT_EQ(load(mode("") + volume).pluginMode, 1);
    EXPECT_EQ(load(plain).pluginMode, 0);
    EXPECT_EQ(load(unique({"-1", "8 volume"})).pluginMode, 1);
    EXPECT_EQ(load(unique({"-1", "8 VOLUME"})).pluginMode, 0);
    // The test looks at whole strings, also those that add no row.
    EXPECT_EQ(load(unique({"Volume"})).pluginMode, 1);
    // The first element's text form counts, whatever its type.
    EXPECT_EQ(load(mode("<integer>1</integer>") + plain).pluginMode, 1);
    EXPECT_EQ(load(mode("<true/>") + plain).pluginMode, 1);
    EXPECT_EQ(load(mode("<real>0</real>") + volume).pluginMode, 0);
    EXPECT_EQ(load(mode("<string> 1</string>") + plain).pluginMode, 0);
}

TEST(Loading, CheckModeOtherThanOneKeepsTheGivenMode)
{
    const QString body = mode("<string>1</string>") + unique({"-1", "7 Output Volume"});
    EXPECT_EQ(load(body, 0, 0).pluginMode, 0);
    EXPECT_EQ(load(mode("<string>0</string>"), 0, 1).pluginMode, 1);
    EXPECT_EQ(load(body, 2, 0).pluginMode, 0);
}

TEST(Loading, RetroSynthAsLogicWroteIt)
{
    const PlistRead read = PlistDocument::read(ov::test::retroSynthFixture());
    ASSERT_EQ(read.status, PlistReadStatus::Ok);
    const PlistDocument &document = read.document;
    const LoadedMapping loaded = loadMapping(document, 1, 0);
    const QStringList slotStrings = controlSurfaceOrder(document);
    ASSERT_GT(slotStrings.size(), 32);
    EXPECT_EQ(loaded.totalPages, (slotStrings.size() + 31) / 32);
    EXPECT_EQ(loaded.plistBuild[0], (ParameterEntry{"201", "Oscillator Type", 1, 0}));
    // "301 " has a blank name, not an empty slot.
    EXPECT_EQ(loaded.plistBuild[1], (ParameterEntry{"301", "", 1, 1}));
    // No StoreCSUnique yet: nothing to choose from and no "olume" test to pass.
    EXPECT_EQ(loaded.available.size(), 1);
    EXPECT_EQ(loaded.pluginMode, 0);
}

TEST(Loading, BinaryAndXmlLoadAlike)
{
    const QByteArray xml = xmlPlist(order({"1 A", "-1", "2 B"}) + unique({"-1", "1 A", "2 Volume"}));
    const LoadedMapping fromXml = loadMapping(parse(xml), 1, 0);
    const LoadedMapping fromBinary = loadMapping(parse(ov::test::toBinaryPlist(xml)), 1, 0);
    EXPECT_EQ(fromXml.plistBuild, fromBinary.plistBuild);
    EXPECT_EQ(fromXml.available, fromBinary.available);
    EXPECT_EQ(fromBinary.pluginMode, 1);
}

TEST(Loading, UnreadableFilesLoadAsAnEmptyDictionary)
{
    QTemporaryDir dir;
    const QString notPlist = dir.filePath("junk.plist");
    const QString array = dir.filePath("array.plist");
    ov::test::writeFile(notPlist, "this is not a property list");
    ov::test::writeFile(array,
                        "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>1 A</string></array></plist>");
    // Newer libplist versions read JSON through their catch-all reader; Logic never writes it.
    const QString json = dir.filePath("json.plist");
    ov::test::writeFile(json, R"({"ControlSurfaceParameterOrder": ["1 A", "2 B"]})");
    for (const QString &path : {notPlist, array, json, dir.filePath("missing.plist"), dir.path()}) {
        const LoadedMapping loaded = readPlistFile(path, 1, 1);
        EXPECT_EQ(loaded.totalPages, 1) << path.toStdString();
        EXPECT_EQ(loaded.plistBuild.size(), 32);
        EXPECT_EQ(loaded.available.size(), 1);
        EXPECT_EQ(loaded.pluginMode, 0);
    }
}
