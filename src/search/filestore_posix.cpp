// SPDX-License-Identifier: GPL-3.0-or-later
// The file store on plain POSIX calls: no buffering of its own, a hard link for a second copy.
#include "search/filestore.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Juanzong::FileStore {

namespace {
enum class Access { Read, Write };

// A short Chinese reason for a system error code met while reading or writing.
QString reasonFor(int errorCode, Access access)
{
    switch (errorCode) {
    case ENOENT:
        return access == Access::Read ? QStringLiteral("文件不存在") : QStringLiteral("所在的文件夹不存在");
    case EACCES:
    case EPERM:
        return access == Access::Read ? QStringLiteral("没有读取权限") : QStringLiteral("没有写入权限");
    case EROFS:
        return QStringLiteral("所在的磁盘是只读的");
    case ENOSPC:
        return QStringLiteral("磁盘空间不足");
#if defined(EDQUOT)
    case EDQUOT:
        return QStringLiteral("超出了磁盘配额");
#endif
    case EFBIG:
        return QStringLiteral("文件超过了允许的大小");
    case EISDIR:
        return QStringLiteral("同名的是一个文件夹，不是文件");
    case ENOTDIR:
        return QStringLiteral("路径中有一段不是文件夹");
    case ENAMETOOLONG:
        return QStringLiteral("路径太长");
    case EIO:
        return QStringLiteral("磁盘读写出错");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("打开的文件太多");
    case ENOMEM:
        return QStringLiteral("内存不足");
    default:
        return QStringLiteral("系统错误 %1（%2）").arg(errorCode).arg(QString::fromLocal8Bit(std::strerror(errorCode)));
    }
}

// A fresh name beside target for a file that is not complete yet.
QByteArray temporaryName(const QByteArray &target)
{
    return QFile::encodeName(FileStore::temporaryName(QFile::decodeName(target)));
}
} // namespace

struct Source::Handle
{
    int fd = -1;
    ~Handle()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

Source::Source(const QString &path)
    : FileAccess(path)
    , m_handle(std::make_unique<Handle>())
{
    m_handle->fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (m_handle->fd < 0) {
        m_reason = reasonFor(errno, Access::Read);
        return;
    }
    // open() hands out folders as well; reading one fails only later, and less clearly.
    struct stat info;
    if (::fstat(m_handle->fd, &info) != 0)
        m_reason = reasonFor(errno, Access::Read);
    else if (S_ISDIR(info.st_mode))
        m_reason = reasonFor(EISDIR, Access::Read);
}

Source::~Source() = default;

qsizetype Source::read(char *data, qsizetype size)
{
    if (!m_reason.isEmpty())
        return -1;
    for (;;) {
        const ssize_t got = ::read(m_handle->fd, data, size_t(size));
        if (got >= 0)
            return qsizetype(got);
        if (errno != EINTR) {
            m_reason = reasonFor(errno, Access::Read);
            return -1;
        }
    }
}

namespace {
// What stands at a name about to be replaced: nothing, a file with these
// permission bits, or an error code saying why it must stay.
struct OldFile
{
    int error = 0;
    std::optional<mode_t> mode; // a plain file's permission bits
};

OldFile oldFileAt(const QByteArray &target)
{
    // lstat, not stat: a link in the file's place is replaced, never followed.
    struct stat info;
    if (::lstat(target.constData(), &info) != 0)
        return {};
    if (S_ISDIR(info.st_mode))
        return {EISDIR, std::nullopt};
    if (!S_ISREG(info.st_mode))
        return {};
    // A file its owner marked read-only is kept, whoever runs the search.
    if ((info.st_mode & S_IWUSR) == 0)
        return {EACCES, std::nullopt};
    return {0, info.st_mode & 0777};
}
} // namespace

struct Replacement::Handle
{
    QByteArray target;
    QByteArray temporary;
    int fd = -1;
    mode_t mode = 0666;
    bool keepMode = false;
};

Replacement::Replacement(const QString &path)
    : FileAccess(path)
    , m_handle(std::make_unique<Handle>())
{
    Handle &file = *m_handle;
    file.target = QFile::encodeName(path);
    const OldFile old = oldFileAt(file.target);
    if (old.error != 0) {
        m_reason = reasonFor(old.error, Access::Write);
        return;
    }
    if (old.mode) {
        file.mode = *old.mode;
        file.keepMode = true;
    }
    // O_EXCL with a fresh name each try: never write into a file someone else made.
    for (int attempt = 0; attempt < 16 && file.fd < 0; ++attempt) {
        file.temporary = temporaryName(file.target);
        file.fd = ::open(file.temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, file.mode);
        if (file.fd < 0 && errno != EEXIST)
            break;
    }
    if (file.fd < 0)
        m_reason = reasonFor(errno, Access::Write);
}

Replacement::~Replacement()
{
    if (m_handle->fd >= 0) {
        ::close(m_handle->fd);
        ::unlink(m_handle->temporary.constData());
    }
}

bool Replacement::write(QByteArrayView bytes)
{
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    while (m_reason.isEmpty() && left > 0) {
        const ssize_t written = ::write(m_handle->fd, data, size_t(left));
        if (written < 0) {
            if (errno != EINTR)
                m_reason = reasonFor(errno, Access::Write);
            continue;
        }
        data += written;
        left -= written;
    }
    return m_reason.isEmpty();
}

bool Replacement::commit()
{
    if (!m_reason.isEmpty())
        return false;
    // Renaming only a complete file means a killed process leaves one page or
    // the other; syncing it first means a power cut does too, and not an empty
    // file under the new name. The old file's permissions survive the umask.
    Handle &file = *m_handle;
    int error = 0;
    if (file.keepMode && ::fchmod(file.fd, file.mode) != 0)
        error = errno;
    while (error == 0 && ::fsync(file.fd) != 0 && errno != EINVAL) {
        if (errno != EINTR)
            error = errno;
    }
    if (::close(file.fd) != 0 && error == 0)
        error = errno;
    file.fd = -1;
    if (error == 0 && ::rename(file.temporary.constData(), file.target.constData()) != 0)
        error = errno;
    if (error != 0) {
        m_reason = reasonFor(error, Access::Write);
        ::unlink(file.temporary.constData());
        return false;
    }
    return true;
}

std::optional<QString> replaceWithLink(const QString &path, const QString &source)
{
    const QByteArray target = QFile::encodeName(path);
    const OldFile old = oldFileAt(target);
    if (old.error != 0)
        return reasonFor(old.error, Access::Write);
    // A second name shares the first's permissions: a copy keeps the old ones.
    struct stat first;
    if (old.mode && (::stat(QFile::encodeName(source).constData(), &first) != 0 || (first.st_mode & 0777) != *old.mode))
        return std::nullopt;
    // A second name costs nothing, and stays right: every replacement makes a
    // new file, so replacing one name later never changes the other.
    const QByteArray link = temporaryName(target);
    if (::link(QFile::encodeName(source).constData(), link.constData()) != 0)
        return std::nullopt; // another file system, or one without links: copy
    if (::rename(link.constData(), target.constData()) == 0)
        return QString();
    const int error = errno;
    ::unlink(link.constData());
    return reasonFor(error, Access::Write);
}

} // namespace Juanzong::FileStore
