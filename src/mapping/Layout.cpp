#include "Layout.h"

#include "AtomicFile.h"
#include "MappingTexts.h"
#include "ParameterMatch.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <algorithm>

namespace ov::mapping {

namespace {

const QString kFormat = QStringLiteral("ovCorvanta layout");
// More pages than any control surface user pages through: a bound for files from elsewhere.
constexpr int kMostLayoutPages = 10000;

QString invalid(const QString &why)
{
    return texts::kNotALayout.arg(why);
}

} // namespace

Layout layoutOf(const QString &name, const MappingTable &table)
{
    Layout layout{name, std::max(1, table.totalPages), {}};
    for (int slot = 0; slot < table.plistBuild.size(); ++slot) {
        const ParameterEntry &entry = table.plistBuild.at(slot);
        if (entry.isEmptySlot())
            continue;
        LayoutControl control{slot / kControlsPerPage + 1, slot % kControlsPerPage + 1, {}, {}};
        if (isNameless(entry))
            control.number = entry.ParamNum;
        else
            control.names = QStringList{entry.Parameter};
        layout.controls.append(std::move(control));
    }
    return layout;
}

QByteArray layoutJson(const Layout &layout)
{
    QJsonArray controls;
    for (const LayoutControl &control : layout.controls) {
        QJsonObject object{{QStringLiteral("page"), control.page}, {QStringLiteral("control"), control.control}};
        if (control.names.isEmpty())
            object.insert(QStringLiteral("number"), control.number);
        else
            object.insert(QStringLiteral("names"), QJsonArray::fromStringList(control.names));
        controls.append(object);
    }
    const QJsonObject root{{QStringLiteral("format"), kFormat},
                           {QStringLiteral("version"), kLayoutVersion},
                           {QStringLiteral("name"), layout.name},
                           {QStringLiteral("pages"), layout.pages},
                           {QStringLiteral("controls"), controls}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<Layout> parseLayout(const QByteArray &bytes, QString *error)
{
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parse);
    const QJsonObject root = document.object();
    const auto fail = [error](const QString &why) -> std::optional<Layout> {
        if (error)
            *error = invalid(why);
        return std::nullopt;
    };
    if (parse.error != QJsonParseError::NoError)
        return fail(parse.errorString());
    if (root.value(QStringLiteral("format")).toString() != kFormat)
        return fail(QStringLiteral("no \"format\": \"%1\"").arg(kFormat));
    const int version = root.value(QStringLiteral("version")).toInt(0);
    if (version < 1 || version > kLayoutVersion)
        return fail(QStringLiteral("version %1 is not one this program reads").arg(version));
    Layout layout;
    layout.name = root.value(QStringLiteral("name")).toString();
    layout.pages = root.value(QStringLiteral("pages")).toInt(0);
    if (layout.name.trimmed().isEmpty())
        return fail(QStringLiteral("it has no name"));
    if (layout.pages < 1 || layout.pages > kMostLayoutPages)
        return fail(QStringLiteral("\"pages\" is not a number from 1 to %1").arg(kMostLayoutPages));
    for (const QJsonValue value : root.value(QStringLiteral("controls")).toArray()) {
        const QJsonObject object = value.toObject();
        LayoutControl control;
        control.page = object.value(QStringLiteral("page")).toInt(0);
        control.control = object.value(QStringLiteral("control")).toInt(0);
        for (const QJsonValue name : object.value(QStringLiteral("names")).toArray()) {
            if (!name.toString().trimmed().isEmpty())
                control.names.append(name.toString());
        }
        control.number = object.value(QStringLiteral("number")).toString();
        if (control.page < 1 || control.page > layout.pages || control.control < 1
            || control.control > kControlsPerPage)
            return fail(QStringLiteral("a control outside pages 1 to %1 and controls 1 to %2")
                            .arg(layout.pages)
                            .arg(kControlsPerPage));
        if (control.names.isEmpty() && control.number.trimmed().isEmpty())
            return fail(QStringLiteral("page %1, control %2 has neither names nor a number")
                            .arg(control.page)
                            .arg(control.control));
        layout.controls.append(std::move(control));
    }
    return layout;
}

QString layoutsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/org.ovcorvanta.LogicTool/Layouts");
}

QString layoutFilePath(const QString &folder, const QString &name)
{
    // The name as a file name: no folder separators, no hidden file, no control characters.
    QString file = name.trimmed().left(100);
    for (QChar &c : file) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':')
            || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    }
    if (file.startsWith(QLatin1Char('.')))
        file[0] = QLatin1Char('_');
    return QDir(folder).filePath(file + QStringLiteral(".json"));
}

bool saveLayout(const QString &folder, const Layout &layout, QString *error)
{
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("the folder %1 cannot be made").arg(folder);
        return false;
    }
    return writeFileAtomically(layoutFilePath(folder, layout.name), layoutJson(layout), error);
}

std::optional<Layout> readLayoutFile(const QString &path, QString *error)
{
    QByteArray bytes;
    if (!readWholeFile(path, &bytes, error))
        return std::nullopt;
    return parseLayout(bytes, error);
}

QVector<Layout> listLayouts(const QString &folder)
{
    QVector<Layout> layouts;
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        if (std::optional<Layout> layout = readLayoutFile(QDir(folder).filePath(file), nullptr))
            layouts.append(std::move(*layout));
    }
    std::sort(layouts.begin(), layouts.end(),
              [](const Layout &a, const Layout &b) { return QString::localeAwareCompare(a.name, b.name) < 0; });
    return layouts;
}

LayoutFit fitLayout(const Layout &layout, const QVector<ParameterEntry> &available)
{
    const ParameterMatch match(available);
    LayoutFit fit;
    fit.pages = layout.pages;
    fit.table.reserve(layout.pages * kControlsPerPage);
    for (int slot = 0; slot < layout.pages * kControlsPerPage; ++slot)
        fit.table.append({kEmptyParamNum, kEmptyParameter, slot / kControlsPerPage + 1, slot});
    for (const LayoutControl &control : layout.controls) {
        const ParameterEntry *found = nullptr;
        if (control.names.isEmpty())
            found = match.find(ParameterEntry{control.number, QString(), 0, 0});
        for (const QString &name : control.names) {
            if ((found = match.find(ParameterEntry{QString(), name, 0, 0})))
                break;
        }
        if (!found) {
            fit.unmatched.append(control.names.isEmpty() ? texts::kNamelessParameter.arg(control.number)
                                                         : control.names.first());
            continue;
        }
        ParameterEntry &slot = fit.table[slotIndex(control.page, control.control)];
        slot.ParamNum = found->ParamNum;
        slot.Parameter = found->Parameter;
        ++fit.matched;
    }
    return fit;
}

} // namespace ov::mapping
