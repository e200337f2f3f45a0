#pragma once

#include <QColor>
#include <QLabel>

namespace ov::ui::qt {

// A label that keeps its whole text (text() returns it unchanged) but shows at most `maxLines`
// wrapped lines of it, eliding the rest, so a long parameter name or path never widens the window.
class ElidingLabel final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ElidingLabel)

public:
    ElidingLabel(int maxLines, Qt::TextElideMode elideMode, QWidget *parent = nullptr);

    // Draws a rounded panel of this colour behind the text (the front panel's display strips).
    void setStripColor(const QColor &color)
    {
        m_stripColor = color;
        update();
    }
    QColor stripColor() const { return m_stripColor; }
    // Draws a frame of this colour around the strip; an invalid colour draws none.
    void setFrameColor(const QColor &color)
    {
        m_frameColor = color;
        update();
    }
    // A small second line below the text, in a smaller and dimmer font (the front panel's strips show
    // their parameter's number there). The text keeps at least one line above it.
    void setDetail(const QString &detail);
    QString detail() const { return m_detail; }
    static QFont detailFont(const QFont &font);
    // The detail line's colour: the text's, dimmed towards `background` yet still readable on it.
    static QColor detailColor(const QColor &text, const QColor &background);
    // The height of `lines` lines of `font`, with the detail line and the strip's padding when asked.
    static int heightFor(const QFont &font, int lines, bool detail, bool strip);

    // The lines shown for `text` in `width` pixels: wrapped at word boundaries or soft hyphens (shown
    // as a hyphen at the line's end), a word too long for a line elided, the last line elided when
    // the text does not fit.
    static QStringList visibleLines(const QString &text, const QFont &font, int width, int maxLines,
                                    Qt::TextElideMode elideMode);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_maxLines;
    Qt::TextElideMode m_elideMode;
    QColor m_stripColor;
    QColor m_frameColor;
    QString m_detail;
};

} // namespace ov::ui::qt
