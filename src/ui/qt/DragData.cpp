#include "DragData.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QIODevice>
#include <QMimeData>

namespace ov::ui::qt::drag {

namespace {

// The payload of `format`, when the drag carries one.
std::optional<QByteArray> ownPayload(const QMimeData *mimeData, const QString &format)
{
    if (!mimeData || !mimeData->hasFormat(format))
        return std::nullopt;
    return mimeData->data(format);
}

bool fromThisProcess(QDataStream &stream)
{
    qint64 pid = 0;
    stream >> pid;
    return stream.status() == QDataStream::Ok && pid == QCoreApplication::applicationPid();
}

} // namespace

QMimeData *parameterMimeData(int row, const mapping::ParameterEntry &entry)
{
    QByteArray payload;
    QDataStream stream(&payload, QIODevice::WriteOnly);
    stream << qint64(QCoreApplication::applicationPid()) << qint32(row) << entry.ParamNum << entry.Parameter;
    auto *mimeData = new QMimeData;
    mimeData->setData(kParameterMimeType, payload);
    return mimeData;
}

std::optional<DraggedParameter> draggedParameter(const QMimeData *mimeData)
{
    const std::optional<QByteArray> payload = ownPayload(mimeData, kParameterMimeType);
    if (!payload)
        return std::nullopt;
    QDataStream stream(*payload);
    if (!fromThisProcess(stream))
        return std::nullopt;
    qint32 row = -1;
    DraggedParameter dragged;
    stream >> row >> dragged.entry.ParamNum >> dragged.entry.Parameter;
    if (stream.status() != QDataStream::Ok || row < 0)
        return std::nullopt;
    dragged.row = row;
    return dragged;
}

QMimeData *controlMimeData(int control)
{
    QByteArray payload;
    QDataStream stream(&payload, QIODevice::WriteOnly);
    stream << qint64(QCoreApplication::applicationPid()) << qint32(control);
    auto *mimeData = new QMimeData;
    mimeData->setData(kControlMimeType, payload);
    return mimeData;
}

std::optional<int> draggedControl(const QMimeData *mimeData)
{
    const std::optional<QByteArray> payload = ownPayload(mimeData, kControlMimeType);
    if (!payload)
        return std::nullopt;
    QDataStream stream(*payload);
    if (!fromThisProcess(stream))
        return std::nullopt;
    qint32 control = 0;
    stream >> control;
    if (stream.status() != QDataStream::Ok || control < 1 || control > mapping::kControlsPerPage)
        return std::nullopt;
    return control;
}

} // namespace ov::ui::qt::drag
