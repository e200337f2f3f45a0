#include "ParameterOrderCheck.h"

#include <plist/plist.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <pthread.h>
#include <vector>

namespace ovserver {

namespace {

// A parameter-order file nests two levels; a binary file that nests deeper than this is refused
// before libplist sees it.
constexpr std::size_t kMaxNesting = 32;
// libplist makes a node for every reference in a binary file; this bounds the nodes one upload costs.
constexpr std::uint64_t kMaxExpandedObjects = std::uint64_t{1} << 20;

std::uint64_t readBigEndian(std::string_view bytes, std::size_t offset, std::size_t width)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

// Walks the object graph of a binary property list without recursion. libplist copies an object
// at every reference to it, so besides the nesting depth the number of objects after copying is
// bounded too, and a cycle is refused. False also for a file too broken to walk.
bool binaryShapeWithinLimits(std::string_view bin)
{
    constexpr std::size_t kHeader = 8, kTrailer = 32;
    if (bin.size() < kHeader + kTrailer) return false;
    const std::size_t trailer = bin.size() - kTrailer;
    const std::size_t offsetSize = static_cast<unsigned char>(bin[trailer + 6]);
    const std::size_t refSize = static_cast<unsigned char>(bin[trailer + 7]);
    const std::uint64_t objectCount = readBigEndian(bin, trailer + 8, 8);
    const std::uint64_t topObject = readBigEndian(bin, trailer + 16, 8);
    const std::uint64_t tableOffset = readBigEndian(bin, trailer + 24, 8);
    if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8) return false;
    if (objectCount == 0 || objectCount > bin.size() || topObject >= objectCount) return false;
    if (tableOffset < kHeader || tableOffset > trailer || (trailer - tableOffset) / offsetSize < objectCount) return false;

    // The children of an object: empty for scalars, nothing at all when the object is malformed.
    auto children = [&](std::uint64_t object) -> std::optional<std::vector<std::uint64_t>> {
        const std::uint64_t offset = readBigEndian(bin, tableOffset + object * offsetSize, offsetSize);
        if (offset < kHeader || offset >= tableOffset) return std::nullopt;
        const auto marker = static_cast<unsigned char>(bin[offset]);
        const unsigned type = marker >> 4;
        if (type != 0xA && type != 0xC && type != 0xD) return std::vector<std::uint64_t>{};
        std::uint64_t count = marker & 0x0F;
        std::size_t pos = offset + 1;
        if (count == 0x0F) {  // the count follows as an integer object
            if (pos >= tableOffset) return std::nullopt;
            const auto intMarker = static_cast<unsigned char>(bin[pos]);
            if ((intMarker >> 4) != 0x1 || (intMarker & 0x0F) > 3) return std::nullopt;
            const std::size_t width = std::size_t{1} << (intMarker & 0x0F);
            if (tableOffset - (pos + 1) < width) return std::nullopt;
            count = readBigEndian(bin, pos + 1, width);
            pos += 1 + width;
        }
        if (count > objectCount) return std::nullopt;
        const std::uint64_t refs = type == 0xD ? count * 2 : count;
        if ((tableOffset - pos) / refSize < refs) return std::nullopt;
        std::vector<std::uint64_t> result;
        result.reserve(refs);
        for (std::uint64_t i = 0; i < refs; ++i) {
            const std::uint64_t ref = readBigEndian(bin, pos + i * refSize, refSize);
            if (ref >= objectCount) return std::nullopt;
            result.push_back(ref);
        }
        return result;
    };

    // Per object once done: the height of its subtree and its size once libplist has copied it.
    struct Shape {
        bool onPath = false, done = false;
        std::uint8_t height = 0;
        std::uint64_t expanded = 0;
    };
    std::vector<Shape> shapes(objectCount);
    struct Frame {
        std::uint64_t object;
        std::vector<std::uint64_t> children;
        std::size_t next = 0;
        std::uint8_t childHeight = 0;
        std::uint64_t expanded = 1;
    };
    std::vector<Frame> path;
    auto enter = [&](std::uint64_t object) {
        auto kids = children(object);
        if (!kids || path.size() == kMaxNesting) return false;
        shapes[object].onPath = true;
        path.push_back(Frame{object, std::move(*kids)});
        return true;
    };
    // Adds a finished subtree to the container on top of the path; false when a bound is passed.
    auto account = [&](const Shape& child) {
        if (path.empty()) return true;
        Frame& parent = path.back();
        if (path.size() + child.height > kMaxNesting) return false;
        parent.childHeight = std::max(parent.childHeight, child.height);
        parent.expanded += child.expanded;
        return parent.expanded <= kMaxExpandedObjects;
    };

    if (!enter(topObject)) return false;
    while (!path.empty()) {
        Frame& frame = path.back();
        if (frame.next < frame.children.size()) {
            const std::uint64_t child = frame.children[frame.next++];
            if (shapes[child].onPath) return false;  // a cycle
            if (shapes[child].done) {
                if (!account(shapes[child])) return false;
            } else if (!enter(child)) {
                return false;
            }
            continue;
        }
        Shape& shape = shapes[frame.object];
        shape = Shape{false, true, static_cast<std::uint8_t>(frame.childHeight + 1), frame.expanded};
        path.pop_back();
        if (!account(shape)) return false;
    }
    return true;
}

// libplist reads and frees nested XML elements recursively, some tens of bytes of stack per level,
// and seven bytes of "<array>" make a level: a 2 MiB file already overruns an 8 MiB stack. So the
// parse runs on a thread whose stack grows with the input, about ten times what it can need.
template <typename Work>
bool runOnLargeStack(std::size_t inputBytes, Work& work)
{
    const std::size_t stackBytes = 8 * 1024 * 1024 + 64 * inputBytes;
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    pthread_t thread;
    const bool started = pthread_attr_setstacksize(&attributes, stackBytes) == 0 &&
                         pthread_create(&thread, &attributes, [](void* w) -> void* {
                             (*static_cast<Work*>(w))();
                             return nullptr;
                         }, &work) == 0;
    pthread_attr_destroy(&attributes);
    if (started) pthread_join(thread, nullptr);
    return started;
}

std::optional<std::string> checkParsed(plist_t root)
{
    if (root == nullptr) return "The file is not a property list (XML or binary).";
    if (plist_get_node_type(root) != PLIST_DICT) return "The property list's root is not a dictionary.";
    const plist_t order = plist_dict_get_item(root, "ControlSurfaceParameterOrder");
    if (order == nullptr) return "The file has no ControlSurfaceParameterOrder.";
    if (plist_get_node_type(order) != PLIST_ARRAY) return "The file's ControlSurfaceParameterOrder is not an array.";
    const std::uint32_t count = plist_array_get_size(order);
    for (std::uint32_t i = 0; i < count; ++i)
        if (plist_get_node_type(plist_array_get_item(order, i)) != PLIST_STRING)
            return "The file's ControlSurfaceParameterOrder holds an element that is not a string.";
    return std::nullopt;
}

}  // namespace

std::optional<std::string> parameterOrderFileProblem(std::string_view bytes)
{
    if (bytes.empty()) return "The file is empty.";
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max() / 2) return "The file is too large.";
    if (bytes.substr(0, 8) == "bplist00" && !binaryShapeWithinLimits(bytes))
        return "The file is not a well-formed binary property list, or nests its elements too deeply.";

    std::optional<std::string> problem;
    auto parseAndCheck = [&] {
        // libplist's XML reader looks for the end of the text, so it gets a copy that has one.
        const std::string copy(bytes);
        plist_t root = nullptr;
        plist_from_memory(copy.data(), static_cast<std::uint32_t>(copy.size()), &root);
        problem = checkParsed(root);
        if (root != nullptr) plist_free(root);
    };
    if (!runOnLargeStack(bytes.size(), parseAndCheck)) return "The server could not check the file just now; please try again.";
    return problem;
}

}  // namespace ovserver
