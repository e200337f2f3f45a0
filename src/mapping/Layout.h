#pragma once

#include "MappingTable.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace ov::mapping {

// One control of a layout: the names it takes, tried in order ("Cutoff|Frequency|Freq"), or, for a
// parameter without a name, its number.
struct LayoutControl final {
    int page = 1;
    int control = 1;
    QStringList names;
    QString number; // only for a nameless parameter

    friend bool operator==(const LayoutControl &, const LayoutControl &) = default;
};

// A named arrangement of parameter names on pages and controls, for putting the same layout on many
// plug-ins. Kept as a small JSON file:
//   {"format": "ovCorvanta layout", "version": 1, "name": "Synths", "pages": 2,
//    "controls": [{"page": 1, "control": 1, "names": ["Cutoff", "Frequency"]},
//                 {"page": 1, "control": 2, "number": "301"}]}
struct Layout final {
    QString name;
    int pages = 1;
    QVector<LayoutControl> controls;

    friend bool operator==(const Layout &, const Layout &) = default;
};

inline constexpr int kLayoutVersion = 1;

// The layout of a mapping: every control that holds a parameter, by its name (or number when it
// has none).
Layout layoutOf(const QString &name, const MappingTable &table);

QByteArray layoutJson(const Layout &layout);
// Nothing, with `error` saying why, for bytes that are not a layout of a version we read.
std::optional<Layout> parseLayout(const QByteArray &bytes, QString *error);

// The folder layouts are kept in, and the file a layout of `name` is kept as there.
QString layoutsFolder();
QString layoutFilePath(const QString &folder, const QString &name);

// Writes the layout into `folder` atomically; false with `error` when it cannot.
bool saveLayout(const QString &folder, const Layout &layout, QString *error);
std::optional<Layout> readLayoutFile(const QString &path, QString *error);
// Every layout of the folder, by name; files that are not layouts are passed over.
QVector<Layout> listLayouts(const QString &folder);

struct LayoutFit final {
    QVector<ParameterEntry> table; // the layout on this plug-in's parameters, pages * 32 slots
    int pages = 1;
    int matched = 0;       // controls that found a parameter
    QStringList unmatched; // the first name of each control that found none, in order
};

// The layout on a plug-in with these parameters: each control takes the parameter that the first
// of its names finds, as a mapping copied from another plug-in finds it (the same name, then the
// same in other capitals); a nameless one by its number.
LayoutFit fitLayout(const Layout &layout, const QVector<ParameterEntry> &available);

} // namespace ov::mapping
