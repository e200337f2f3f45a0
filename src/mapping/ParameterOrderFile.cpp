#include "ParameterOrderFile.h"

#include "AtomicFile.h"
#include "SaveRecall.h"

#include <QFileInfo>

#include <QSet>

namespace ov::mapping {

QStringList controlSurfaceOrder(const PlistDocument &document)
{
    return document.stringArray(kControlSurfaceParameterOrderKey, kEmptySlotString).value_or(QStringList());
}

QStringList storedUniqueParameters(const PlistDocument &document)
{
    return document.stringArray(kStoreCSUniqueKey, std::nullopt).value_or(QStringList());
}

namespace {

int modeFromFile(const PlistDocument &document)
{
    const std::optional<QString> text = document.firstElementText(kOravelCSModeKey);
    if (text == QLatin1String("1"))
        return kModeInstrument;
    if (text == QLatin1String("0"))
        return kModeInsertEffect;
    return kModeUndecided;
}

} // namespace

LoadedMapping loadMapping(const PlistDocument &document, int checkMode, int currentMode)
{
    LoadedMapping loaded;
    int mode = checkMode == 1 ? modeFromFile(document) : currentMode;

    const QStringList unique = storedUniqueParameters(document);
    loaded.available.reserve(unique.size() + 1);
    loaded.available.append(ParameterEntry{});
    for (const QString &element : unique) {
        // The test looks at the whole string, also at strings that add no row such as "-1".
        if (mode == kModeUndecided && element.contains(QLatin1String("olume")))
            mode = kModeInstrument;
        ParameterEntry entry = splitEntryString(element);
        if (!(entry.Parameter == kEmptyParameter && entry.ParamNum == kEmptyParamNum))
            loaded.available.append(std::move(entry));
    }
    if (mode == kModeUndecided)
        mode = kModeInsertEffect;
    loaded.pluginMode = mode;

    const QStringList order = controlSurfaceOrder(document);
    const int count = static_cast<int>(order.size());
    const int pages = count == 0 ? 1 : (count + kControlsPerPage - 1) / kControlsPerPage;
    loaded.plistBuild.reserve(pages * kControlsPerPage);
    for (int i = 0; i < pages * kControlsPerPage; ++i) {
        ParameterEntry entry = i < count ? splitEntryString(order.at(i)) : ParameterEntry{};
        entry.OravelPage = i / kControlsPerPage + 1;
        entry.OravelControlNo = i;
        loaded.plistBuild.append(std::move(entry));
    }
    loaded.totalPages = pages;
    return loaded;
}

LoadedMapping readPlistFile(const QString &path, int checkMode, int currentMode)
{
    return loadMapping(PlistDocument::read(path).document, checkMode, currentMode);
}

TableRead readMappingTable(const QString &path)
{
    const PlistRead read = PlistDocument::read(path);
    if (!read.ok())
        return {std::nullopt, read.error};
    return {loadMapping(read.document, 0, kModeInsertEffect).plistBuild, QString()};
}

bool addAvailableParameterList(PlistDocument &document)
{
    // Any element counts, strings or not: an existing list is never rebuilt.
    if (!document.stringArray(kStoreCSUniqueKey, QString()).value_or(QStringList()).isEmpty())
        return false;
    QStringList list{kEmptySlotString};
    QSet<QString> seen{kEmptySlotString};
    const QStringList order =
        document.stringArray(kControlSurfaceParameterOrderKey, std::nullopt).value_or(QStringList());
    for (const QString &element : order) {
        if (!seen.contains(element)) {
            seen.insert(element);
            list.append(element);
        }
    }
    document.setStringArray(kStoreCSUniqueKey, list);
    return true;
}

OravelizeResult oravelizePlistFile(const QString &path)
{
    OravelizeResult result;
    PlistRead read = PlistDocument::read(path);
    result.document = std::move(read.document);
    result.detail = read.error;
    const QByteArray &bytes = read.bytes;
    const PlistReadStatus status = read.status;
    if (status == PlistReadStatus::Missing) {
        result.outcome = OravelizeOutcome::Missing;
        return result;
    }
    if (status != PlistReadStatus::Ok) {
        result.outcome = OravelizeOutcome::Unreadable;
        return result;
    }
    if (!addAvailableParameterList(result.document)) {
        result.outcome = OravelizeOutcome::AlreadyListed;
        return result;
    }
    // Adding the list is the first write to Logic's file: the original backup must hold the file as
    // Logic wrote it (binary or XML), not our rewrite of it.
    const QString original = backupPath(path, kOriginalSuffix);
    if (!QFileInfo::exists(original) && !writeFileAtomically(original, bytes, &result.detail)) {
        result.outcome = OravelizeOutcome::WriteFailed;
        result.document = PlistDocument::read(path).document;
        return result;
    }
    if (!writeFileAtomically(path, result.document.toXml(), &result.detail)) {
        result.outcome = OravelizeOutcome::WriteFailed;
        result.document = PlistDocument::read(path).document;
        return result;
    }
    result.outcome = OravelizeOutcome::Added;
    result.detail.clear();
    return result;
}

} // namespace ov::mapping
