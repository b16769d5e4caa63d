#include "app/RuntimeFolder.h"

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace RuntimeFolder {

QString choose(const QString& temp)
{
    const QString shared =
        temp + QStringLiteral("/tavrigon-runtime-") + QString::number(qulonglong(::geteuid()));
    const QByteArray name = QFile::encodeName(shared);
    ::mkdir(name.constData(), 0700); // fails harmlessly when something is there
    struct stat st = {};
    if (::lstat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & 077) == 0)
        return shared;
    static QTemporaryDir fallback(temp + QStringLiteral("/tavrigon-runtime-XXXXXX"));
    return fallback.isValid() ? fallback.path() : QString();
}

} // namespace RuntimeFolder
