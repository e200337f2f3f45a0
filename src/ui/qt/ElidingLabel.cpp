#include "ElidingLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace ov::ui::qt {

namespace {
constexpr int kStripPadding = 4;
}

ElidingLabel::ElidingLabel(int maxLines, Qt::TextElideMode elideMode, QWidget *parent)
    : QLabel(parent), m_maxLines(std::max(maxLines, 1)), m_elideMode(elideMode)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

QStringList ElidingLabel::visibleLines(const QString &text, const QFont &font, int width, int maxLines,
                                       Qt::TextElideMode elideMode)
{
    const QFontMetrics metrics(font);
    if (maxLines <= 1 || width <= 0)
        return {metrics.elidedText(QString(text).remove(QChar::SoftHyphen), elideMode, std::max(width, 0))};
    // Lines break between words, or at a soft hyphen, where the hyphen then shows; never inside a
    // word otherwise: a word wider than the line is elided instead.
    const auto shown = [&metrics, width](QString line) {
        line = line.trimmed();
        if (line.endsWith(QChar::SoftHyphen))
            line.back() = QLatin1Char('-');
        line.remove(QChar::SoftHyphen);
        return metrics.horizontalAdvance(line) > width ? metrics.elidedText(line, Qt::ElideRight, width) : line;
    };
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        if (lines.size() == maxLines - 1 && line.textStart() + line.textLength() < text.size()) {
            // The last line takes the rest of the text, elided when it does not fit.
            QString rest = text.mid(line.textStart()).trimmed();
            rest.remove(QChar::SoftHyphen);
            lines.append(metrics.elidedText(rest, Qt::ElideRight, width));
            break;
        }
        lines.append(shown(text.mid(line.textStart(), line.textLength())));
    }
    layout.endLayout();
    if (lines.isEmpty())
        lines.append(QString());
    return lines;
}

void ElidingLabel::setDetail(const QString &detail)
{
    if (detail == m_detail)
        return;
    const bool shown = !detail.isEmpty() != !m_detail.isEmpty();
    m_detail = detail;
    if (shown)
        updateGeometry();
    update();
}

QFont ElidingLabel::detailFont(const QFont &font)
{
    QFont small = font;
    small.setPointSizeF(font.pointSizeF() * 0.8);
    return small;
}

QColor ElidingLabel::detailColor(const QColor &text, const QColor &background)
{
    // A quarter of the way to the background: dimmer than the name, and small text needs the contrast.
    constexpr float kDim = 0.25f;
    const auto mix = [](float from, float to) { return from + (to - from) * kDim; };
    return QColor::fromRgbF(mix(text.redF(), background.redF()), mix(text.greenF(), background.greenF()),
                            mix(text.blueF(), background.blueF()));
}

int ElidingLabel::heightFor(const QFont &font, int lines, bool detail, bool strip)
{
    return lines * QFontMetrics(font).lineSpacing() + (detail ? QFontMetrics(detailFont(font)).lineSpacing() : 0)
           + (strip ? 2 * kStripPadding : 0);
}

QSize ElidingLabel::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int padding = m_stripColor.isValid() ? 2 * kStripPadding : 0;
    const int width = std::min(metrics.horizontalAdvance(text()), 40 * metrics.averageCharWidth());
    return {width + padding, heightFor(font(), m_maxLines, !m_detail.isEmpty(), m_stripColor.isValid())};
}

QSize ElidingLabel::minimumSizeHint() const
{
    const QFontMetrics metrics(font());
    const int padding = m_stripColor.isValid() ? 2 * kStripPadding : 0;
    // With a detail line, the text may give up all but one of its lines.
    const int lines = m_detail.isEmpty() ? m_maxLines : 1;
    return {4 * metrics.averageCharWidth() + padding,
            heightFor(font(), lines, !m_detail.isEmpty(), m_stripColor.isValid())};
}

void ElidingLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect area = contentsRect();
    if (m_stripColor.isValid()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(m_stripColor.darker(160));
        painter.setBrush(m_stripColor);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        area.adjust(kStripPadding, kStripPadding, -kStripPadding, -kStripPadding);
    }
    if (m_frameColor.isValid()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(m_frameColor, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
    }
    const QColor textColor = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole());
    const int lineHeight = QFontMetrics(font()).lineSpacing();
    int maxLines = m_maxLines;
    if (!m_detail.isEmpty()) {
        const QFont small = detailFont(font());
        const int detailHeight = QFontMetrics(small).lineSpacing();
        const QRect detailArea(area.left(), area.bottom() + 1 - detailHeight, area.width(), detailHeight);
        const QColor background = m_stripColor.isValid() ? m_stripColor : palette().color(backgroundRole());
        painter.setPen(detailColor(textColor, background));
        painter.setFont(small);
        painter.drawText(detailArea, int((alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter),
                         QFontMetrics(small).elidedText(m_detail, Qt::ElideRight, area.width()));
        area.setBottom(detailArea.top() - 1);
        maxLines = std::clamp(area.height() / std::max(lineHeight, 1), 1, m_maxLines);
    }
    painter.setPen(textColor);
    painter.setFont(font());
    const QStringList lines = visibleLines(text(), font(), area.width(), maxLines, m_elideMode);
    const int blockHeight = static_cast<int>(lines.size()) * lineHeight;
    int top = area.top();
    if (alignment() & Qt::AlignVCenter)
        top += (area.height() - blockHeight) / 2;
    const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
    for (const QString &line : lines) {
        painter.drawText(QRect(area.left(), top, area.width(), lineHeight), int(horizontal | Qt::AlignVCenter), line);
        top += lineHeight;
    }
}

} // namespace ov::ui::qt
