#include "forms/SafeFile.h"

#include "database/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace
{
// Another save of the same file may hold the temporary for this long.
constexpr int LockWaitMs = 2000;

// Pipes, devices, folders and links that lead nowhere are never replaced.
bool IsSaveTarget(const QFileInfo& info)
{
    return info.isFile() || (!info.exists() && !info.isSymLink());
}

bool SyncToDisk(QFile& file)
{
    if (!file.flush())
        return false;
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    return true;
#endif
}
} // namespace

bool WriteFileSafely(const QString& path, const QByteArray& data)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !IsSaveTarget(info))
        return false;
    // A link stays and the file it names is replaced.
    const QFileInfo target(info.isSymLink() ? info.canonicalFilePath() : info.absoluteFilePath());
    // A file the user may not write is kept, as the system keeps it from other programs.
    if (target.filePath().isEmpty() || (target.exists() && !target.isWritable()))
        return false;
    const QString temporary = target.dir().filePath(QLatin1Char('.') + target.fileName() +
                                                    QStringLiteral(".quillon-save"));

    QLockFile lock(temporary + QStringLiteral(".lock"));
    if (!lock.tryLock(LockWaitMs))
        return false;
    // Whatever stands at the temporary's name was left by a save that did not finish: a new
    // file is made there, never one written through a link someone put in its place.
    QFile::remove(temporary);
    QFile file(temporary);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::NewOnly) &&
                   file.write(data) == data.size() && SyncToDisk(file);
    if (written && target.exists())
        written = file.setPermissions(target.permissions());
    file.close();
    if (written)
    {
        std::error_code error;
        std::filesystem::rename(
            std::filesystem::path(QFile::encodeName(temporary).toStdString()),
            std::filesystem::path(QFile::encodeName(target.filePath()).toStdString()), error);
        written = !error;
    }
    if (!written)
        QFile::remove(temporary);
    return written;
}

void ReportWriteError(const QString& path)
{
    CError::DisplayError((QStringLiteral("Error while writing to file ") + path).toStdString());
}
