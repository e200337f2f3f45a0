#include "PlistShape.h"

#include <algorithm>
#include <vector>

namespace ov::plist {

namespace {

std::uint64_t readBigEndian(std::string_view bytes, std::size_t offset, std::size_t width)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

// Walks a binary list's object graph from its top object without recursion, once per object:
// refuses a cycle, a nesting deeper than kMaxNesting, a container of more than
// kMaxContainerEntries, more than kMaxExpandedObjects objects or kMaxExpandedBytes of texts and
// data after copying, a text holding a NUL, and anything too broken to walk. An object
// may be referred to any number of times within those bounds: Apple's writer stores each distinct
// string once.
std::optional<std::string> binaryProblem(std::string_view bin)
{
    const std::string broken = "the binary property list is malformed";
    constexpr std::size_t kHeader = 8, kTrailer = 32;
    if (bin.size() < kHeader + kTrailer)
        return broken;
    const std::size_t trailer = bin.size() - kTrailer;
    const std::size_t offsetSize = static_cast<unsigned char>(bin[trailer + 6]);
    const std::size_t refSize = static_cast<unsigned char>(bin[trailer + 7]);
    const std::uint64_t objectCount = readBigEndian(bin, trailer + 8, 8);
    const std::uint64_t topObject = readBigEndian(bin, trailer + 16, 8);
    const std::uint64_t tableOffset = readBigEndian(bin, trailer + 24, 8);
    if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8)
        return broken;
    if (objectCount == 0 || objectCount > bin.size() || topObject >= objectCount)
        return broken;
    if (objectCount > kMaxExpandedObjects)
        return "the property list holds more than " + std::to_string(kMaxExpandedObjects) + " objects";
    if (tableOffset < kHeader || tableOffset > trailer || (trailer - tableOffset) / offsetSize < objectCount)
        return broken;

    enum class Kind {
        Scalar,
        Container,
        Broken,
        TextWithNul,
        TooLong
    };
    struct Object {
        Kind kind = Kind::Broken;
        std::uint64_t bytes = 0; // of a text or data
        std::vector<std::uint64_t> children;
    };
    // An object's kind and size, and for containers the objects it refers to.
    auto read = [&](std::uint64_t object) {
        Object result;
        const std::uint64_t offset = readBigEndian(bin, tableOffset + object * offsetSize, offsetSize);
        if (offset < kHeader || offset >= tableOffset)
            return result;
        const auto marker = static_cast<unsigned char>(bin[offset]);
        const unsigned type = marker >> 4;
        const bool container = type == 0xA || type == 0xC || type == 0xD;
        const bool text = type == 0x5 || type == 0x6;
        const bool data = type == 0x4;
        if (!container && !text && !data) {
            result.kind = Kind::Scalar;
            return result;
        }
        std::uint64_t count = marker & 0x0F;
        std::size_t pos = offset + 1;
        if (count == 0x0F) { // the count follows as an integer object
            if (pos >= tableOffset)
                return result;
            const auto intMarker = static_cast<unsigned char>(bin[pos]);
            if ((intMarker >> 4) != 0x1 || (intMarker & 0x0F) > 3)
                return result;
            const std::size_t width = std::size_t{1} << (intMarker & 0x0F);
            if (tableOffset - (pos + 1) < width)
                return result;
            count = readBigEndian(bin, pos + 1, width);
            pos += 1 + width;
        }
        if (!container) {
            const std::uint64_t unit = type == 0x6 ? 2 : 1;
            if (count > (tableOffset - pos) / unit)
                return result;
            for (std::uint64_t i = 0; text && i < count; ++i)
                if (readBigEndian(bin, pos + i * unit, unit) == 0) {
                    result.kind = Kind::TextWithNul;
                    return result;
                }
            result.kind = Kind::Scalar;
            result.bytes = count * unit;
            return result;
        }
        if (count > kMaxContainerEntries) {
            result.kind = Kind::TooLong;
            return result;
        }
        // The references must lie within the file; each may name any object, shared ones included.
        const std::uint64_t perEntry = type == 0xD ? 2 : 1;
        if (count > (tableOffset - pos) / refSize / perEntry)
            return result;
        const std::uint64_t refs = count * perEntry;
        result.children.reserve(refs);
        for (std::uint64_t i = 0; i < refs; ++i) {
            const std::uint64_t ref = readBigEndian(bin, pos + i * refSize, refSize);
            if (ref >= objectCount)
                return result;
            result.children.push_back(ref);
        }
        result.kind = Kind::Container;
        return result;
    };

    // Per object once done: the height of its subtree and its size once every reference is copied.
    struct Shape {
        bool onPath = false, done = false;
        std::uint8_t height = 0;
        std::uint64_t expanded = 0, expandedBytes = 0;
    };
    std::vector<Shape> shapes(objectCount);
    struct Frame {
        std::uint64_t object;
        std::vector<std::uint64_t> children;
        std::size_t next = 0;
        std::uint8_t childHeight = 0;
        std::uint64_t expanded = 1, expandedBytes = 0;
    };
    std::vector<Frame> path;
    std::optional<std::string> problem;
    auto enter = [&](std::uint64_t object) {
        Object found = read(object);
        if (found.kind == Kind::Broken)
            problem = broken;
        else if (found.kind == Kind::TextWithNul)
            problem = "a text of the property list holds a NUL character";
        else if (found.kind == Kind::TooLong)
            problem = "an array or dictionary of the property list holds more than "
                      + std::to_string(kMaxContainerEntries) + " entries";
        else if (path.size() == kMaxNesting)
            problem = "the property list nests too deeply";
        if (problem)
            return false;
        shapes[object].onPath = true;
        path.push_back(Frame{object, std::move(found.children), 0, 0, 1, found.bytes});
        return true;
    };
    // Adds a finished subtree to the container on top of the path; false when a bound is passed.
    auto account = [&](const Shape &child) {
        if (path.empty())
            return true;
        Frame &parent = path.back();
        if (path.size() + child.height > kMaxNesting) {
            problem = "the property list nests too deeply";
            return false;
        }
        parent.childHeight = std::max(parent.childHeight, child.height);
        parent.expanded += child.expanded;
        parent.expandedBytes += child.expandedBytes;
        if (parent.expanded > kMaxExpandedObjects || parent.expandedBytes > kMaxExpandedBytes) {
            problem = "the property list refers to its objects too many times";
            return false;
        }
        return true;
    };

    if (!enter(topObject))
        return problem;
    while (!path.empty()) {
        Frame &frame = path.back();
        if (frame.next < frame.children.size()) {
            const std::uint64_t child = frame.children[frame.next++];
            if (shapes[child].onPath)
                return std::string("the property list refers to itself");
            if (shapes[child].done) {
                if (!account(shapes[child]))
                    return problem;
            } else if (!enter(child)) {
                return problem;
            }
            continue;
        }
        Shape &shape = shapes[frame.object];
        shape =
            Shape{false, true, static_cast<std::uint8_t>(frame.childHeight + 1), frame.expanded, frame.expandedBytes};
        path.pop_back();
        if (!account(shape))
            return problem;
    }
    return std::nullopt;
}

// Scans XML for the nesting of its elements and for NUL bytes (which XML never holds). Comments,
// CDATA sections and declarations are passed over.
std::optional<std::string> xmlProblem(std::string_view xml)
{
    // The <plist> element and a leaf element come on top of the containers.
    constexpr std::size_t kMaxElements = kMaxNesting + 2;
    if (xml.find('\0') != std::string_view::npos)
        return std::string("the file holds a NUL character, which XML never does");
    std::size_t depth = 0;
    std::size_t at = 0;
    auto skipPast = [&](std::string_view end) {
        const std::size_t found = xml.find(end, at);
        at = found == std::string_view::npos ? xml.size() : found + end.size();
    };
    while ((at = xml.find('<', at)) != std::string_view::npos) {
        const std::string_view rest = xml.substr(at);
        if (rest.starts_with("<!--")) {
            skipPast("-->");
        } else if (rest.starts_with("<![CDATA[")) {
            skipPast("]]>");
        } else if (rest.starts_with("<?") || rest.starts_with("<!")) {
            skipPast(">");
        } else if (rest.starts_with("</")) {
            depth = depth > 0 ? depth - 1 : 0;
            skipPast(">");
        } else {
            const std::size_t close = xml.find('>', at);
            if (close == std::string_view::npos)
                break;
            if (xml[close - 1] != '/' && ++depth > kMaxElements)
                return std::string("the property list nests too deeply");
            at = close + 1;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> shapeProblem(std::string_view bytes)
{
    if (bytes.starts_with("bplist00"))
        return binaryProblem(bytes);
    return xmlProblem(bytes);
}

} // namespace ov::plist
