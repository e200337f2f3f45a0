#include "WindowHeader.h"

#include "ElidingLabel.h"

#include "ui/UiTexts.h"
#include "ui/ViewController.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ov::ui::qt {

namespace {

constexpr int kInstrumentColumn = 0;
constexpr int kInsertEffectColumn = 1;

} // namespace

WindowHeader::WindowHeader(QWidget *parent) : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);

    auto *titles = new QVBoxLayout;
    titles->setSpacing(2);
    auto *title = new ElidingLabel(1, Qt::ElideRight, this);
    title->setObjectName(QStringLiteral("labOCScreen_Title"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setMinimumHeight(QFontMetrics(titleFont).lineSpacing());
    m_title = title;

    m_subtitle = new QLabel(this);
    m_subtitle->setObjectName(QStringLiteral("mainTitle_Sub"));
    QFont subtitleFont = m_subtitle->font();
    subtitleFont.setPointSizeF(subtitleFont.pointSizeF() * 1.1);
    m_subtitle->setFont(subtitleFont);
    m_subtitle->setForegroundRole(QPalette::PlaceholderText);
    m_subtitle->hide(); // until there is a mapper to name

    m_status = new ElidingLabel(1, Qt::ElideRight, this);
    m_status->setObjectName(QStringLiteral("labelHelperDisplay"));

    // The mapper of the mode and the status line share the second line, to leave the room to the lists.
    auto *lines = new QHBoxLayout;
    lines->setSpacing(16);
    lines->addWidget(m_subtitle, 0);
    lines->addWidget(m_status, 1);
    titles->addWidget(title);
    titles->addLayout(lines);
    row->addLayout(titles, 1);

    m_modeBox = new QGroupBox(texts::kPluginModeBox, this);
    m_modeBox->setObjectName(QStringLiteral("ovPluginMode"));
    auto *modeRow = new QHBoxLayout(m_modeBox);
    m_modeGroup = new QButtonGroup(m_modeBox);
    m_modeButtons[kInstrumentColumn] = new QRadioButton(texts::kInstrumentMode, m_modeBox);
    m_modeButtons[kInstrumentColumn]->setObjectName(QStringLiteral("ovPluginModeInstrument"));
    m_modeButtons[kInsertEffectColumn] = new QRadioButton(texts::kInsertEffectMode, m_modeBox);
    m_modeButtons[kInsertEffectColumn]->setObjectName(QStringLiteral("ovPluginModeInsertEffect"));
    // Each cell carries its mode as its id: instrument 1, insert/effect 0.
    m_modeGroup->addButton(m_modeButtons[kInstrumentColumn], 1);
    m_modeGroup->addButton(m_modeButtons[kInsertEffectColumn], 0);
    modeRow->addWidget(m_modeButtons[kInstrumentColumn]);
    modeRow->addWidget(m_modeButtons[kInsertEffectColumn]);
    row->addWidget(m_modeBox, 0, Qt::AlignTop);
}

void WindowHeader::attach(ViewController &controller)
{
    ViewController *c = &controller;
    // Only a click by the user is a choice of mode; showing a mode selects its cell without one.
    connect(m_modeGroup, &QButtonGroup::idClicked, this, [c](int) { c->ovPluginMode_Changed(); });
}

void WindowHeader::selectModeCell(int column)
{
    if (column == kInstrumentColumn || column == kInsertEffectColumn)
        m_modeButtons[column]->setChecked(true);
}

int WindowHeader::checkedMode() const
{
    return m_modeGroup->checkedId();
}

} // namespace ov::ui::qt
