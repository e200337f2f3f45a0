// The chart of any table: always ASCII, one row per eight slots, with the name and path escaped.
#include "panel/Chart.h"

#include <cstdlib>

using namespace ov;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList parts =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)).split(QLatin1Char('\n'));
    mapping::MappingTable table;
    for (qsizetype i = 2; i < parts.size(); ++i)
        table.plistBuild.append({QStringLiteral("1"), parts[i], int(i - 2) / 32 + 1, int(i - 2)});
    table.totalPages = int((table.plistBuild.size() + 31) / 32);
    const QString chart = panel::buildChart(parts.value(0), parts.value(1), table);
    for (const QChar c : chart)
        if (c.unicode() >= 0x80)
            std::abort();
    if (chart.count(QLatin1String("<tr><th>Page ")) != table.totalPages * 4)
        std::abort();
    // A name, path or parameter never adds markup: the chart has the tags of a plain one of that size.
    mapping::MappingTable plain = table;
    for (mapping::ParameterEntry &entry : plain.plistBuild)
        entry.Parameter = QStringLiteral("x");
    const QString plainChart = panel::buildChart(QString(), QString(), plain);
    if (chart.count(QLatin1Char('<')) != plainChart.count(QLatin1Char('<'))
        || chart.count(QLatin1Char('>')) != plainChart.count(QLatin1Char('>')))
        std::abort();
    return 0;
}
