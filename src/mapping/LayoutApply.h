#pragma once

#include "Layout.h"

#include <QString>

namespace ov::mapping {

struct LayoutApplied final {
    int matched = 0;    // controls of the layout that found a parameter of the plug-in
    bool saved = false; // also when the file already held the layout, and was left as it was
    QString failure;    // why the file was not saved; empty when it was, or for a dry run
};

// Opens a plug-in's own file as the editor opens it, puts `layout` on it as Apply Layout does and,
// unless `dryRun`, saves it as Save Mapping saves (backups, atomic replace). A layout that matches
// nothing of the plug-in is not saved.
LayoutApplied applyLayoutToFile(const Layout &layout, const QString &path, bool dryRun);

} // namespace ov::mapping
