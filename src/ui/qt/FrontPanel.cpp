#include "FrontPanel.h"

#include "DragData.h"
#include "ElidingLabel.h"
#include "PlainToolTip.h"

#include "ui/UiTexts.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QGridLayout>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace ov::ui::qt {

namespace {

const QColor kStripColor(0x12, 0x33, 0x38);
// The frame of a strip whose parameter stands on other controls too.
const QColor kAlsoOnFrameColor(0xf0, 0xa0, 0x30);
// The frame of a strip holding an entry the plug-in lacks, and of one whose cut name others share.
const QColor kMisfitFrameColor(0xe8, 0x3a, 0x3a);
const QColor kClashFrameColor(0x3a, 0xb8, 0xf0);
// The strip of a control whose parameter changed (Show Changes).
const QColor kChangedStripColor(0x4a, 0x2c, 0x5e);

// Every widget of a control carries the control's number.
constexpr char kControlProperty[] = "ovControlNumber";

// Knobs are drawn at this diameter at scale 1; the panel scales between kMinScale and kMaxScale with
// the room it is given.
constexpr int kKnobDiameter = 40;
constexpr double kMinScale = 0.6;
constexpr double kMaxScale = 1.4;
// Counted in whole steps of 0.05, so that rounding cannot drop or add the smallest scale.
constexpr int kScaleSteps = 16;
constexpr double kScaleStep = (kMaxScale - kMinScale) / kScaleSteps;
constexpr int kMargin = 10;
constexpr int kHorizontalSpacing = 8;
constexpr int kVerticalSpacing = 8;
constexpr int kRows = mapping::kControlsPerPage / panel::kEncodersPerRow;
// The strips' fonts stop scaling sooner than the knobs, to stay readable and not grow coarse.
constexpr double kMinFontScale = 0.85;
constexpr double kMaxFontScale = 1.25;

int knobDiameter(double scale)
{
    return static_cast<int>(std::lround(kKnobDiameter * scale));
}

int knobGap(double scale)
{
    return std::max(2, static_cast<int>(std::lround(5 * scale)));
}

QString panelStyle(int knob)
{
    return QStringLiteral(
               "QFrame#frontPanel { background: #2a2c31; border: 1px solid #17181b; border-radius: 8px; }"
               "QPushButton[knob=\"true\"] {"
               "  min-width: %1px; max-width: %1px; min-height: %1px; max-height: %1px; padding: 0px;"
               "  border-radius: %2px; border: 2px solid #141518; color: #f2f2f2; font-weight: bold;"
               "  background: qradialgradient(cx:0.5, cy:0.5, radius:0.6, fx:0.38, fy:0.32,"
               "              stop:0 #9a9da4, stop:0.65 #51545c, stop:1 #383a40); }"
               "QPushButton[knob=\"true\"]:hover { border-color: #f0a030; }"
               "QPushButton[knob=\"true\"]:pressed { background: #f0a030; color: #141518; }"
               "QPushButton[knob=\"true\"]:focus { border-color: #7cc7ff; }"
               "QPushButton[knob=\"true\"][dropTarget=\"true\"] { border-color: #f0a030; background: #6a5a3a; }"
               "QPushButton[knob=\"true\"]:disabled { color: #70737a; background: #393b41; border-color: #2a2b2f; }")
        .arg(knob - 4) // the style's size is inside the 2px border
        .arg(knob / 2);
}

} // namespace

FrontPanel::FrontPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("frontPanel"));
    auto *grid = new QGridLayout(this);
    // The panel's size comes from its own hints, which do not follow the scale it is drawn at.
    grid->setSizeConstraint(QLayout::SetNoConstraint);
    grid->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    grid->setHorizontalSpacing(kHorizontalSpacing);
    grid->setVerticalSpacing(kVerticalSpacing);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);

    m_stripFont = font();
    m_stripFont.setPointSizeF(m_stripFont.pointSizeF() * 0.9);
    QPalette stripPalette = palette();
    stripPalette.setColor(QPalette::Active, QPalette::WindowText, QColor(0xc8, 0xf4, 0xff));
    stripPalette.setColor(QPalette::Inactive, QPalette::WindowText, QColor(0xc8, 0xf4, 0xff));
    stripPalette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x6a, 0x8a, 0x90));

    for (int n = 1; n <= mapping::kControlsPerPage; ++n) {
        auto *cell = new QWidget(this);
        auto *column = new QVBoxLayout(cell);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(knobGap(1.0));

        auto *button = new QPushButton(QString::number(n), cell);
        button->setObjectName(QStringLiteral("ovRotBtn%1").arg(n));
        button->setProperty("knob", true);
        button->setCursor(Qt::PointingHandCursor);
        button->setToolTip(texts::kControlToolTip.arg(n));
        button->setAccessibleName(texts::kControlName.arg(n));
        connect(button, &QPushButton::clicked, this, [this, n] { emit controlPressed(n); });

        auto *label = new ElidingLabel(2, Qt::ElideRight, cell);
        label->setObjectName(QStringLiteral("ovControl%1").arg(n));
        label->setAlignment(Qt::AlignCenter);
        label->setFont(m_stripFont);
        label->setPalette(stripPalette);
        label->setStripColor(kStripColor);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
        label->setText(mapping::kEmptyParameter);
        label->setCursor(Qt::PointingHandCursor);

        column->addWidget(button, 0, Qt::AlignHCenter);
        column->addWidget(label, 1);
        m_cells[n - 1] = cell;
        m_buttons[n - 1] = button;
        m_labels[n - 1] = label;

        // One control at a time is a Tab stop, so that Tab leaves the panel; the arrows move inside.
        button->setFocusPolicy(n == 1 ? Qt::StrongFocus : Qt::ClickFocus);
        for (QWidget *widget : {cell, static_cast<QWidget *>(button), static_cast<QWidget *>(label)}) {
            widget->setProperty(kControlProperty, n);
            widget->setAcceptDrops(true);
            widget->installEventFilter(this);
        }
        grid->addWidget(cell, (n - 1) / kEncodersPerRow, (n - 1) % kEncodersPerRow);
    }
    // Every encoder gets the same width and every row the same height, whatever its parameter's name.
    for (int column = 0; column < kEncodersPerRow; ++column)
        grid->setColumnStretch(column, 1);
    for (int row = 0; row < kRows; ++row)
        grid->setRowStretch(row, 1);
    applyScale(1.0);
}

int FrontPanel::cellHeight(double scale, int lines) const
{
    return knobDiameter(scale) + knobGap(scale) + ElidingLabel::heightFor(stripFont(scale), lines, true, true);
}

QFont FrontPanel::stripFont(double scale) const
{
    QFont scaled = m_stripFont;
    scaled.setPointSizeF(m_stripFont.pointSizeF() * std::clamp(scale, kMinFontScale, kMaxFontScale));
    return scaled;
}

QSize FrontPanel::sizeFor(double scale, int lines) const
{
    const int cellWidth = std::max(2 * knobDiameter(scale), 7 * QFontMetrics(stripFont(scale)).averageCharWidth());
    return {2 * kMargin + kEncodersPerRow * cellWidth + (kEncodersPerRow - 1) * kHorizontalSpacing,
            2 * kMargin + kRows * cellHeight(scale, lines) + (kRows - 1) * kVerticalSpacing};
}

double FrontPanel::scaleFor(const QSize &size) const
{
    const int cellHeightAvailable = (size.height() - 2 * kMargin - (kRows - 1) * kVerticalSpacing) / kRows;
    // The largest scale at which two lines of the name fit, else the largest at which one does.
    for (const int lines : {2, 1}) {
        for (int step = 0; step <= kScaleSteps; ++step) {
            const double scale = kMaxScale - step * kScaleStep;
            // The strips' font grows with the knobs only while the strips widen with it.
            if (sizeFor(scale, lines).width() <= size.width() && cellHeight(scale, lines) <= cellHeightAvailable)
                return scale;
        }
    }
    return kMinScale;
}

int FrontPanel::idealHeight(int width) const
{
    const double scale = scaleFor({width, QWIDGETSIZE_MAX / 2});
    return sizeFor(scale, 2).height();
}

QSize FrontPanel::sizeHint() const
{
    return sizeFor(1.0, 2);
}

QSize FrontPanel::minimumSizeHint() const
{
    return sizeFor(kMinScale, 1);
}

void FrontPanel::resizeEvent(QResizeEvent *event)
{
    applyScale(scaleFor(event->size()));
    QFrame::resizeEvent(event);
}

void FrontPanel::applyScale(double scale)
{
    const int knob = knobDiameter(scale);
    if (knob == m_knobDiameter)
        return;
    m_knobDiameter = knob;
    setStyleSheet(panelStyle(knob));
    const QFont font = stripFont(scale);
    for (int n = 1; n <= mapping::kControlsPerPage; ++n) {
        label(n)->setFont(font);
        static_cast<QVBoxLayout *>(m_cells.at(n - 1)->layout())->setSpacing(knobGap(scale));
    }
}

void FrontPanel::setControlText(int control, const QString &text)
{
    label(control)->setText(text);
    updateDescription(control);
}

void FrontPanel::setControlNumber(int control, const QString &number)
{
    m_numbers.at(control - 1) = number;
    updateDetail(control);
}

void FrontPanel::updateDetail(int control)
{
    const QString &number = m_numbers.at(control - 1);
    const QString &cut = m_cutNames.at(control - 1);
    label(control)->setDetail(cut.isEmpty() ? number : texts::kCutNameDetail.arg(number, cut).trimmed());
    updateDescription(control);
}

void FrontPanel::updateDescription(int control)
{
    const ElidingLabel *strip = label(control);
    QStringList parts{strip->text(), strip->detail()};
    parts.removeAll(QString());
    button(control)->setAccessibleDescription(parts.join(QLatin1Char(' ')));
}

void FrontPanel::setControlsEnabled(bool enabled)
{
    for (QPushButton *button : m_buttons)
        button->setEnabled(enabled);
    for (ElidingLabel *label : m_labels)
        label->setEnabled(enabled);
}

void FrontPanel::setControlToolTip(int control, const QString &toolTip)
{
    m_toolTips.at(control - 1) = toolTip;
    updateToolTip(control);
}

void FrontPanel::setControlAlsoOn(int control, const QString &line)
{
    m_alsoOn.at(control - 1) = line;
    updateFrame(control);
    updateToolTip(control);
}

void FrontPanel::setControlMisfit(int control, const QString &line)
{
    m_misfit.at(control - 1) = line;
    updateFrame(control);
    updateToolTip(control);
}

void FrontPanel::setControlCutName(int control, const QString &cutName, const QString &line, bool clashes)
{
    m_cutNames.at(control - 1) = cutName;
    m_cutLines.at(control - 1) = line;
    m_clashes.at(control - 1) = clashes;
    updateDetail(control);
    updateFrame(control);
    updateToolTip(control);
}

void FrontPanel::updateFrame(int control)
{
    // One frame at a time: a parameter the plug-in lacks matters most, a name the display cannot
    // tell apart next.
    QColor frame;
    if (!m_misfit.at(control - 1).isEmpty())
        frame = kMisfitFrameColor;
    else if (m_clashes.at(control - 1))
        frame = kClashFrameColor;
    else if (!m_alsoOn.at(control - 1).isEmpty())
        frame = kAlsoOnFrameColor;
    label(control)->setFrameColor(frame);
}

void FrontPanel::setControlChanged(int control, const QString &line)
{
    m_changed.at(control - 1) = line;
    label(control)->setStripColor(line.isEmpty() ? kStripColor : kChangedStripColor);
    updateToolTip(control);
}

void FrontPanel::updateToolTip(int control)
{
    QString toolTip = m_toolTips.at(control - 1);
    for (const QString &line :
         {m_misfit.at(control - 1), m_alsoOn.at(control - 1), m_changed.at(control - 1), m_cutLines.at(control - 1)}) {
        if (!line.isEmpty())
            toolTip += QLatin1Char('\n') + line;
    }
    label(control)->setToolTip(plainToolTip(toolTip));
}

bool FrontPanel::eventFilter(QObject *watched, QEvent *event)
{
    const int control = watched->property(kControlProperty).toInt();
    if (control < 1 || control > mapping::kControlsPerPage)
        return QFrame::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *dragMove = static_cast<QDragMoveEvent *>(event);
        const bool accepted = acceptsDrop(control, dragMove->mimeData());
        if (accepted)
            dragMove->acceptProposedAction();
        else
            dragMove->ignore();
        showDropTarget(control, accepted);
        return true;
    }
    case QEvent::DragLeave:
        showDropTarget(control, false);
        return true;
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        showDropTarget(control, false);
        if (!acceptsDrop(control, drop->mimeData())) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        if (const std::optional<drag::DraggedParameter> parameter = drag::draggedParameter(drop->mimeData()))
            emit parameterDropped(control, parameter->row, parameter->entry);
        else if (const std::optional<int> from = drag::draggedControl(drop->mimeData()))
            emit controlDropped(*from, control);
        return true;
    }
    case QEvent::FocusIn:
        m_currentControl = control;
        for (QPushButton *other : m_buttons)
            other->setFocusPolicy(other == watched ? Qt::StrongFocus : Qt::ClickFocus);
        return false;
    case QEvent::ContextMenu: {
        m_currentControl = control;
        if (!button(control)->isEnabled())
            return true;
        auto *menu = new QMenu(this);
        menu->setObjectName(QStringLiteral("controlContextMenu"));
        menu->setAttribute(Qt::WA_DeleteOnClose);
        QAction *fill = menu->addAction(texts::kStepFill);
        fill->setObjectName(QStringLiteral("actionFillFromHere"));
        connect(fill, &QAction::triggered, this, [this, control] { emit fillFromHereRequested(control); });
        QAction *clear = menu->addAction(texts::kClearControl);
        clear->setObjectName(QStringLiteral("actionClearControl"));
        connect(clear, &QAction::triggered, this, [this, control] { emit clearRequested(control); });
        menu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        m_currentControl = control;
        m_pressedControl = mouse->button() == Qt::LeftButton ? control : 0;
        // The keys that follow (Right, Return) start from the control clicked, wherever on it.
        if (button(control)->isEnabled())
            button(control)->setFocus(Qt::MouseFocusReason);
        m_pressPosition = mouse->globalPosition().toPoint();
        return false; // the button still gets its click
    }
    case QEvent::MouseButtonRelease: {
        // A click anywhere on a control assigns, as one on its knob does (the knob clicks itself).
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const bool clicked = m_pressedControl == control && mouse->button() == Qt::LeftButton
                             && static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint());
        m_pressedControl = 0;
        if (clicked && watched != button(control) && button(control)->isEnabled()) {
            emit controlPressed(control);
            return true;
        }
        return false;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (m_pressedControl == control && (mouse->buttons() & Qt::LeftButton) && button(control)->isEnabled()
            && (mouse->globalPosition().toPoint() - m_pressPosition).manhattanLength()
                   >= QApplication::startDragDistance()) {
            startControlDrag(control, static_cast<QWidget *>(watched));
            return true;
        }
        return false;
    }
    case QEvent::KeyPress:
        if (watched == button(control)) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier)
                return handleKey(control, key->key());
        }
        return false;
    default:
        return false;
    }
}

bool FrontPanel::acceptsDrop(int control, const QMimeData *mimeData) const
{
    if (!button(control)->isEnabled())
        return false;
    if (drag::draggedParameter(mimeData))
        return true;
    const std::optional<int> from = drag::draggedControl(mimeData);
    return from && *from != control;
}

void FrontPanel::showDropTarget(int control, bool shown)
{
    QPushButton *target = button(control);
    if (target->property("dropTarget").toBool() == shown)
        return;
    target->setProperty("dropTarget", shown);
    target->style()->unpolish(target);
    target->style()->polish(target);
}

void FrontPanel::startControlDrag(int control, QWidget *source)
{
    m_pressedControl = 0;
    auto *dragging = new QDrag(source);
    dragging->setMimeData(drag::controlMimeData(control));
    dragging->setPixmap(label(control)->grab());
    dragging->exec(Qt::MoveAction);
    button(control)->setDown(false); // the drag took the release that would have ended the press
}

void FrontPanel::focusControl(int control)
{
    if (control >= 1 && control <= mapping::kControlsPerPage && button(control)->isEnabled())
        button(control)->setFocus(Qt::TabFocusReason);
}

bool FrontPanel::handleKey(int control, int key)
{
    switch (key) {
    case Qt::Key_Left:
        focusControl(control - 1);
        return true;
    case Qt::Key_Right:
        focusControl(control + 1);
        return true;
    case Qt::Key_Up:
        focusControl(control - kEncodersPerRow);
        return true;
    case Qt::Key_Down:
        focusControl(control + kEncodersPerRow);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (button(control)->isEnabled())
            emit controlPressed(control);
        return true;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (button(control)->isEnabled())
            emit clearRequested(control);
        return true;
    case Qt::Key_PageUp:
        emit pageStepRequested(-1);
        return true;
    case Qt::Key_PageDown:
        emit pageStepRequested(1);
        return true;
    default:
        return false;
    }
}

} // namespace ov::ui::qt
