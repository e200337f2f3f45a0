// Files that would crash the property-list library are refused before it reads them, and read as
// "not a property list"; ordinary files still read.
#include "mapping/PlistDocument.h"
#include "plist/PlistShape.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace ov::mapping;

namespace {

// A binary property list built object by object; references are one byte, offsets two.
class BinaryPlist {
public:
    int add(const QByteArray &object)
    {
        m_objects.append(object);
        return int(m_objects.size() - 1);
    }
    static QByteArray ascii(const QByteArray &text)
    {
        if (text.size() < 15)
            return char(0x50 | text.size()) + text;
        if (text.size() < 256)
            return QByteArray("\x5F\x10") + char(text.size()) + text; // the count as a one-byte integer
        return QByteArray("\x5F\x11") + char(text.size() >> 8) + char(text.size() & 0xFF) + text;
    }
    static QByteArray array(const QList<int> &refs) { return container(0xA0, refs); }
    static QByteArray dict(const QList<int> &keys, const QList<int> &values) { return container(0xD0, keys + values); }

    QByteArray bytes(int top) const
    {
        QByteArray out = "bplist00";
        QList<int> offsets;
        for (const QByteArray &object : m_objects) {
            offsets.append(int(out.size()));
            out += object;
        }
        const int table = int(out.size());
        for (int offset : offsets)
            out += char(offset >> 8), out += char(offset & 0xFF);
        QByteArray trailer(32, '\0');
        trailer[6] = 2; // offset size
        trailer[7] = 1; // reference size
        trailer[15] = char(m_objects.size());
        trailer[23] = char(top);
        trailer[30] = char(table >> 8);
        trailer[31] = char(table & 0xFF);
        return out + trailer;
    }

private:
    static QByteArray container(int marker, const QList<int> &refs)
    {
        const int count = marker == 0xD0 ? int(refs.size() / 2) : int(refs.size());
        QByteArray out(1, char(marker | count));
        for (int ref : refs)
            out += char(ref);
        return out;
    }
    QList<QByteArray> m_objects;
};

PlistReadStatus statusOf(const QByteArray &bytes, QString *error = nullptr)
{
    const PlistRead read = PlistDocument::parse(bytes);
    if (error)
        *error = read.error;
    return read.status;
}

} // namespace

TEST(PlistShape, DeeplyNestedXmlIsRefusedNotCrashedOn)
{
    // About 300,000 levels: enough to overrun the stack of a recursive reader.
    const QByteArray deep = QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>k</key>")
                            + QByteArray("<array>").repeated(300000) + QByteArray("</array>").repeated(300000)
                            + "</dict></plist>";
    QString error;
    EXPECT_EQ(statusOf(deep, &error), PlistReadStatus::NotPropertyList);
    EXPECT_TRUE(error.contains("nests too deeply")) << error.toStdString();

    // Nesting within the bound, comments and self-closing elements are read.
    const QByteArray fine =
        ov::test::xmlPlist("<!-- <array><array><array> --><key>k</key>" + QString("<array>").repeated(30)
                           + "<array/><dict/>" + QString("</array>").repeated(30));
    EXPECT_EQ(statusOf(fine), PlistReadStatus::Ok);
    EXPECT_EQ(statusOf(QByteArray("<?xml version=\"1.0\"?><plist><dict><key>a\0b</key></dict></plist>", 60)),
              PlistReadStatus::NotPropertyList);
}

TEST(PlistShape, BinaryListsThatReferToThemselvesOrExplodeAreRefused)
{
    BinaryPlist cycle;
    const int key = cycle.add(BinaryPlist::ascii("k"));
    cycle.add(BinaryPlist::dict({key}, {2}));
    cycle.add(BinaryPlist::array({1})); // the array holds the dictionary that holds it
    QString error;
    EXPECT_EQ(statusOf(cycle.bytes(1), &error), PlistReadStatus::NotPropertyList);
    EXPECT_TRUE(error.contains("refers to itself")) << error.toStdString();

    // Twenty arrays that each hold the next one twice: a million objects once copied out.
    BinaryPlist laughs;
    const int leaf = laughs.add(BinaryPlist::ascii("x"));
    int last = leaf;
    for (int i = 0; i < 20; ++i)
        last = laughs.add(BinaryPlist::array({last, last}));
    const int rootKey = laughs.add(BinaryPlist::ascii("k"));
    const int root = laughs.add(BinaryPlist::dict({rootKey}, {last}));
    EXPECT_EQ(statusOf(laughs.bytes(root), &error), PlistReadStatus::NotPropertyList);
    EXPECT_TRUE(error.contains("too many times") || error.contains("too deeply")) << error.toStdString();

    // Few objects once copied out, but a long text in each: half a gigabyte.
    BinaryPlist longText;
    last = longText.add(BinaryPlist::ascii(QByteArray(2000, 'x')));
    for (int i = 0; i < 18; ++i)
        last = longText.add(BinaryPlist::array({last, last}));
    const int textKey = longText.add(BinaryPlist::ascii("k"));
    EXPECT_EQ(statusOf(longText.bytes(longText.add(BinaryPlist::dict({textKey}, {last}))), &error),
              PlistReadStatus::NotPropertyList);
    EXPECT_TRUE(error.contains("too many times")) << error.toStdString();
}

TEST(PlistShape, FilesOfPythonsBinaryWriterReadAsTheirXmlTwins)
{
    // Each distinct string is stored once and every slot refers to it, as in Apple's files.
    for (const QString name : {"empty-slots", "ten-thousand", "shared-between-keys"}) {
        const PlistRead binary = PlistDocument::read(ov::test::plistlibFile(name + ".bplist"));
        const PlistRead xml = PlistDocument::read(ov::test::plistlibFile(name + ".xml"));
        ASSERT_EQ(binary.status, PlistReadStatus::Ok) << name.toStdString() << ": " << binary.error.toStdString();
        ASSERT_EQ(xml.status, PlistReadStatus::Ok) << name.toStdString();
        EXPECT_EQ(binary.document.toXml(), xml.document.toXml()) << name.toStdString();
    }
}

TEST(PlistShape, BinaryTextsWithANulAreRefusedKeysIncluded)
{
    for (bool inKey : {false, true}) {
        BinaryPlist list;
        const int key = list.add(BinaryPlist::ascii(inKey ? QByteArray("k\0ey", 4) : QByteArray("key")));
        const int value = list.add(BinaryPlist::ascii(inKey ? QByteArray("1 A") : QByteArray("1 A\0long tail", 13)));
        const int order = list.add(BinaryPlist::array({value}));
        const int root = list.add(BinaryPlist::dict({key}, {order}));
        EXPECT_EQ(statusOf(list.bytes(root)), PlistReadStatus::NotPropertyList) << inKey;
    }
    // The same shape without the NUL reads.
    BinaryPlist list;
    const int key = list.add(BinaryPlist::ascii("ControlSurfaceParameterOrder"));
    const int value = list.add(BinaryPlist::ascii("1 A"));
    const int order = list.add(BinaryPlist::array({value, value}));
    const int root = list.add(BinaryPlist::dict({key}, {order}));
    const PlistRead read = PlistDocument::parse(list.bytes(root));
    ASSERT_EQ(read.status, PlistReadStatus::Ok);
    const PlistDocument &document = read.document;
    EXPECT_EQ(document.stringArray("ControlSurfaceParameterOrder", std::nullopt), (QStringList{"1 A", "1 A"}));
}

TEST(PlistShape, LogicsOwnFileIsWithinEveryBound)
{
    const QByteArray xml = ov::test::readFile(ov::test::retroSynthFixture());
    EXPECT_FALSE(ov::plist::shapeProblem(xml.toStdString()).has_value());
    EXPECT_FALSE(ov::plist::shapeProblem(ov::test::toBinaryPlist(xml).toStdString()).has_value());
}

namespace {

// A parameter-order file whose array refers `entries` times to one string: four-byte offsets,
// two-byte references, the array's count as a four-byte integer.
QByteArray sharedEntryList(quint32 entries)
{
    const auto bigEndian = [](quint64 value, int width) {
        QByteArray out;
        for (int i = width - 1; i >= 0; --i)
            out += char((value >> (8 * i)) & 0xFF);
        return out;
    };
    QByteArray array = QByteArray("\xAF\x12") + bigEndian(entries, 4);
    array += bigEndian(3, 2).repeated(int(entries));
    const QByteArray objects[] = {QByteArray("\xD1") + bigEndian(1, 2) + bigEndian(2, 2),
                                  QByteArray("\x5F\x10\x1C") + "ControlSurfaceParameterOrder", array, "\x52-1"};
    QByteArray out = "bplist00", offsets;
    for (const QByteArray &object : objects) {
        offsets += bigEndian(quint64(out.size()), 4);
        out += object;
    }
    const quint64 table = quint64(out.size());
    return out + offsets + QByteArray(6, '\0') + "\x04\x02" + bigEndian(4, 8) + bigEndian(0, 8) + bigEndian(table, 8);
}

} // namespace

TEST(PlistShape, ALongBinaryArrayReadsWholeUpToTheBoundAndIsRefusedPastIt)
{
    const PlistRead read = PlistDocument::parse(sharedEntryList(50000));
    ASSERT_EQ(read.status, PlistReadStatus::Ok);
    const PlistDocument &document = read.document;
    const auto entries = document.stringArray("ControlSurfaceParameterOrder", std::nullopt);
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->size(), 50000);
    QString error;
    EXPECT_EQ(statusOf(sharedEntryList(100001), &error), PlistReadStatus::NotPropertyList);
    EXPECT_TRUE(error.contains("more than 100000 entries")) << error.toStdString();
}
