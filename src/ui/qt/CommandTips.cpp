#include "CommandTips.h"

#include "ui/UiTexts.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QWidget>

namespace ov::ui::qt {

namespace {

// A command: its menu entry, the button that stands for it (if any), and what it does.
struct CommandTip {
    const char *action;
    const char *button;
    const QString &tip;
};

const CommandTip kCommandTips[] = {
    {"actionRunCheck", "btnRunCheck", texts::kTipScan},
    {"actionExportToPlist", "ovExportToPlist", texts::kTipSave},
    {nullptr, "ovRecallOriginalMapping", texts::kTipRecallOriginal},
    {nullptr, "ovRecallPreviousMapping", texts::kTipRecallPrevious},
    {"actionCreateChart", "ovCreateChart", texts::kTipChart},
    {"actionOpenInFinder", "btnOpenInFinder", texts::kTipOpenFolder},
    {"saveAction", nullptr, texts::kTipSaveApplicationData},
    {"actionQuit", nullptr, texts::kTipQuit},
    {"actionUndo", nullptr, texts::kTipUndo},
    {"actionRedo", nullptr, texts::kTipRedo},
    {"actionPreferences", nullptr, texts::kTipPreferences},
    {"actionSearchParameters", nullptr, texts::kTipSearch},
    {"actionFillFromHere", nullptr, texts::kTipFill},
    {"actionCopyMappingFrom", nullptr, texts::kTipCopyMapping},
    {"actionSaveLayout", nullptr, texts::kTipSaveLayout},
    {"actionApplyLayout", nullptr, texts::kTipApplyLayout},
    {"actionApplyLayoutToPlugins", nullptr, texts::kTipApplyLayoutToPlugins},
    {"actionRepairMapping", nullptr, texts::kTipRepairMapping},
    {"actionBackUpAllMappings", nullptr, texts::kTipBackUp},
    {"actionRestoreMappings", nullptr, texts::kTipRestore},
    {"actionPrevPage", "prevPageButton", texts::kTipPreviousPage},
    {"actionNextPage", "nextPageButton", texts::kTipNextPage},
    {"actionFirstPage", "firstPageButton", texts::kTipFirstPage},
    {"actionLastPage", "lastPageButton", texts::kTipLastPage},
    {"actionGoToPage", nullptr, texts::kTipGoToPage},
    {"actionNewPage", "newPageButton", texts::kTipNewPage},
    {"actionClearPage", "clearAllPagesButton", texts::kTipClearPage},
    {"actionDeletePage", "deletePageButton", texts::kTipDeletePage},
    {"actionMovePagePrev", "ovMovePage_Prev", texts::kTipMovePageBack},
    {"actionMovePageNext", "ovMovePage_Next", texts::kTipMovePageForward},
    {"actionMovePageFirst", "ovMovePage_First", texts::kTipMovePageToFirst},
    {"actionMovePageLast", "ovMovePage_Last", texts::kTipMovePageToLast},
    {"actionHelpMe", "ovHelpMe", texts::kTipHelp},
    {"actionAbout", nullptr, texts::kTipAbout},
    {nullptr, "ovLoginToCloudAccount", texts::kTipSignIn},
    {nullptr, "ovSignOut", texts::kTipSignOut},
    {nullptr, "ov_btn_cloudLibrary", texts::kTipShare},
    {nullptr, "ov_btn_cloudLibraryDownload", texts::kTipSharedMappings},
    {nullptr, "ovPluginModeInstrument", texts::kTipInstrumentMode},
    {nullptr, "ovPluginModeInsertEffect", texts::kTipInsertEffectMode},
};

} // namespace

void applyCommandTips(QWidget *window)
{
    for (const CommandTip &command : kCommandTips) {
        QString tip = command.tip;
        if (command.action) {
            if (auto *action = window->findChild<QAction *>(QLatin1String(command.action))) {
                if (!action->shortcut().isEmpty())
                    tip = texts::kTipWithShortcut.arg(tip, action->shortcut().toString(QKeySequence::NativeText));
                action->setToolTip(tip);
            }
        }
        if (command.button) {
            if (auto *button = window->findChild<QAbstractButton *>(QLatin1String(command.button)))
                button->setToolTip(tip);
        }
    }
    // Menus keep their commands' tooltips hidden unless told.
    for (QMenu *menu : window->findChildren<QMenu *>())
        menu->setToolTipsVisible(true);
}

} // namespace ov::ui::qt
