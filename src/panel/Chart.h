#pragma once

#include "mapping/MappingTable.h"

#include <QString>

namespace ov::panel {

// Eight encoders to a row of the chart; four rows cover one page of 32 controls.
inline constexpr int kEncodersPerRow = 8;

// The chart's header: title with the plug-in's name, the file location, the style and the heading row.
QString chartHeader(const QString &pluginName, const QString &fileLocation);

// One row: "<tr><th>label</th><td>..</td>...</tr>" with the Parameter texts of table entries
// firstSlot - 1 ... lastSlot - 1 (slots counted from 1, lastSlot included).
void appendChartRow(QString &chart, const mapping::MappingTable &table, int firstSlot, int lastSlot,
                    const QString &rowLabel);

// Rows for every slot of the table: 4 * totalPages rows of eight, labelled "Page %d Encoders".
void appendChartRows(QString &chart, const mapping::MappingTable &table);

QString chartFooter();

// Header, rows and footer: the whole chart of a table.
QString buildChart(const QString &pluginName, const QString &fileLocation, const mapping::MappingTable &table);

// The chart of the table as of its last relabel. A relabel only notes the plug-in it was for; the
// text is built from the table when it is first read afterwards, so an edit costs its page, not the
// whole table. Every change to the table ends with a relabel, so the table read then is the table
// the relabel saw.
class ChartText final {
public:
    // The relabel: the chart is now that of the table as it stands, for this plug-in.
    void relabelled(const QString &pluginName, const QString &fileLocation);
    // The chart text: empty before the first relabel.
    const QString &text(const mapping::MappingTable &table) const;

private:
    QString m_pluginName;
    QString m_fileLocation;
    mutable QString m_text;
    mutable bool m_stale = false;
};

// The chart file of a parameter-order file: the same path with ".html" appended.
QString chartPath(const QString &fileLocation);

struct ChartWriteResult final {
    bool ok = true;
    QString path;
    QString detail;
};

// Writes the chart to `path`, replacing any file there in one step.
ChartWriteResult writeChart(const QString &path, const QString &chart);

namespace texts {
inline const QString kChartNotWritten = QStringLiteral("Chart not written");
// %1: the chart's path, %2: the reason.
inline const QString kChartNotWrittenInfo = QStringLiteral("The chart %1 could not be written (%2).");
// %1: the chart's path.
inline const QString kChartWritten = QStringLiteral("Chart written to %1");
inline const QString kChartNotOpened = QStringLiteral("Chart not opened");
// %1: the chart's path.
inline const QString kChartNotOpenedInfo =
    QStringLiteral("The chart was written to %1, but no application could be found to open it.");
} // namespace texts

} // namespace ov::panel
