#pragma once

#include <QString>
#include <QTextDocument>

namespace ov::ui::qt {

// A tooltip renders any text that looks like markup as rich text. Texts from files and from the
// community server (parameter names, user names, comments) are shown as they were written.
inline QString plainToolTip(const QString &text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text) : text;
}

} // namespace ov::ui::qt
