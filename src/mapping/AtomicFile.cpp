#include "AtomicFile.h"

#include <QFile>
#include <QSaveFile>

namespace ov::mapping {

namespace {
void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}
} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        setError(error, file.errorString());
        file.cancelWriting();
        return false;
    }
    // commit() syncs the temporary file to disk before it renames it over the target.
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

bool readWholeFile(const QString &path, QByteArray *bytes, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

bool copyFileAtomically(const QString &source, const QString &destination, QString *error)
{
    QByteArray bytes;
    return readWholeFile(source, &bytes, error) && writeFileAtomically(destination, bytes, error);
}

} // namespace ov::mapping
