#pragma once
// Colours read from what a widget really draws, for the marks that only show as colour.

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace ov::ui::test {

// The colour drawn at the middle of `widget`'s left edge, where a display strip draws its frame.
inline QColor leftEdgeColor(QWidget *widget)
{
    return widget->grab().toImage().pixelColor(1, widget->height() / 2);
}

} // namespace ov::ui::test
