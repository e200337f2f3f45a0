#pragma once

#include "ui/View.h"

#include <QMap>
#include <QWidget>

class QPushButton;

namespace ov::ui {
class ViewController;
}

namespace ov::ui::qt {

class CommunityPane;

// Beside the lists: the mapping's buttons (save, recall a backup, the chart, the plug-in's folder,
// help) above the community library's pane.
class MappingPane final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MappingPane)

public:
    explicit MappingPane(QWidget *parent = nullptr);

    // Sends the buttons' and the community pane's actions to `controller`; call once.
    void attach(ViewController &controller);

    // The buttons that the controller enables and disables.
    const QMap<Button, QPushButton *> &buttons() const { return m_buttons; }
    CommunityPane *community() const { return m_community; }

private:
    ViewController *m_controller = nullptr;
    QMap<Button, QPushButton *> m_buttons;
    CommunityPane *m_community = nullptr;
};

} // namespace ov::ui::qt
