#include "panel/Chart.h"
#include "panel/PanelLabels.h"
#include "support/TestFiles.h"
#include "support/Printers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ov::panel;
using ov::mapping::MappingTable;
using ov::mapping::ParameterEntry;

namespace {

MappingTable table(int pages)
{
    MappingTable t;
    for (int i = 0; i < pages * 32; ++i)
        t.plistBuild.append({QString::number(i), QStringLiteral("P%1").arg(i), i / 32 + 1, i});
    t.totalPages = pages;
    t.curPage = 1;
    return t;
}

// The header as the format writes it, with its two places filled and "%%" read as "%".
QString expectedHeader(const QString &name, const QString &location)
{
    QString format = QStringLiteral(
        "<html><body><h1>MCU Mapping for '%@'</h1><p>File Location: %@</p><style>table {width:100%%; border: solid "
        "1px;text-align:left;background-color:grey;} table th{font-size:85%%;background-color:lime;} table "
        "td{font-size:85%%;text-align:center;height:50px;width:10%%;background-color:white;} "
        "</style><table><tr><th>Section</th><th style='text-align:center;'>Pot 1</th><th "
        "style='text-align:center;'>Pot 2</th><th style='text-align:center;'>Pot 3</th><th "
        "style='text-align:center;'>Pot 4</th><th style='text-align:center;'>Pot 5</th><th "
        "style='text-align:center;'>Pot 6</th><th style='text-align:center;'>Pot 7</th><th "
        "style='text-align:center;'>Pot 8</th></tr>");
    EXPECT_EQ(format.size(), 656);
    format.replace("%%", "%");
    const qsizetype first = format.indexOf("%@");
    format.replace(first, 2, name);
    format.replace(format.indexOf("%@", first + name.size()), 2, location);
    return format;
}

} // namespace

TEST(PanelLabels, PageIndicators)
{
    EXPECT_EQ(pageCurrentlyDisplayedText(1, 1), "Page 1 of 1");
    EXPECT_EQ(totalPagesText(1), "1 Page");
    EXPECT_EQ(pageCurrentlyDisplayedText(2, 2), "Page 2 of 2");
    EXPECT_EQ(totalPagesText(2), "2 Pages");
    EXPECT_EQ(totalPagesText(0), "0 Page");
}

TEST(PanelLabels, LabelsShowTheSlotsOfThePage)
{
    MappingTable t = table(3);
    t.plistBuild[70].Parameter = "-";
    t.plistBuild[71].Parameter = "Cut & <Res> \"x\"";
    const PanelLabels labels = labelsForPage(t, 3);
    EXPECT_EQ(labels.text[0], "P64");
    EXPECT_EQ(labels.text[31], "P95");
    EXPECT_EQ(labels.text[6], "-");
    EXPECT_EQ(labels.text[7], "Cut & <Res> \"x\"");
    for (int n = 0; n < 32; ++n)
        EXPECT_EQ(labels.toolTip[n], labels.text[n]);
    EXPECT_EQ(labels.pageCurrentlyDisplayed, "Page 3 of 3");
    EXPECT_EQ(labels.totalPagesIndicator, "3 Pages");
}

TEST(PanelLabels, MissingSlotsShowADashAndLeaveTheTooltip)
{
    MappingTable t = table(1);
    t.plistBuild.resize(20);
    const PanelLabels labels = labelsForPage(t, 1);
    EXPECT_EQ(labels.text[19], "P19");
    EXPECT_EQ(labels.text[20], "-");
    EXPECT_FALSE(labels.toolTip[20].has_value());
}

TEST(Chart, HeaderRowsAndFooterAreExact)
{
    MappingTable t = table(1);
    t.plistBuild[9].Parameter = "-";
    const QString chart = buildChart("Retro Synth", "/home/u/CSParameterOrder.plist", t);
    QString expected = expectedHeader("Retro Synth", "/home/u/CSParameterOrder.plist");
    for (int k = 1; k <= 4; ++k) {
        expected += QStringLiteral("<tr><th>Page %1 Encoders</th>").arg(k);
        for (int i = 8 * (k - 1); i < 8 * k; ++i)
            expected += QStringLiteral("<td>%1</td>").arg(i == 9 ? QStringLiteral("-") : QStringLiteral("P%1").arg(i));
        expected += "</tr>";
    }
    expected += "</table></body></html>";
    EXPECT_EQ(chart, expected);
    EXPECT_TRUE(chart.contains("width:100%;"));
    EXPECT_FALSE(chart.contains('\n'));
}

TEST(Chart, EveryCarriesEverySlotInRowsOfEight)
{
    const QString chart = buildChart("S", "/p", table(10));
    EXPECT_EQ(chart.count("<tr><th>Page "), 40);
    EXPECT_TRUE(chart.contains("<tr><th>Page 40 Encoders</th><td>P312</td>"));
    EXPECT_TRUE(chart.endsWith("<td>P319</td></tr></table></body></html>"));
}

TEST(Chart, TextIsEscapedAndStaysAscii)
{
    MappingTable t = table(1);
    t.plistBuild[0].Parameter = "A&B <i>x</i> \"q\" 'a'";
    t.plistBuild[1].Parameter = "Fréquence 🎹";
    const QString chart = buildChart("Ça <script>", "/Users/zoë/it's.plist", t);
    EXPECT_TRUE(chart.contains("<h1>MCU Mapping for '&#199;a &lt;script&gt;'</h1>"));
    EXPECT_TRUE(chart.contains("<p>File Location: /Users/zo&#235;/it&#39;s.plist</p>"));
    EXPECT_TRUE(chart.contains("<td>A&amp;B &lt;i&gt;x&lt;/i&gt; &quot;q&quot; &#39;a&#39;</td>"));
    EXPECT_TRUE(chart.contains("<td>Fr&#233;quence &#127929;</td>"));
    for (const QChar c : chart)
        ASSERT_LT(c.unicode(), 0x80);
}

TEST(Chart, WritingReplacesTheFileBesideTheParameterOrderFile)
{
    QTemporaryDir dir;
    const QString location = dir.filePath("Zoë/CSParameterOrder.plist");
    ov::test::writeFile(location, "x");
    EXPECT_EQ(chartPath(location), location + ".html");
    ASSERT_TRUE(writeChart(chartPath(location), buildChart("Zoë", location, table(1))).ok);
    const QString second = buildChart("Zoë", location, table(2));
    ASSERT_TRUE(writeChart(chartPath(location), second).ok);
    EXPECT_EQ(ov::test::readFile(chartPath(location)), second.toLatin1());

    const ChartWriteResult failed = writeChart(dir.filePath("no/such/folder/x.html"), second);
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.detail.isEmpty());
}
