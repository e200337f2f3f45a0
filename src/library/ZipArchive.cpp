#include "ZipArchive.h"

#include "mapping/DurableSync.h"

#include <QFile>
#include <QSaveFile>

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace ov::library {

namespace {

struct ArchiveWriteDeleter {
    void operator()(archive *a) const { archive_write_free(a); }
};
struct ArchiveReadDeleter {
    void operator()(archive *a) const { archive_read_free(a); }
};
struct EntryDeleter {
    void operator()(archive_entry *e) const { archive_entry_free(e); }
};

QString archiveError(archive *a)
{
    const char *text = archive_error_string(a);
    return text ? QString::fromUtf8(text) : QStringLiteral("unknown archive error");
}

la_ssize_t writeToSaveFile(archive *, void *client, const void *buffer, size_t length)
{
    auto *file = static_cast<QSaveFile *>(client);
    return file->write(static_cast<const char *>(buffer), static_cast<qint64>(length));
}

} // namespace

bool writeZip(const QString &path, const QVector<ZipEntry> &entries, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    std::unique_ptr<archive, ArchiveWriteDeleter> zip(archive_write_new());
    archive_write_set_format_zip(zip.get());
    archive_write_zip_set_compression_deflate(zip.get());
    // Property lists shrink nearly as much at the fastest level, at a fraction of the time.
    archive_write_set_options(zip.get(), "zip:compression-level=1");
    // No block padding: the zip ends where its central directory ends.
    archive_write_set_bytes_in_last_block(zip.get(), 1);
    if (archive_write_open2(zip.get(), &file, nullptr, writeToSaveFile, nullptr, nullptr) != ARCHIVE_OK) {
        *error = archiveError(zip.get());
        file.cancelWriting();
        return false;
    }
    std::unique_ptr<archive_entry, EntryDeleter> header(archive_entry_new());
    for (const ZipEntry &entry : entries) {
        archive_entry_clear(header.get());
        archive_entry_set_pathname_utf8(header.get(), entry.name.toUtf8().constData());
        archive_entry_set_filetype(header.get(), AE_IFREG);
        archive_entry_set_perm(header.get(), 0644);
        archive_entry_set_size(header.get(), entry.bytes.size());
        if (entry.modified.isValid())
            archive_entry_set_mtime(header.get(), entry.modified.toSecsSinceEpoch(), 0);
        if (archive_write_header(zip.get(), header.get()) != ARCHIVE_OK
            || archive_write_data(zip.get(), entry.bytes.constData(), static_cast<size_t>(entry.bytes.size()))
                   != entry.bytes.size()) {
            *error = QStringLiteral("%1: %2").arg(entry.name, archiveError(zip.get()));
            file.cancelWriting();
            return false;
        }
    }
    if (archive_write_close(zip.get()) != ARCHIVE_OK) {
        *error = archiveError(zip.get());
        file.cancelWriting();
        return false;
    }
    if (!file.flush() || !mapping::syncToDisk(file.handle())) {
        *error =
            file.error() != QFileDevice::NoError ? file.errorString() : QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

ZipContents readZip(const QString &path)
{
    ZipContents contents;
    std::unique_ptr<archive, ArchiveReadDeleter> zip(archive_read_new());
    archive_read_support_format_zip(zip.get());
    if (archive_read_open_filename(zip.get(), QFile::encodeName(path).constData(), 64 * 1024) != ARCHIVE_OK) {
        contents.error = archiveError(zip.get());
        return contents;
    }
    archive_entry *header = nullptr;
    for (;;) {
        const int status = archive_read_next_header(zip.get(), &header);
        if (status == ARCHIVE_EOF)
            break;
        if (status < ARCHIVE_WARN) {
            contents.error = archiveError(zip.get());
            break;
        }
        ZipEntry entry;
        const char *name = archive_entry_pathname_utf8(header);
        entry.name = name ? QString::fromUtf8(name) : QString::fromLocal8Bit(archive_entry_pathname(header));
        entry.regularFile = archive_entry_filetype(header) == AE_IFREG && !archive_entry_hardlink(header)
                            && !archive_entry_symlink(header);
        if (archive_entry_mtime_is_set(header))
            entry.modified = QDateTime::fromSecsSinceEpoch(archive_entry_mtime(header));
        if (archive_entry_size_is_set(header) && archive_entry_size(header) > kMaxEntryBytes)
            entry.damage = QStringLiteral("larger than %1 bytes").arg(kMaxEntryBytes);
        char buffer[64 * 1024];
        while (entry.damage.isEmpty() && entry.regularFile) {
            const la_ssize_t read = archive_read_data(zip.get(), buffer, sizeof buffer);
            if (read == 0)
                break;
            if (read < 0) {
                entry.damage = archiveError(zip.get());
                break;
            }
            // The size in the header may lie; what is unpacked decides.
            if (entry.bytes.size() + read > kMaxEntryBytes) {
                entry.damage = QStringLiteral("larger than %1 bytes").arg(kMaxEntryBytes);
                break;
            }
            entry.bytes.append(buffer, static_cast<qsizetype>(read));
        }
        if (!entry.damage.isEmpty())
            entry.bytes.clear();
        contents.entries.append(std::move(entry));
    }
    return contents;
}

} // namespace ov::library
