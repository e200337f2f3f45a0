#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QSettings;

namespace ov::ui::qt {

// The Preferences window: the community server's address, kept in the settings store under
// kCommunityUrlKey. An empty field stands for the built-in address. OVCORVANTA_COMMUNITY_URL, when
// set, wins over what is kept here, and the window says so.
class PreferencesDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PreferencesDialog)

public:
    static inline const QString kCommunityUrlKey = QStringLiteral("communityServerURL");

    PreferencesDialog(QSettings &settings, QWidget *parent = nullptr);

    // Keeps the address (OK); refused, with the field's message, while the address is not usable.
    void accept() override;

signals:
    // The address the editor talks to from now on, after a change was kept.
    void communityUrlChanged(const QString &baseUrl);

private:
    void check();

    QSettings &m_settings;
    QLineEdit *m_url = nullptr;
    QLabel *m_problem = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace ov::ui::qt
