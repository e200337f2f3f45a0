#pragma once

class QWidget;

namespace ov::ui::qt {

// Gives every command of `window`'s menus and every button standing for one a tooltip that says what
// it does, with the command's shortcut where it has one.
void applyCommandTips(QWidget *window);

} // namespace ov::ui::qt
