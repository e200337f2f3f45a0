#pragma once

#include "ViewController.h"

namespace ov::ui {

// Everything the table goes through while it lives is one undo step; the outermost step, once
// closed, shows what changed.
// The relabels inside a step leave the panel's marks to the step's close, which knows what changed.
class ViewController::EditStep final {
public:
    enum class Writes {
        WholeTable,
        AnnouncedSlots
    };
    EditStep(ViewController &controller, const QString &name, Writes writes = Writes::WholeTable)
        : m_controller(controller)
    {
        if (writes == Writes::AnnouncedSlots)
            m_controller.m_state.history.beginForSlots(m_controller.m_state, name);
        else
            m_controller.m_state.history.begin(m_controller.m_state, name);
    }
    ~EditStep()
    {
        mapping::EditHistory &history = m_controller.m_state.history;
        if (history.end(m_controller.m_state))
            m_controller.showTableChanged(history.lastChanges());
        else if (!history.isOpen()) {
            m_controller.showAlsoOnMarks(m_controller.m_state.curPage);
            m_controller.showChangeMarks(m_controller.m_state.curPage);
        }
    }
    Q_DISABLE_COPY_MOVE(EditStep)

private:
    ViewController &m_controller;
};

} // namespace ov::ui
