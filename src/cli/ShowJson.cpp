#include "ShowJson.h"

#include <algorithm>
#include <charconv>

namespace ov::cli {

namespace {

// JSON written directly, laid out as QJsonDocument::Indented lays it out (keys in order, four spaces
// a level): a large table is written in a fraction of the time of building the document first.
class JsonText final {
public:
    explicit JsonText(qsizetype expectedSize) { m_json.reserve(expectedSize); }

    void raw(const char *text) { m_json.append(text); }
    void number(int value)
    {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        m_json.append(digits, end - digits);
    }
    // A string in quotes: '"', '\\' and control characters escaped, everything else as UTF-8.
    void string(QStringView text)
    {
        m_json.append('"');
        const char16_t *at = text.utf16();
        const char16_t *const end = at + text.size();
        while (at != end) {
            const char16_t *run = at;
            while (at != end && *at >= 0x20 && *at < 0x80 && *at != u'"' && *at != u'\\')
                ++at;
            const qsizetype written = m_json.size();
            m_json.resize(written + (at - run));
            std::transform(run, at, m_json.data() + written, [](char16_t c) { return char(c); });
            if (at == end)
                break;
            if (*at >= 0x80) { // a run of other characters, encoded together
                run = at;
                while (at != end && *at >= 0x80)
                    ++at;
                m_json.append(QStringView(run, at).toUtf8());
                continue;
            }
            escape(*at++);
        }
        m_json.append('"');
    }
    QByteArray take() { return std::move(m_json); }

private:
    void escape(char16_t c)
    {
        static constexpr char kHex[] = "0123456789abcdef";
        switch (c) {
        case u'"':
            m_json.append("\\\"");
            return;
        case u'\\':
            m_json.append("\\\\");
            return;
        case u'\b':
            m_json.append("\\b");
            return;
        case u'\f':
            m_json.append("\\f");
            return;
        case u'\n':
            m_json.append("\\n");
            return;
        case u'\r':
            m_json.append("\\r");
            return;
        case u'\t':
            m_json.append("\\t");
            return;
        default:
            m_json.append("\\u00");
            m_json.append(kHex[c >> 4]);
            m_json.append(kHex[c & 0xf]);
        }
    }

    QByteArray m_json;
};

// The entries as an array of objects at the second level of the document.
void appendEntries(JsonText &json, const QVector<mapping::ParameterEntry> &entries)
{
    if (entries.isEmpty()) {
        json.raw("[\n    ]");
        return;
    }
    json.raw("[\n");
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const mapping::ParameterEntry &entry = entries.at(i);
        json.raw("        {\n            \"OravelControlNo\": ");
        json.number(entry.OravelControlNo);
        json.raw(",\n            \"OravelPage\": ");
        json.number(entry.OravelPage);
        json.raw(",\n            \"ParamNum\": ");
        json.string(entry.ParamNum);
        json.raw(",\n            \"Parameter\": ");
        json.string(entry.Parameter);
        json.raw(i + 1 == entries.size() ? "\n        }\n" : "\n        },\n");
    }
    json.raw("    ]");
}

} // namespace

QByteArray showJson(const mapping::LoadedMapping &loaded)
{
    // About 150 characters for each entry's object.
    JsonText json(150 * (loaded.available.size() + loaded.plistBuild.size()) + 100);
    json.raw("{\n    \"available\": ");
    appendEntries(json, loaded.available);
    json.raw(",\n    \"plistBuild\": ");
    appendEntries(json, loaded.plistBuild);
    json.raw(",\n    \"plugin_Mode\": ");
    json.number(loaded.pluginMode);
    json.raw(",\n    \"totalPages\": ");
    json.number(loaded.totalPages);
    json.raw("\n}\n");
    return json.take();
}

} // namespace ov::cli
