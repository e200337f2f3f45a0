#include "AboutDialog.h"

#include "ov/Version.h"
#include "ui/UiTexts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace ov::ui::qt {

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(texts::kAbout.arg(QString::fromUtf8(ov::kApplicationName)));
    auto *text = new QLabel(texts::kAboutText.arg(QString::fromUtf8(ov::kApplicationName),
                                                  QString::fromUtf8(ov::kVersion), QString::fromUtf8(qVersion())));
    text->setObjectName(QStringLiteral("aboutText"));
    text->setTextFormat(Qt::RichText);
    text->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

} // namespace ov::ui::qt
