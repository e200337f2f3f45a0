#include "PageBox.h"

#include "WindowParts.h"

#include "panel/PanelLabels.h"
#include "ui/UiTexts.h"
#include "ui/ViewController.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <vector>

namespace ov::ui::qt {

namespace {

// A button beside the panel: its box, its place in the box's grid, and the operation it runs.
struct PageButton {
    Button button;
    const QString &text;
    const char *name;
    QStyle::StandardPixmap icon; // the page-move buttons draw their own (movePageIcon)
    enum Box {
        Page,
        Move
    } box;
    int row;
    int column;
    void (ViewController::*run)();
};

// A page-move button's own icon, unlike the paging buttons' arrows: a sheet carried by an arrow,
// which ends at a bar when the page goes to the first or last place.
QIcon movePageIcon(bool forward, bool toEnd, const QColor &color)
{
    constexpr int kSide = 32; // drawn at twice the size shown, for sharp edges on any screen
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!forward) // the backward icons are the forward ones mirrored
        painter.setTransform(QTransform(-1, 0, 0, 1, kSide, 0));
    QPen pen(color, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    // The sheet, its corner folded.
    const QPolygonF sheet({{3, 5}, {13, 5}, {17, 9}, {17, 27}, {3, 27}});
    painter.setBrush(color.lighter(170));
    painter.drawPolygon(sheet);
    painter.drawLine(QPointF(13, 5), QPointF(13, 9));
    painter.drawLine(QPointF(13, 9), QPointF(17, 9));
    // The arrow that carries it.
    const qreal tip = toEnd ? 25 : 29;
    painter.drawLine(QPointF(10, 16), QPointF(tip, 16));
    painter.drawPolyline(QPolygonF({{tip - 5, 11}, {tip, 16}, {tip - 5, 21}}));
    if (toEnd)
        painter.drawLine(QPointF(29, 8), QPointF(29, 24));
    painter.end();
    pixmap.setDevicePixelRatio(2);
    return QIcon(pixmap);
}

// The buttons of the two boxes, in the keyboard's order.
std::vector<PageButton> pageButtons()
{
    using VC = ViewController;
    return {
        {Button::prevPage, texts::kPreviousButton, "prevPageButton", QStyle::SP_ArrowLeft, PageButton::Page, 1, 0,
         &VC::prevPageButtonPressed},
        {Button::nextPage, texts::kNextButton, "nextPageButton", QStyle::SP_ArrowRight, PageButton::Page, 1, 1,
         &VC::nextPageButtonPressed},
        {Button::firstPage, texts::kFirstButton, "firstPageButton", QStyle::SP_MediaSkipBackward, PageButton::Page, 2,
         0, &VC::firstPageButtonPressed},
        {Button::lastPage, texts::kLastButton, "lastPageButton", QStyle::SP_MediaSkipForward, PageButton::Page, 2, 1,
         &VC::lastPageButtonPressed},
        {Button::newPage, texts::kStepNewPage, "newPageButton", QStyle::SP_FileDialogNewFolder, PageButton::Page, 3, 0,
         &VC::newPageButtonPressed},
        {Button::clearPage, texts::kStepClearPage, "clearAllPagesButton", QStyle::SP_DialogDiscardButton,
         PageButton::Page, 3, 1, &VC::clearAllPagesButtonPressed},
        {Button::deletePage, texts::kStepDeletePage, "deletePageButton", QStyle::SP_TrashIcon, PageButton::Page, 4, 0,
         &VC::deletePageButtonPressed},
        {Button::movePagePrev, texts::kBackButton, "ovMovePage_Prev", QStyle::SP_CustomBase, PageButton::Move, 0, 0,
         &VC::ovMovePage_Prev},
        {Button::movePageNext, texts::kForwardButton, "ovMovePage_Next", QStyle::SP_CustomBase, PageButton::Move, 0, 1,
         &VC::ovMovePage_Next},
        {Button::movePageFirst, texts::kToFirstButton, "ovMovePage_First", QStyle::SP_CustomBase, PageButton::Move, 1,
         0, &VC::ovMovePage_First},
        {Button::movePageLast, texts::kToLastButton, "ovMovePage_Last", QStyle::SP_CustomBase, PageButton::Move, 1, 1,
         &VC::ovMovePage_Last},
    };
}

} // namespace

PageBox::PageBox(QWidget *parent) : QWidget(parent)
{
    auto *side = new QVBoxLayout(this);
    side->setContentsMargins(0, 0, 0, 0);
    auto *pageBox = new QGroupBox(texts::kPageBox, this);
    auto *pageGrid = new QGridLayout(pageBox);
    m_currentPage = new QLabel(pageBox);
    m_currentPage->setObjectName(QStringLiteral("lab_PageCurrentlyDisplayed"));
    QFont currentFont = m_currentPage->font();
    currentFont.setBold(true);
    currentFont.setPointSizeF(currentFont.pointSizeF() * 1.15);
    m_currentPage->setFont(currentFont);
    m_totalPages = new QLabel(pageBox);
    m_totalPages->setObjectName(QStringLiteral("labTotalPagesIndicator"));
    m_totalPages->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_totalPages->setForegroundRole(QPalette::PlaceholderText);
    // Wide enough for three-digit page numbers, so that paging never shifts the panel.
    m_currentPage->setMinimumWidth(
        QFontMetrics(currentFont).horizontalAdvance(panel::pageCurrentlyDisplayedText(888, 888)));
    m_totalPages->setMinimumWidth(QFontMetrics(m_totalPages->font()).horizontalAdvance(panel::totalPagesText(888)));
    pageGrid->addWidget(m_currentPage, 0, 0);
    pageGrid->addWidget(m_totalPages, 0, 1);
    // Show Changes: which pages differ from the mapping compared with.
    m_changedPages = new QLabel(pageBox);
    m_changedPages->setObjectName(QStringLiteral("labChangedPages"));
    m_changedPages->setWordWrap(true);
    // Purple as the changed strips, dark on a light window and light on a dark one, to stay readable.
    QPalette changedPalette = m_changedPages->palette();
    const bool darkWindow = changedPalette.color(QPalette::Window).lightness() < 128;
    changedPalette.setColor(QPalette::WindowText, darkWindow ? QColor(0xc9, 0xa6, 0xea) : QColor(0x6b, 0x3f, 0xa0));
    m_changedPages->setPalette(changedPalette);
    pageGrid->addWidget(m_changedPages, 5, 0, 1, 2);
    auto *moveBox = new QGroupBox(texts::kMovePageBox, this);
    auto *moveGrid = new QGridLayout(moveBox);
    for (const PageButton &row : pageButtons()) {
        const bool forward = row.button == Button::movePageNext || row.button == Button::movePageLast;
        const bool toEnd = row.button == Button::movePageFirst || row.button == Button::movePageLast;
        const QIcon icon = row.box == PageButton::Move
                               ? movePageIcon(forward, toEnd, palette().color(QPalette::ButtonText))
                               : style()->standardIcon(row.icon);
        auto *button = new QPushButton(icon, row.text, this);
        button->setObjectName(QLatin1String(row.name));
        runOnClick(button, m_controller, row.run);
        m_buttons.insert(row.button, button);
        (row.box == PageButton::Page ? pageGrid : moveGrid)->addWidget(button, row.row, row.column);
    }
    side->addWidget(pageBox);
    side->addWidget(moveBox);
    side->addStretch(1);
}

void PageBox::attach(ViewController &controller)
{
    Q_ASSERT(!m_controller);
    m_controller = &controller;
}

} // namespace ov::ui::qt
