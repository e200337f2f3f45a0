#pragma once

#include "ViewController.h"

namespace ov::ui {

// Everything the table goes through while it lives is one undo step; the outermost step, once
// closed, shows what changed.
class ViewController::EditStep final {
public:
    EditStep(ViewController &controller, const QString &name) : m_controller(controller)
    {
        m_controller.m_state.history.begin(m_controller.m_state, name);
    }
    ~EditStep()
    {
        if (m_controller.m_state.history.end(m_controller.m_state))
            m_controller.showTableChanged(m_controller.m_state.history.lastChanges());
    }
    Q_DISABLE_COPY_MOVE(EditStep)

private:
    ViewController &m_controller;
};

} // namespace ov::ui
