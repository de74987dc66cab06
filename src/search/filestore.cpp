#include "search/filestore.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Juanzong::FileStore {

namespace {
// A fresh name beside target for a file that is not complete yet.
QByteArray temporaryName(const QByteArray &target)
{
    return target + ".new-" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
}

struct Fd
{
    int fd;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};
} // namespace

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
    case EDQUOT:
        return QStringLiteral("超出了磁盘配额");
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

QString unreadableReason(const QString &path)
{
    const Fd file{::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        return reasonFor(errno, Access::Read);
    struct stat info;
    if (::fstat(file.fd, &info) != 0)
        return reasonFor(errno, Access::Read);
    if (S_ISDIR(info.st_mode))
        return reasonFor(EISDIR, Access::Read);
    return {};
}

Replacement::Replacement(const QString &path)
    : m_target(QFile::encodeName(path))
{
    // O_EXCL with a fresh name each try: never write into a file someone else made.
    for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
        m_temporary = temporaryName(m_target);
        m_fd = ::open(m_temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0)
        m_error = errno;
}

Replacement::~Replacement()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        ::unlink(m_temporary.constData());
    }
}

bool Replacement::write(QByteArrayView bytes)
{
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    while (m_error == 0 && left > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(left));
        if (written < 0) {
            if (errno != EINTR)
                m_error = errno;
            continue;
        }
        data += written;
        left -= written;
    }
    return m_error == 0;
}

bool Replacement::commit()
{
    if (m_error != 0)
        return false;
    // No fsync: the next search rebuilds the page anyway, and renaming only a
    // complete file already means a killed process leaves one page or the
    // other. Syncing a large page would cost more than the whole search.
    const int closed = ::close(m_fd);
    m_fd = -1;
    if (closed != 0 || ::rename(m_temporary.constData(), m_target.constData()) != 0) {
        m_error = errno;
        ::unlink(m_temporary.constData());
        return false;
    }
    return true;
}

QString replace(const QString &path, QByteArrayView bytes)
{
    Replacement file(path);
    file.write(bytes);
    return file.commit() ? QString() : file.reason();
}

QString replaceWithCopy(const QString &path, const QString &source)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray from = QFile::encodeName(source);
    // A second name costs nothing, and stays right: every replacement makes a
    // new file, so replacing one name later never changes the other.
    const QByteArray link = temporaryName(target);
    if (::link(from.constData(), link.constData()) == 0) {
        if (::rename(link.constData(), target.constData()) == 0)
            return {};
        const int error = errno;
        ::unlink(link.constData());
        return reasonFor(error, Access::Write);
    }

    const Fd in{::open(from.constData(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0)
        return reasonFor(errno, Access::Read);
    Replacement out(path);
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(in.fd, buffer.data(), size_t(buffer.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return reasonFor(errno, Access::Read);
        if (got == 0)
            break;
        out.write(QByteArrayView(buffer.constData(), got));
    }
    return out.commit() ? QString() : out.reason();
}

} // namespace Juanzong::FileStore
