#include "storage/privatefiles.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {

namespace {

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// Clears the group's and others' bits of what `path` names, never through a link.
void tighten(const QByteArray &path, const struct stat &st)
{
    if ((st.st_mode & 077) != 0)
        ::chmod(path.constData(), st.st_mode & 07700);
}

void tightenTree(const QByteArray &path, int depth)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || S_ISLNK(st.st_mode))
        return;
    if (S_ISREG(st.st_mode)) {
        tighten(path, st);
        return;
    }
    if (!S_ISDIR(st.st_mode))
        return;
    tighten(path, st);
    // The data folder holds the copies' folder and nothing deeper; a bound keeps a folder
    // moved in by hand from taking the start-up's time.
    if (depth >= 3)
        return;
    const QDir dir(QFile::decodeName(path));
    for (const QString &name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        tightenTree(native(dir.filePath(name)), depth + 1);
}

} // namespace

void privateUmask()
{
    ::umask(077);
}

bool makePrivateFolder(const QString &path)
{
    const QFileInfo fi(path);
    if (fi.isDir() && !fi.isSymLink()) {
        struct stat st {};
        const QByteArray p = native(fi.absoluteFilePath());
        if (::lstat(p.constData(), &st) == 0)
            tighten(p, st);
        return true;
    }
    if (fi.exists() || fi.isSymLink())
        return fi.isDir();
    const QString parent = fi.absolutePath();
    if (parent != fi.absoluteFilePath() && !QFileInfo(parent).isDir() && !makePrivateFolder(parent))
        return false;
    const QByteArray p = native(fi.absoluteFilePath());
    if (::mkdir(p.constData(), kFolderMode) != 0 && errno != EEXIST)
        return false;
    ::chmod(p.constData(), kFolderMode); // mkdir's mode passes through the umask
    return QFileInfo(path).isDir();
}

bool preparePrivateFile(const QString &path)
{
    const QByteArray p = native(path);
    int fd = ::open(p.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kFileMode);
    if (fd >= 0) {
        // The mode given to open passes through the umask; a new file is exactly 0600.
        // A file system without owners (a FAT stick) refuses any mode: the file is still usable.
        ::fchmod(fd, kFileMode);
        ::close(fd);
        return true;
    }
    if (errno != EEXIST)
        return false;
    fd = ::open(p.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok && (st.st_mode & 077) != 0)
        ::fchmod(fd, st.st_mode & 07700);
    ::close(fd);
    return ok;
}

bool makePrivate(QFileDevice &file)
{
    const int fd = file.handle();
    if (fd < 0)
        return false;
    ::fchmod(fd, kFileMode); // refused only where files have no owners (a FAT stick)
    return true;
}

void tightenFolder(const QString &folder)
{
    tightenTree(native(QFileInfo(folder).absoluteFilePath()), 0);
}

} // namespace qv
