// Writes a parameter-order file again and again until it is killed, for the crash test.
//   crash_writer save PATH        saves the two tables in turn, with backups
//   crash_writer recall PATH      puts ".original" and ".prev" back in turn
//   crash_writer prepare PATH     drops the list of unique parameters and adds it again, in turn
// It prints "ready" once it has begun.
#include "mapping/AtomicFile.h"
#include "mapping/ParameterOrderFile.h"
#include "mapping/SaveRecall.h"

#include <QString>
#include <QVector>

#include <cstdio>
#include <cstring>

using namespace ov::mapping;

namespace {

QVector<ParameterEntry> table(const QString &prefix, int pages)
{
    QVector<ParameterEntry> entries;
    for (int i = 0; i < pages * kControlsPerPage; ++i)
        entries.append({QString::number(i), prefix + QString::number(i), i / kControlsPerPage + 1, i});
    return entries;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    const QVector<ParameterEntry> tables[2] = {table(QStringLiteral("Alpha "), 40), table(QStringLiteral("Beta "), 3)};
    std::puts("ready");
    std::fflush(stdout);
    for (unsigned long n = 0;; ++n) {
        if (mode == QLatin1String("save")) {
            exportToPlist(path, tables[n % 2], int(n % 2));
        } else if (mode == QLatin1String("recall")) {
            recallOriginalMapping(path, n % 2 ? kPreviousSuffix : kOriginalSuffix);
        } else if (mode == QLatin1String("prepare")) {
            PlistRead read = PlistDocument::read(path);
            if (!read.ok())
                return 1;
            PlistDocument &document = read.document;
            document.setStringArray(kStoreCSUniqueKey, {});
            writeFileAtomically(path, document.toXml());
            oravelizePlistFile(path);
        } else {
            return 2;
        }
    }
}
