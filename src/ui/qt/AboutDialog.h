#pragma once

#include <QDialog>

namespace ov::ui::qt {

// The About window: the application's name, its version and what it is for.
class AboutDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutDialog)

public:
    explicit AboutDialog(QWidget *parent = nullptr);
};

} // namespace ov::ui::qt
