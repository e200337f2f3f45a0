// The parameter-order reader on arbitrary bytes, XML or binary: loading never fails, and what a save
// writes reads back as the same table.
#include "mapping/ParameterOrderFile.h"
#include "mapping/SaveRecall.h"

#include <cstdlib>

using namespace ov::mapping;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // An odd first byte steers the input to the binary reader.
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (!bytes.isEmpty() && (bytes.at(0) & 1))
        bytes = QByteArrayLiteral("bplist00") + bytes.mid(1);
    PlistDocument document = PlistDocument::parse(bytes).document;
    LoadedMapping loaded = loadMapping(document, 1, 0);
    if (loaded.plistBuild.size() != qsizetype(loaded.totalPages) * kControlsPerPage || loaded.available.isEmpty())
        std::abort();
    addAvailableParameterList(document);
    document.setStringArray(kControlSurfaceParameterOrderKey, slotList(loaded.plistBuild));
    const PlistRead reread = PlistDocument::parse(document.toXml());
    if (!reread.ok() || loadMapping(reread.document, 0, 0).plistBuild != loaded.plistBuild)
        std::abort();
    return 0;
}
