#pragma once

#include <QString>
#include <QVector>

namespace ov::catalogue {

inline const QString kEditableState = QStringLiteral("Editable");

// One discovered parameter-order file.
struct PluginRecord final {
    QString Type;
    QString Plugin;
    QString State = kEditableState;
    QString fileLocation;

    friend bool operator==(const PluginRecord &, const PluginRecord &) = default;
};

using PluginList = QVector<PluginRecord>;

} // namespace ov::catalogue
