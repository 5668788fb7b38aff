// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/SafeFile.h"

#include "database/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace
{
// Another save in the same folder may go on for this long.
constexpr int LockWaitMs = 2000;
constexpr int LockPollMs = 10;

// Saves into one folder take turns, so that two programs never write one temporary. The system
// lets go of the lock when its holder ends, however it ends, and it leaves no file behind.
class CFolderLock
{
public:
    explicit CFolderLock(const QString& folder)
    {
#ifdef Q_OS_UNIX
        m_Folder =
            ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_Folder < 0)
            return; // an unreadable folder: the save goes on and fails where it cannot write
        for (int waited = 0; ::flock(m_Folder, LOCK_EX | LOCK_NB) != 0; waited += LockPollMs)
        {
            if (waited >= LockWaitMs)
            {
                m_Held = false;
                return;
            }
            QThread::msleep(LockPollMs);
        }
#else
        Q_UNUSED(folder);
#endif
    }
    ~CFolderLock()
    {
#ifdef Q_OS_UNIX
        if (m_Folder >= 0)
            ::close(m_Folder);
#endif
    }
    CFolderLock(const CFolderLock&) = delete;
    CFolderLock& operator=(const CFolderLock&) = delete;

    bool Held() const
    {
        return m_Held;
    }

private:
    int m_Folder = -1;
    bool m_Held = true;
};

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

    const CFolderLock lock(target.absolutePath());
    if (!lock.Held())
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
