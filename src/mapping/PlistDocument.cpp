#include "PlistDocument.h"

#include "AtomicFile.h"

#include "plist/PlistBuffer.h"
#include "plist/PlistRead.h"
#include "plist/PlistShape.h"

#include <QFileInfo>
#include <QSet>

#include <plist/plist.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

namespace ov::mapping {

namespace {

// libplist takes lengths as 32-bit; a parameter-order file is a few kilobytes to a few megabytes.
constexpr qsizetype kMaxPlistBytes = 256 * 1024 * 1024;

QString stringOf(plist_t node)
{
    uint64_t length = 0;
    const char *text = plist_get_string_ptr(node, &length);
    return QString::fromUtf8(text, static_cast<qsizetype>(length));
}

// Calls `visit` with each key and value of a dictionary, in order.
template <typename Visit> void forEachItem(plist_t dict, Visit visit)
{
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(dict, &iter);
    for (;;) {
        char *key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dict, iter, &key, &value);
        if (!key)
            break;
        visit(key, value);
        free(key);
    }
    free(iter);
}

// A dictionary that names a key twice (a binary list can) is read as a dictionary would take it: the
// later value wins, in the place of the first. Otherwise a save could write a key that reads back as
// another value. Returns the dictionary to keep.
plist_t withoutDuplicateKeys(plist_t dict)
{
    QSet<QByteArray> keys;
    bool duplicated = false;
    forEachItem(dict, [&](const char *key, plist_t) {
        const QByteArray name(key);
        duplicated = duplicated || keys.contains(name);
        keys.insert(name);
    });
    if (!duplicated)
        return dict;
    plist_t unique = plist_new_dict();
    forEachItem(dict, [&](const char *key, plist_t value) { plist_dict_set_item(unique, key, plist_copy(value)); });
    plist_free(dict);
    return unique;
}

QString textForm(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_STRING:
        return stringOf(node);
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return QString::number(static_cast<qint64>(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
            return QString::number(static_cast<qint64>(value));
        return QString::number(value, 'g', 17);
    }
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return value ? QStringLiteral("1") : QStringLiteral("0");
    }
    default:
        return QString();
    }
}

} // namespace

void PlistDocument::NodeDeleter::operator()(void *node) const
{
    plist_free(static_cast<plist_t>(node));
}

PlistDocument::PlistDocument() : m_root(plist_new_dict()) { }

PlistDocument::PlistDocument(const PlistDocument &other) : m_root(plist_copy(other.m_root.get())) { }

PlistDocument &PlistDocument::operator=(const PlistDocument &other)
{
    if (this != &other)
        m_root.reset(plist_copy(other.m_root.get()));
    return *this;
}

PlistDocument::~PlistDocument() = default;

PlistRead PlistDocument::parse(const QByteArray &bytes)
{
    PlistRead read;
    plist_t root = nullptr;
    std::optional<std::string> problem;
    if (bytes.size() > kMaxPlistBytes)
        problem = "the file is larger than 256 MiB";
    else if (!bytes.isEmpty())
        problem = plist::shapeProblem(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    // QByteArray's data ends in a NUL, which libplist's XML reader relies on.
    if (!bytes.isEmpty() && !problem)
        root = plist::readXmlOrBinary(bytes.constData(), static_cast<uint32_t>(bytes.size()));
    if (!root) {
        read.status = PlistReadStatus::NotPropertyList;
        read.error = problem ? describe(read.status) + QStringLiteral(": ") + QString::fromStdString(*problem)
                             : describe(read.status);
    } else if (plist_get_node_type(root) != PLIST_DICT) {
        plist_free(root);
        read.status = PlistReadStatus::NotDictionary;
        read.error = describe(read.status);
    } else {
        read.document.m_root.reset(withoutDuplicateKeys(root));
        read.status = PlistReadStatus::Ok;
    }
    return read;
}

PlistRead PlistDocument::read(const QString &path)
{
    const QFileInfo info(path);
    PlistRead read;
    if (!info.exists()) {
        read.status = PlistReadStatus::Missing;
        read.error = QStringLiteral("No such file");
        return read;
    }
    QByteArray bytes;
    if (info.isDir() || !readWholeFile(path, &bytes, &read.error)) {
        read.status = PlistReadStatus::Unreadable;
        if (info.isDir())
            read.error = QStringLiteral("Is a folder");
        return read;
    }
    read = parse(bytes);
    read.bytes = std::move(bytes);
    return read;
}

QByteArray PlistDocument::toXml() const
{
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(static_cast<plist_t>(m_root.get()), &xml, &length);
    QByteArray result(xml, static_cast<qsizetype>(length));
    ov::plist::freeBuffer(xml);
    return result;
}

bool PlistDocument::contains(const char *key) const
{
    return plist_dict_get_item(static_cast<plist_t>(m_root.get()), key) != nullptr;
}

std::optional<QStringList> PlistDocument::stringArray(const char *key,
                                                      const std::optional<QString> &nonStringElement) const
{
    plist_t array = plist_dict_get_item(static_cast<plist_t>(m_root.get()), key);
    if (!array || plist_get_node_type(array) != PLIST_ARRAY)
        return std::nullopt;
    QStringList values;
    values.reserve(plist_array_get_size(array));
    plist::forEachArrayItem(array, [&](plist_t item) {
        if (plist_get_node_type(item) == PLIST_STRING)
            values.append(stringOf(item));
        else if (nonStringElement)
            values.append(*nonStringElement);
    });
    return values;
}

std::optional<QString> PlistDocument::firstElementText(const char *key) const
{
    plist_t array = plist_dict_get_item(static_cast<plist_t>(m_root.get()), key);
    if (!array || plist_get_node_type(array) != PLIST_ARRAY || plist_array_get_size(array) == 0)
        return std::nullopt;
    return textForm(plist_array_get_item(array, 0));
}

void PlistDocument::setStringArray(const char *key, const QStringList &values)
{
    plist_t array = plist_new_array();
    for (const QString &value : values)
        plist_array_append_item(array, plist_new_string(value.toUtf8().constData()));
    plist_dict_set_item(static_cast<plist_t>(m_root.get()), key, array);
}

QString describe(PlistReadStatus status)
{
    switch (status) {
    case PlistReadStatus::Ok:
        return QStringLiteral("read");
    case PlistReadStatus::Missing:
        return QStringLiteral("the file does not exist");
    case PlistReadStatus::Unreadable:
        return QStringLiteral("the file cannot be read");
    case PlistReadStatus::NotPropertyList:
        return QStringLiteral("the file is not a property list");
    case PlistReadStatus::NotDictionary:
        return QStringLiteral("the property list's root is not a dictionary");
    }
    return QString();
}

} // namespace ov::mapping
