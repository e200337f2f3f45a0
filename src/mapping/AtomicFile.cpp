#include "AtomicFile.h"

#include "DurableSync.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

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
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        setError(error, file.errorString());
        file.cancelWriting();
        return false;
    }
    // The temporary file reaches the disk before it is renamed over the target; Qt's own sync in
    // commit() stops at the drive's cache on macOS.
    if (!syncToDisk(file.handle())) {
        setError(error, QString::fromLocal8Bit(std::strerror(errno)));
        file.cancelWriting();
        return false;
    }
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
