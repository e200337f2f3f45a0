#pragma once

#include "mapping/ParameterOrderFile.h"

#include <QByteArray>

namespace ov::cli {

// What `ovmap show --json` prints of a loaded mapping, laid out as QJsonDocument::Indented lays it out.
QByteArray showJson(const mapping::LoadedMapping &loaded);

} // namespace ov::cli
