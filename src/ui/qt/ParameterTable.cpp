#include "ParameterTable.h"

#include "ParameterListModel.h"

#include <QDrag>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>

namespace ov::ui::qt {

QString ParameterTable::dragText(int row) const
{
    const QString name = model()->index(row, ParameterListModel::ParameterColumn).data().toString();
    return name.trimmed().isEmpty() ? model()->index(row, ParameterListModel::ParamNumColumn).data().toString() : name;
}

void ParameterTable::startDrag(Qt::DropActions supportedActions)
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    QMimeData *mimeData = model()->mimeData(selectedIndexes());
    if (!mimeData)
        return;

    const QString text = fontMetrics().elidedText(dragText(rows.first().row()), Qt::ElideRight, 320);
    const QSize size(fontMetrics().horizontalAdvance(text) + 20, fontMetrics().height() + 10);
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(palette().color(QPalette::Highlight).darker(130));
        painter.setBrush(palette().color(QPalette::Highlight));
        painter.drawRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
        painter.setPen(palette().color(QPalette::HighlightedText));
        painter.setFont(font());
        painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, text);
    }
    auto *drag = new QDrag(this);
    drag->setMimeData(mimeData);
    drag->setPixmap(pixmap);
    drag->setHotSpot(QPoint(size.width() / 2, size.height() / 2));
    drag->exec(supportedActions, defaultDropAction());
}

} // namespace ov::ui::qt
