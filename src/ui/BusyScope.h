#pragma once

#include "View.h"

namespace ov::ui {

// The busy cursor for as long as it lives: for work the user waits for, such as an exchange with the
// community server (the window keeps painting meanwhile).
class BusyScope final {
public:
    explicit BusyScope(View &view) : m_view(view) { m_view.setBusy(true); }
    ~BusyScope() { m_view.setBusy(false); }
    Q_DISABLE_COPY_MOVE(BusyScope)

private:
    View &m_view;
};

} // namespace ov::ui
