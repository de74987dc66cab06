// SPDX-License-Identifier: GPL-3.0-or-later
// The file store on QFile and QSaveFile, for systems without the POSIX calls.
#include "search/filestore.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

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
    : m_handle(std::make_unique<Handle>())
    , m_path(path)
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

struct Replacement::Handle
{
    explicit Handle(const QString &path)
        : file(path)
    {
    }
    QSaveFile file;
};

Replacement::Replacement(const QString &path)
    : m_handle(std::make_unique<Handle>(path))
    , m_path(path)
{
    // QSaveFile is Qt's only rename that replaces the target (MoveFileEx with
    // MOVEFILE_REPLACE_EXISTING on Windows): QFile::rename refuses to, and
    // removing the old file first would leave a moment without any. It also
    // syncs the new file before renaming, a cost the POSIX store leaves out.
    if (!m_handle->file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        m_reason = writeReason(m_handle->file, path, 0);
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
    if (!m_handle->file.commit()) {
        m_reason = writeReason(m_handle->file, m_path, 0);
        return false;
    }
    return true;
}

std::optional<QString> replaceWithLink(const QString &, const QString &)
{
    // Never QFile::link: on Windows it makes a .lnk shortcut, not a second name.
    return std::nullopt;
}

} // namespace Juanzong::FileStore
