#include "LayoutApply.h"

#include "MappingDocument.h"
#include "MappingTexts.h"

namespace ov::mapping {

LayoutApplied applyLayoutToFile(const Layout &layout, const QString &path, bool dryRun)
{
    LayoutApplied applied;
    const MappingDocument::Opened opened = MappingDocument::open(path);
    if (!opened.loaded) {
        applied.failure = opened.detail;
        return applied;
    }
    MappingDocument document;
    document.load(*opened.loaded, path, true);
    applied.matched = document.applyLayout(layout).matched;
    if (dryRun)
        return applied;
    if (applied.matched == 0) {
        applied.failure = texts::kLayoutMatchesNothing;
        return applied;
    }
    // A file that already holds the layout is left alone: a save would only push out its ".prev".
    if (!document.isModified()) {
        applied.saved = true;
        return applied;
    }
    const SaveResult result = document.save();
    applied.saved = result.ok();
    if (!result.ok())
        applied.failure = result.informativeText();
    return applied;
}

} // namespace ov::mapping
