#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace ov::mapping {

// What became of an attempt to read a property-list dictionary.
enum class PlistReadStatus {
    Ok,
    Missing,         // no file at the path
    Unreadable,      // the file exists but cannot be opened or read
    NotPropertyList, // the bytes are neither an XML nor a binary property list, or one this program
                     // refuses to read (nested too deeply, referring to itself, a NUL in a text)
    NotDictionary,   // a property list whose root is not a dictionary
};

struct PlistRead;

// A property-list dictionary, read from XML or binary and written as XML. Keys keep their order;
// values this program does not know are carried through unchanged.
class PlistDocument final {
public:
    PlistDocument(); // an empty dictionary
    PlistDocument(const PlistDocument &other);
    PlistDocument &operator=(const PlistDocument &other);
    PlistDocument(PlistDocument &&) noexcept = default;
    PlistDocument &operator=(PlistDocument &&) noexcept = default;
    ~PlistDocument();

    // Parses bytes; on any status but Ok the document is an empty dictionary.
    static PlistRead parse(const QByteArray &bytes);
    static PlistRead read(const QString &path);

    QByteArray toXml() const;

    bool contains(const char *key) const;

    // The array under `key` as text, or nothing when the key is absent or not an array.
    // Elements that are not strings become `nonStringElement`, or are skipped when it is empty.
    std::optional<QStringList> stringArray(const char *key, const std::optional<QString> &nonStringElement) const;

    // The text form of the first element of the array under `key` ("1" for the integer 1, the
    // boolean true or the real 1.0; strings as they are), or nothing when there is no such element.
    std::optional<QString> firstElementText(const char *key) const;

    // Replaces the value under `key` by an array of strings, keeping the key's place when it exists.
    void setStringArray(const char *key, const QStringList &values);

private:
    struct NodeDeleter {
        void operator()(void *node) const;
    };
    std::unique_ptr<void, NodeDeleter> m_root;
};

// What a read gives: the document (an empty dictionary unless Ok), how the read went, why it
// failed, and the file's bytes as they were read.
struct PlistRead final {
    PlistDocument document;
    PlistReadStatus status = PlistReadStatus::Missing;
    QString error;
    QByteArray bytes;

    bool ok() const { return status == PlistReadStatus::Ok; }
};

QString describe(PlistReadStatus status);

} // namespace ov::mapping
