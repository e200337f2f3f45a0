#pragma once

#include "catalogue/PluginRecord.h"

#include <QDialog>

#include <optional>

class QListWidget;

namespace ov::ui::qt {

// A modal list of plug-ins to pick one from ("Copy Mapping From..."): a double click or OK picks
// the highlighted one.
class PluginChooser final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PluginChooser)

public:
    PluginChooser(const QString &prompt, const catalogue::PluginList &records, QWidget *parent = nullptr);

    // Runs the dialog; the row of `records` picked, or nothing when it was cancelled.
    std::optional<int> choose();

private:
    QListWidget *m_list = nullptr;
};

} // namespace ov::ui::qt
