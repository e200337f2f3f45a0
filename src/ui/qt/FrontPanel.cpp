#include "FrontPanel.h"

#include "ElidingLabel.h"

#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace ov::ui::qt {

namespace {

const QColor kStripColor(0x12, 0x33, 0x38);

const QString kPanelStyle = QStringLiteral(
    "QFrame#frontPanel { background: #2a2c31; border: 1px solid #17181b; border-radius: 8px; }"
    "QPushButton[knob=\"true\"] {"
    "  min-width: 40px; max-width: 40px; min-height: 40px; max-height: 40px;"
    "  border-radius: 20px; border: 2px solid #141518; color: #f2f2f2; font-weight: bold;"
    "  background: qradialgradient(cx:0.5, cy:0.5, radius:0.6, fx:0.38, fy:0.32,"
    "              stop:0 #9a9da4, stop:0.65 #51545c, stop:1 #383a40); }"
    "QPushButton[knob=\"true\"]:hover { border-color: #f0a030; }"
    "QPushButton[knob=\"true\"]:pressed { background: #f0a030; color: #141518; }"
    "QPushButton[knob=\"true\"]:focus { border-color: #7cc7ff; }"
    "QPushButton[knob=\"true\"]:disabled { color: #70737a; background: #393b41; border-color: #2a2b2f; }");

} // namespace

FrontPanel::FrontPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("frontPanel"));
    setStyleSheet(kPanelStyle);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(14, 12, 14, 12);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(12);

    QFont stripFont = font();
    stripFont.setPointSizeF(stripFont.pointSizeF() * 0.9);
    QPalette stripPalette = palette();
    stripPalette.setColor(QPalette::Active, QPalette::WindowText, QColor(0xc8, 0xf4, 0xff));
    stripPalette.setColor(QPalette::Inactive, QPalette::WindowText, QColor(0xc8, 0xf4, 0xff));
    stripPalette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x6a, 0x8a, 0x90));

    for (int n = 1; n <= mapping::kControlsPerPage; ++n) {
        auto *cell = new QWidget(this);
        auto *column = new QVBoxLayout(cell);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(5);

        auto *button = new QPushButton(QString::number(n), cell);
        button->setObjectName(QStringLiteral("ovRotBtn%1").arg(n));
        button->setProperty("knob", true);
        button->setCursor(Qt::PointingHandCursor);
        button->setToolTip(QStringLiteral("Put the selected parameter on control %1").arg(n));
        connect(button, &QPushButton::clicked, this, [this, n] { emit controlPressed(n); });

        auto *label = new ElidingLabel(2, Qt::ElideRight, cell);
        label->setObjectName(QStringLiteral("ovControl%1").arg(n));
        label->setAlignment(Qt::AlignCenter);
        label->setFont(stripFont);
        label->setPalette(stripPalette);
        label->setStripColor(kStripColor);
        label->setMinimumWidth(86);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        label->setText(mapping::kEmptyParameter);

        column->addWidget(button, 0, Qt::AlignHCenter);
        column->addWidget(label);
        m_buttons[n - 1] = button;
        m_labels[n - 1] = label;
        grid->addWidget(cell, (n - 1) / kEncodersPerRow, (n - 1) % kEncodersPerRow);
    }
    // Every encoder gets the same width, whatever its parameter's name.
    for (int column = 0; column < kEncodersPerRow; ++column)
        grid->setColumnStretch(column, 1);
}

void FrontPanel::setControlsEnabled(bool enabled)
{
    for (QPushButton *button : m_buttons)
        button->setEnabled(enabled);
    for (ElidingLabel *label : m_labels)
        label->setEnabled(enabled);
}

} // namespace ov::ui::qt
