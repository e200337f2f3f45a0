#pragma once

#include "mapping/ParameterEntry.h"

#include <QFrame>

#include <array>

class QPushButton;

namespace ov::ui::qt {

class ElidingLabel;

// The on-screen control surface: 32 controls in four rows of eight encoders, each a button with the
// control's number (ovRotBtn1 ... ovRotBtn32) above a display strip naming its parameter
// (ovControl1 ... ovControl32).
class FrontPanel final : public QFrame {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FrontPanel)

public:
    static constexpr int kEncodersPerRow = 8;

    explicit FrontPanel(QWidget *parent = nullptr);

    // Controls are numbered 1 to 32.
    QPushButton *button(int control) const { return m_buttons.at(control - 1); }
    ElidingLabel *label(int control) const { return m_labels.at(control - 1); }
    void setControlsEnabled(bool enabled);

signals:
    void controlPressed(int control);

private:
    std::array<QPushButton *, mapping::kControlsPerPage> m_buttons{};
    std::array<ElidingLabel *, mapping::kControlsPerPage> m_labels{};
};

} // namespace ov::ui::qt
