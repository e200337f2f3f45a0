#pragma once

// Readable failure messages for the model's records.
#include "catalogue/PluginRecord.h"
#include "mapping/ParameterEntry.h"

#include <ostream>

namespace ov::mapping {
inline void PrintTo(const ParameterEntry &e, std::ostream *os)
{
    *os << "{\"" << e.ParamNum.toStdString() << "\", \"" << e.Parameter.toStdString() << "\", " << e.OravelPage << ", "
        << e.OravelControlNo << "}";
}
} // namespace ov::mapping

namespace ov::catalogue {
inline void PrintTo(const PluginRecord &r, std::ostream *os)
{
    *os << "{\"" << r.Type.toStdString() << "\", \"" << r.Plugin.toStdString() << "\", \"" << r.State.toStdString()
        << "\", \"" << r.fileLocation.toStdString() << "\"}";
}
} // namespace ov::catalogue

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE
