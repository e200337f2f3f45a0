// Entry strings and loading: lines of the input become the slot and parameter lists.
#include "mapping/ParameterOrderFile.h"

#include <cstdlib>

using namespace ov::mapping;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const qsizetype split = text.indexOf(QLatin1Char('\f'));
    const QStringList order = text.left(split < 0 ? text.size() : split).split(QLatin1Char('\n'));
    const QStringList unique = split < 0 ? QStringList() : text.mid(split + 1).split(QLatin1Char('\n'));
    for (const QString &line : order) {
        const ParameterEntry entry = splitEntryString(line);
        if (line.contains(QLatin1Char(' ')) && entry.Parameter != kEmptyParameter && entryString(entry) != line)
            std::abort();
    }
    PlistDocument document;
    document.setStringArray(kControlSurfaceParameterOrderKey, order);
    document.setStringArray(kStoreCSUniqueKey, unique);
    const LoadedMapping loaded = loadMapping(document, 1, 0);
    if (loaded.totalPages != (order.size() + kControlsPerPage - 1) / kControlsPerPage)
        std::abort();
    for (qsizetype i = 0; i < loaded.plistBuild.size(); ++i)
        if (loaded.plistBuild[i].OravelControlNo != i || loaded.plistBuild[i].OravelPage != i / kControlsPerPage + 1)
            std::abort();
    return 0;
}
