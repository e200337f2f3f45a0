#include "Chart.h"

#include "mapping/AtomicFile.h"

namespace ov::panel {

namespace {

// The header with its two places for the plug-in's name and the file location.
const QString kHeaderBeforeName = QStringLiteral("<html><body><h1>MCU Mapping for '");
const QString kHeaderBeforeLocation = QStringLiteral("'</h1><p>File Location: ");
const QString kHeaderRest =
    QStringLiteral("</p><style>table {width:100%; border: solid 1px;text-align:left;background-color:grey;} "
                   "table th{font-size:85%;background-color:lime;} "
                   "table td{font-size:85%;text-align:center;height:50px;width:10%;background-color:white;} </style>"
                   "<table><tr><th>Section</th>"
                   "<th style='text-align:center;'>Pot 1</th><th style='text-align:center;'>Pot 2</th>"
                   "<th style='text-align:center;'>Pot 3</th><th style='text-align:center;'>Pot 4</th>"
                   "<th style='text-align:center;'>Pot 5</th><th style='text-align:center;'>Pot 6</th>"
                   "<th style='text-align:center;'>Pot 7</th><th style='text-align:center;'>Pot 8</th></tr>");

bool needsEscaping(char16_t c)
{
    return c >= 0x80 || c == u'&' || c == u'<' || c == u'>' || c == u'"' || c == u'\'';
}

void appendEscaped(QString &out, QStringView text)
{
    const char16_t *const begin = text.utf16();
    const char16_t *const end = begin + text.size();
    // Runs of plain ASCII go in whole; most names are nothing else.
    const char16_t *run = begin;
    for (const char16_t *at = begin; at != end; ++at) {
        const char16_t c = *at;
        if (!needsEscaping(c))
            continue;
        out.append(QStringView(run, at));
        run = at + 1;
        switch (c) {
        case u'&':
            out += u"&amp;";
            continue;
        case u'<':
            out += u"&lt;";
            continue;
        case u'>':
            out += u"&gt;";
            continue;
        case u'"':
            out += u"&quot;";
            continue;
        case u'\'':
            out += u"&#39;";
            continue;
        default:
            break;
        }
        char32_t codePoint = c;
        if (QChar::isHighSurrogate(c) && at + 1 != end && QChar::isLowSurrogate(at[1])) {
            codePoint = QChar::surrogateToUcs4(c, at[1]);
            run = ++at + 1;
        } else if (QChar::isSurrogate(c)) {
            codePoint = 0xFFFD; // a lone half of a pair is not a character
        }
        out += u"&#";
        out += QString::number(static_cast<uint>(codePoint));
        out += u';';
    }
    out.append(QStringView(run, end));
}

} // namespace

QString chartHeader(const QString &pluginName, const QString &fileLocation)
{
    QString header = kHeaderBeforeName;
    appendEscaped(header, pluginName);
    header += kHeaderBeforeLocation;
    appendEscaped(header, fileLocation);
    header += kHeaderRest;
    return header;
}

void appendChartRow(QString &chart, const mapping::MappingTable &table, int firstSlot, int lastSlot,
                    const QString &rowLabel)
{
    chart += u"<tr><th>";
    appendEscaped(chart, rowLabel);
    chart += u"</th>";
    for (int slot = firstSlot; slot <= lastSlot; ++slot) {
        chart += u"<td>";
        appendEscaped(chart,
                      table.hasSlot(slot - 1) ? table.plistBuild.at(slot - 1).Parameter : mapping::kEmptyParameter);
        chart += u"</td>";
    }
    chart += u"</tr>";
}

void appendChartRows(QString &chart, const mapping::MappingTable &table)
{
    const int rows = table.totalPages * (mapping::kControlsPerPage / kEncodersPerRow);
    // About 40 characters of markup per row and 9 per cell, and room for names of 24 characters.
    chart.reserve(chart.size() + qsizetype(rows) * (40 + kEncodersPerRow * (9 + 24)));
    for (int k = 1; k <= rows; ++k)
        appendChartRow(chart, table, kEncodersPerRow * (k - 1) + 1, kEncodersPerRow * k,
                       QStringLiteral("Page ") + QString::number(k) + QStringLiteral(" Encoders"));
}

QString chartFooter()
{
    return QStringLiteral("</table></body></html>");
}

QString buildChart(const QString &pluginName, const QString &fileLocation, const mapping::MappingTable &table)
{
    QString chart = chartHeader(pluginName, fileLocation);
    appendChartRows(chart, table);
    chart += chartFooter();
    return chart;
}

void ChartText::relabelled(const QString &pluginName, const QString &fileLocation)
{
    m_pluginName = pluginName;
    m_fileLocation = fileLocation;
    m_stale = true;
}

const QString &ChartText::text(const mapping::MappingTable &table) const
{
    if (m_stale) {
        m_text = buildChart(m_pluginName, m_fileLocation, table);
        m_stale = false;
    }
    return m_text;
}

QString chartPath(const QString &fileLocation)
{
    return fileLocation + QLatin1String(".html");
}

ChartWriteResult writeChart(const QString &path, const QString &chart)
{
    ChartWriteResult result;
    result.path = path;
    result.ok = mapping::writeFileAtomically(path, chart.toLatin1(), &result.detail);
    return result;
}

} // namespace ov::panel
