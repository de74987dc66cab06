// SPDX-License-Identifier: GPL-3.0-or-later
// The file store on QFile and QSaveFile, for systems without the POSIX calls.
#include "search/filestore.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStorageInfo>

#include <filesystem>
#include <optional>
#include <system_error>

namespace Juanzong::FileStore {

namespace {
// Whether the first part of path that exists is a file where a folder must be.
bool runsThroughFile(const QString &path)
{
    QFileInfo info(path);
    while (!info.exists() && !info.isRoot())
        info.setFile(info.absolutePath());
    return info.exists() && !info.isDir();
}

// Qt tells only a coarse kind of error, and its own text in English. What the
// file system shows right after the failure narrows it down to the reason the
// POSIX store gives; Qt's text is kept for the rest.
QString readReason(const QFileDevice &file, const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return runsThroughFile(path) ? QStringLiteral("路径中有一段不是文件夹") : QStringLiteral("文件不存在");
    if (info.isDir())
        return QStringLiteral("同名的是一个文件夹，不是文件");
    if (!info.isReadable())
        return QStringLiteral("没有读取权限");
    return QStringLiteral("读取出错（%1）").arg(file.errorString());
}

// unwritten: the bytes a failed write still had to put down, 0 when the failure
// came on opening or renaming.
QString writeReason(const QFileDevice &file, const QString &path, qint64 unwritten)
{
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if (info.isDir())
        return QStringLiteral("同名的是一个文件夹，不是文件");
    if (!folder.isDir()) {
        return runsThroughFile(folder.filePath()) ? QStringLiteral("路径中有一段不是文件夹")
                                                  : QStringLiteral("所在的文件夹不存在");
    }
    if (unwritten > 0) {
        // Qt says ResourceError for a full disk on Unix only; elsewhere the
        // volume itself says whether the bytes could have fit.
        const QStorageInfo volume(folder.absoluteFilePath());
        if (file.error() == QFileDevice::ResourceError
            || (volume.isValid() && volume.bytesAvailable() >= 0 && volume.bytesAvailable() < unwritten)) {
            return QStringLiteral("磁盘空间不足");
        }
    }
    if (!folder.isWritable() || (info.exists() && !info.isWritable()))
        return QStringLiteral("没有写入权限");
    return QStringLiteral("写入出错（%1）").arg(file.errorString());
}
} // namespace

struct Source::Handle
{
    QFile file;
};

Source::Source(const QString &path)
    : FileAccess(path)
    , m_handle(std::make_unique<Handle>())
{
    // Qt refuses to open a folder for reading on every system, so a folder ends
    // up among the failures here.
    m_handle->file.setFileName(path);
    if (!m_handle->file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        m_reason = readReason(m_handle->file, path);
}

Source::~Source() = default;

qsizetype Source::read(char *data, qsizetype size)
{
    if (!m_reason.isEmpty())
        return -1;
    const qint64 got = m_handle->file.read(data, size);
    if (got < 0)
        m_reason = readReason(m_handle->file, m_path);
    return qsizetype(got);
}

namespace {
// What the rename failed on, in the words writeReason uses.
QString renameReason(const QString &path, const std::error_code &error)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("同名的是一个文件夹，不是文件");
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted)
        return QStringLiteral("没有写入权限");
    return QStringLiteral("写入出错（%1）").arg(QString::fromLocal8Bit(error.message()));
}
} // namespace

struct Replacement::Handle
{
    ~Handle()
    {
        if (written && !renamed)
            QFile::remove(fresh);
    }
    QString fresh; // complete here before it takes the file's name
    QSaveFile file;
    std::optional<QFileDevice::Permissions> permissions;
    bool written = false;
    bool renamed = false;
};

Replacement::Replacement(const QString &path)
    : FileAccess(path)
    , m_handle(std::make_unique<Handle>())
{
    // A link in the file's place is replaced, never followed: QSaveFile would
    // write through it, so it writes a fresh name beside the file instead,
    // which is then renamed over the file.
    Handle &file = *m_handle;
    const QFileInfo old(path);
    if (!old.isSymLink() && old.isDir()) {
        m_reason = QStringLiteral("同名的是一个文件夹，不是文件");
        return;
    }
    if (!old.isSymLink() && old.isFile()) {
        // A file its owner marked read-only is kept, whoever runs the search.
        const QFileDevice::Permissions bits = old.permissions()
            & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
        if (!bits.testFlag(QFileDevice::WriteOwner)) {
            m_reason = QStringLiteral("没有写入权限");
            return;
        }
        file.permissions = bits;
    }
    file.fresh = temporaryName(path);
    file.file.setFileName(file.fresh);
    if (!file.file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        m_reason = writeReason(file.file, path, 0);
}

Replacement::~Replacement() = default; // QSaveFile removes what was never committed

bool Replacement::write(QByteArrayView bytes)
{
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    // A short count is how Qt reports a disk that stopped taking bytes part way
    // through: the error itself comes only with the next try.
    while (m_reason.isEmpty() && left > 0) {
        const qint64 written = m_handle->file.write(data, left);
        if (written <= 0) {
            m_reason = writeReason(m_handle->file, m_path, left);
            break;
        }
        data += written;
        left -= qsizetype(written);
    }
    return m_reason.isEmpty();
}

bool Replacement::commit()
{
    if (!m_reason.isEmpty())
        return false;
    // QSaveFile syncs the new file to disk before it takes the fresh name, so
    // a power cut leaves the old page or the new one, never an empty file.
    Handle &file = *m_handle;
    if (!file.file.commit()) {
        m_reason = writeReason(file.file, m_path, 0);
        return false;
    }
    file.written = true;
    if (file.permissions && !QFile::setPermissions(file.fresh, *file.permissions)) {
        m_reason = QStringLiteral("写入出错（无法设置文件权限）");
        return false;
    }
    // Unlike QFile::rename, std::filesystem::rename replaces the file (on
    // Windows with MOVEFILE_REPLACE_EXISTING), and a link as a link.
    std::error_code error;
    std::filesystem::rename(QFileInfo(file.fresh).filesystemFilePath(), QFileInfo(m_path).filesystemFilePath(),
                            error);
    if (error) {
        m_reason = renameReason(m_path, error);
        return false;
    }
    file.renamed = true;
    return true;
}

std::optional<QString> replaceWithLink(const QString &, const QString &)
{
    // Never QFile::link: on Windows it makes a .lnk shortcut, not a second name.
    return std::nullopt;
}

} // namespace Juanzong::FileStore
