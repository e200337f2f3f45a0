#pragma once

#include "mapping/ParameterEntry.h"
#include "panel/Chart.h"

#include <QFrame>

#include <array>

class QMimeData;
class QPushButton;

namespace ov::ui::qt {

class ElidingLabel;

// The on-screen control surface: 32 controls in four rows of eight encoders, each a button with the
// control's number (ovRotBtn1 ... ovRotBtn32) above a display strip naming its parameter
// (ovControl1 ... ovControl32) and, in a small second line, its number. A click anywhere on a
// control, knob or strip, presses it.
//
// A parameter dragged from the list onto a control, or one control dragged onto another, is
// reported, not carried out. With a control focused, the arrow keys move across the controls, Return
// or Enter presses it, Delete or Backspace asks to empty it, PageUp and PageDown ask for the previous
// or next page; Tab leaves the panel, which is one stop of the window's Tab order.
class FrontPanel final : public QFrame {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FrontPanel)

public:
    static constexpr int kEncodersPerRow = panel::kEncodersPerRow; // four rows of eight encoders

    explicit FrontPanel(QWidget *parent = nullptr);

    // Controls are numbered 1 to 32.
    QPushButton *button(int control) const { return m_buttons.at(control - 1); }
    ElidingLabel *label(int control) const { return m_labels.at(control - 1); }
    void setControlsEnabled(bool enabled);
    // The strip's name, and the parameter's number in the strip's second line; the knob's accessible
    // description follows both.
    void setControlText(int control, const QString &text);
    void setControlNumber(int control, const QString &number);

    // The strip's tooltip: its parameter, and the line of the mark below it when there is one.
    void setControlToolTip(int control, const QString &toolTip);
    // Marks a control whose parameter stands on other controls too: a coloured frame, and `line` in
    // its tooltip. An empty line clears the mark.
    void setControlAlsoOn(int control, const QString &line);
    // Marks a control whose parameter differs from the mapping compared with: a strip of another
    // colour, and `line` (its former parameter) in its tooltip. An empty line clears the mark.
    void setControlChanged(int control, const QString &line);
    // Marks a control holding an entry the plug-in lacks: a frame of its own colour, before any
    // other, and `line` (what is wrong) in its tooltip. An empty line clears the mark.
    void setControlMisfit(int control, const QString &line);
    // The name cut to the display width, shown after the number in the strip's second line, with
    // `line` in the tooltip; `clashes` frames the strip. Empty texts clear them.
    void setControlCutName(int control, const QString &cutName, const QString &line, bool clashes);
    // The control last focused, pressed or right-clicked (1 at first): where the Edit menu's
    // "Fill From Here" starts.
    int currentControl() const { return m_currentControl; }
    // Puts the keyboard on `control` when it is enabled.
    void focusControl(int control);

    // The panel draws its knobs and strips larger or smaller with the room it has: from a compact size
    // with one line of each name (minimumSizeHint) to large knobs with two lines.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The height at which the panel, `width` wide, draws at the largest scale that width allows.
    int idealHeight(int width) const;

signals:
    void controlPressed(int control);
    // A parameter of the list (`row` in the list's own order, holding `entry`) dropped on a control.
    void parameterDropped(int control, int row, const mapping::ParameterEntry &entry);
    // Control `fromControl` dropped on control `toControl`.
    void controlDropped(int fromControl, int toControl);
    // PageUp (-1) or PageDown (+1) on a control.
    void pageStepRequested(int step);
    // "Fill From Here" chosen in a control's context menu.
    void fillFromHereRequested(int control);
    // Delete or Backspace on a control, or "Clear Control" in its context menu.
    void clearRequested(int control);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QFont stripFont(double scale) const;
    int cellHeight(double scale, int lines) const;
    QSize sizeFor(double scale, int lines) const;
    double scaleFor(const QSize &size) const;
    void applyScale(double scale);
    void updateDescription(int control);

    bool acceptsDrop(int control, const QMimeData *mimeData) const;
    void showDropTarget(int control, bool shown);
    void startControlDrag(int control, QWidget *source);
    bool handleKey(int control, int key);
    void updateToolTip(int control);
    void updateFrame(int control);
    void updateDetail(int control);

    std::array<QWidget *, mapping::kControlsPerPage> m_cells{};
    std::array<QPushButton *, mapping::kControlsPerPage> m_buttons{};
    std::array<ElidingLabel *, mapping::kControlsPerPage> m_labels{};
    std::array<QString, mapping::kControlsPerPage> m_toolTips{};
    std::array<QString, mapping::kControlsPerPage> m_alsoOn{};
    std::array<QString, mapping::kControlsPerPage> m_changed{};
    std::array<QString, mapping::kControlsPerPage> m_misfit{};
    std::array<QString, mapping::kControlsPerPage> m_numbers{};
    std::array<QString, mapping::kControlsPerPage> m_cutNames{};
    std::array<QString, mapping::kControlsPerPage> m_cutLines{};
    std::array<bool, mapping::kControlsPerPage> m_clashes{};
    int m_currentControl = 1;
    int m_pressedControl = 0; // where a drag may start
    QPoint m_pressPosition;
    QFont m_stripFont; // at scale 1
    int m_knobDiameter = 0;
};

} // namespace ov::ui::qt
