#pragma once

#include <QString>

namespace ov::mapping {

// Controls per page of the front panel; control c of page p is slot (p - 1) * 32 + (c - 1).
inline constexpr int kControlsPerPage = 32;

inline const QString kEmptyParamNum = QStringLiteral("0");
inline const QString kEmptyParameter = QStringLiteral("-");
// How the empty slot is written in a parameter-order file.
inline const QString kEmptySlotString = QStringLiteral("-1");

// One parameter of a plug-in, or the content of one control slot.
struct ParameterEntry final {
    QString ParamNum = kEmptyParamNum;
    QString Parameter = kEmptyParameter;
    int OravelPage = 0;
    int OravelControlNo = 0;

    bool isEmptySlot() const { return Parameter == kEmptyParameter; }
    friend bool operator==(const ParameterEntry &, const ParameterEntry &) = default;
};

// Splits an entry string such as "12 Filter Cutoff" at its first blank. Nothing is trimmed; a
// string without a blank (such as "-1") is the empty slot. Page and slot are left at 0.
ParameterEntry splitEntryString(const QString &entry);

// The string a slot is written as: "-1" when its Parameter is "-", else "ParamNum Parameter".
QString entryString(const ParameterEntry &entry);

// Whether the Plugin Parameters list's search text finds the entry: its number or its name holds
// the text, capitals and small letters alike. An empty text finds every entry.
bool matchesSearch(const ParameterEntry &entry, const QString &text);

inline int slotIndex(int page, int control)
{
    return (page - 1) * kControlsPerPage + (control - 1);
}

} // namespace ov::mapping
