#pragma once

#include <QWidget>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QRadioButton;

namespace ov::ui {
class ViewController;
}

namespace ov::ui::qt {

// The top of the main window: the open plug-in's title, the mapper of its mode beside the status
// line, and the plug-in mode's two cells (Instrument, Insert/Effect).
class WindowHeader final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WindowHeader)

public:
    explicit WindowHeader(QWidget *parent = nullptr);

    // Sends a click on a mode cell to `controller`; call once.
    void attach(ViewController &controller);

    QLabel *title() const { return m_title; }       // labOCScreen_Title
    QLabel *subtitle() const { return m_subtitle; } // mainTitle_Sub
    QLabel *status() const { return m_status; }     // labelHelperDisplay
    QGroupBox *modeBox() const { return m_modeBox; }
    // Checks the cell of `column` (0 Instrument, 1 Insert/Effect); other columns are no cell.
    void selectModeCell(int column);
    // The checked cell's mode: instrument 1, insert/effect 0, none -1.
    int checkedMode() const;

private:
    QLabel *m_title = nullptr;
    QLabel *m_subtitle = nullptr;
    QLabel *m_status = nullptr;
    QGroupBox *m_modeBox = nullptr;
    QButtonGroup *m_modeGroup = nullptr;
    QRadioButton *m_modeButtons[2] = {nullptr, nullptr}; // by column
};

} // namespace ov::ui::qt
