// The client's reading of the list reply.
#include "community/DownloadList.h"
#include "community/Endpoints.h"

#include <cstdlib>

using namespace ov::community;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString reply = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const DownloadListEntry &entry : parseDownloadList(reply)) {
        const QString registration = downloadRegistrationEndpoint(entry.patchID());
        if (registration.count(QLatin1Char('&')) != 0 || registration.count(QLatin1Char('=')) != 1)
            std::abort(); // a patch ID never reaches into the query
        const QString url = fetchUrl(QStringLiteral("http://127.0.0.1:8080/"), entry.fileLocation());
        for (const QChar c : url)
            if (c.unicode() >= 0x80 || c == QLatin1Char(' ') || c == QLatin1Char('#'))
                std::abort();
        (void)entry.userComments();
    }
    return 0;
}
