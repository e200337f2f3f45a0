#pragma once

#include "mapping/ParameterOrderFile.h"

#include <QStringList>
#include <QTextStream>

namespace ov::cli {

// The usage lines of check, show --width and layout, for ovmap's usage text.
extern const char kMappingsUsage[];

// `ovmap check [--repair] FILE...`: exits 0 when every control fits its plug-in, 1 when some do
// not, 2 when a file could not be read or a repair could not be saved.
int commandCheck(const QStringList &arguments, QTextStream &out, QTextStream &err);

// `ovmap show FILE --width N [--page N]`: each control's name cut to the width, and which controls
// of the same page show the same; every page, or the one asked for.
void showCutNames(const mapping::LoadedMapping &loaded, int page, int width, QTextStream &out);

// `ovmap layout save|list|apply ...`: exits 1 when anything could not be read or saved.
int commandLayout(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace ov::cli
