#include "PreferencesDialog.h"

#include "community/Endpoints.h"
#include "ui/UiTexts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QUrl>
#include <QVBoxLayout>

namespace ov::ui::qt {

namespace {

// An address the editor can talk to: http or https, with a server name.
bool usable(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
           && !url.host().isEmpty();
}

} // namespace

PreferencesDialog::PreferencesDialog(QSettings &settings, QWidget *parent) : QDialog(parent), m_settings(settings)
{
    setWindowTitle(texts::kPreferencesTitle);
    m_url = new QLineEdit(settings.value(kCommunityUrlKey).toString());
    m_url->setObjectName(QStringLiteral("communityUrl"));
    m_url->setPlaceholderText(community::builtInCommunityBaseUrl());
    m_url->setMinimumWidth(320);
    m_problem = new QLabel;
    m_problem->setObjectName(QStringLiteral("communityUrlProblem"));
    m_problem->setWordWrap(true);
    auto *form = new QFormLayout;
    form->addRow(texts::kCommunityUrlLabel, m_url);
    form->addRow(QString(), m_problem);
    const QString environment = qEnvironmentVariable(community::kCommunityUrlVariable);
    if (!environment.isEmpty()) {
        auto *overridden = new QLabel(texts::kCommunityUrlOverridden.arg(environment));
        overridden->setObjectName(QStringLiteral("communityUrlOverridden"));
        overridden->setWordWrap(true);
        form->addRow(QString(), overridden);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &PreferencesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_url, &QLineEdit::textChanged, this, &PreferencesDialog::check);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    check();
}

void PreferencesDialog::check()
{
    const QString text = m_url->text().trimmed();
    const bool ok = text.isEmpty() || usable(text);
    m_problem->setText(ok ? QString() : texts::kCommunityUrlUnusable);
    m_problem->setVisible(!ok);
    m_ok->setEnabled(ok);
    // The window grows to hold the problem's lines, wrapped at its width.
    if (QLayout *whole = layout()) {
        whole->activate();
        const int needed =
            whole->hasHeightForWidth() ? whole->totalHeightForWidth(width()) : whole->totalMinimumSize().height();
        if (height() < needed)
            resize(width(), needed);
        setMinimumHeight(needed);
    }
}

void PreferencesDialog::accept()
{
    const QString text = m_url->text().trimmed();
    if (!text.isEmpty() && !usable(text))
        return;
    if (text != m_settings.value(kCommunityUrlKey).toString()) {
        if (text.isEmpty())
            m_settings.remove(kCommunityUrlKey);
        else
            m_settings.setValue(kCommunityUrlKey, text);
        m_settings.sync();
        emit communityUrlChanged(community::communityBaseUrl(text));
    }
    QDialog::accept();
}

} // namespace ov::ui::qt
