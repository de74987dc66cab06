// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/contenturl.h"

#include "core/contentpaths.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QUrlQuery>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Juanzong::ContentUrl {

namespace {
constexpr QLatin1StringView MemoryKey{"inmemory"};

QString cleanRoot(const QString &root)
{
    QString folder = root;
    return QDir::cleanPath(folder.replace(u'\\', u'/'));
}

bool isFolderUrl(const QUrl &url)
{
    return url.scheme() == Scheme && url.host() == Host && url.port() == -1 && url.userInfo().isEmpty();
}

bool isAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Whether a meta tag (its text from "<meta" to before ">", in lower case) has
// an attribute or a content value naming a character set.
bool declaresCharset(QByteArrayView tag)
{
    for (qsizetype at = tag.indexOf("charset"); at >= 0; at = tag.indexOf("charset", at + 1)) {
        qsizetype after = at + 7;
        while (after < tag.size() && isAsciiSpace(tag.at(after)))
            ++after;
        if (after < tag.size() && tag.at(after) == '=')
            return true;
    }
    return false;
}
} // namespace

Readable openReadable(const QString &root, const QString &path, QFile &file)
{
    file.close();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    if (canonical.isEmpty() || canonicalRoot.isEmpty() || !ContentPaths::insideFolder(canonicalRoot, canonical))
        return Readable::Outside;
#ifdef Q_OS_UNIX
    // The canonical name has no link left in it; one swapped in for the file
    // since is refused, and without O_NONBLOCK a pipe would block the open
    // itself. Type and size are those of the file opened.
    int fd;
    do {
        fd = ::open(QFile::encodeName(canonical).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno == ELOOP ? Readable::Outside : Readable::Unreadable;
    struct stat checked;
    const Readable verdict = ::fstat(fd, &checked) != 0 ? Readable::Unreadable
        : !S_ISREG(checked.st_mode)                     ? Readable::NotPlain
        : checked.st_size > LargestFile                 ? Readable::TooLarge
                                                        : Readable::Yes;
    if (verdict != Readable::Yes) {
        ::close(fd);
        return verdict;
    }
    // The view's engine reads only a file opened by its name, so it is opened
    // again, and must turn out to be the very file checked.
    file.setFileName(canonical);
    struct stat opened;
    const bool isOpen = file.open(QIODevice::ReadOnly);
    const bool same = isOpen && ::fstat(file.handle(), &opened) == 0 && opened.st_dev == checked.st_dev
        && opened.st_ino == checked.st_ino;
    ::close(fd);
    if (!same) {
        file.close();
        return isOpen ? Readable::Outside : Readable::Unreadable;
    }
    return Readable::Yes;
#else
    const QFileInfo info(canonical);
    if (!info.isFile())
        return Readable::NotPlain;
    if (info.size() > LargestFile)
        return Readable::TooLarge;
    file.setFileName(canonical);
    if (!file.open(QIODevice::ReadOnly))
        return Readable::Unreadable;
    return file.size() > LargestFile ? (file.close(), Readable::TooLarge) : Readable::Yes;
#endif
}

QUrl fromPath(const QString &root, const QString &path)
{
    const std::optional<QString> name = ContentPaths::insideFolder(root, path);
    if (!name)
        return {};
    QUrl url;
    url.setScheme(Scheme);
    url.setHost(Host);
    url.setPath(u'/' + *name);
    return url;
}

QString toPath(const QString &root, const QUrl &url)
{
    if (!isFolderUrl(url))
        return {};
    const QString path = url.path(QUrl::FullyDecoded);
    if (!path.startsWith(u'/') || path.contains(QChar(0)))
        return {};
    const QString folder = cleanRoot(root);
    const std::optional<QString> name = ContentPaths::insideFolder(folder, folder + path);
    if (!name)
        return {};
    const QString file = folder.endsWith(u'/') ? QString(folder + *name) : QString(folder + u'/' + *name);
    return QDir::toNativeSeparators(file);
}

QUrl inMemory(const QUrl &url, const QString &token)
{
    QUrl page = url;
    QUrlQuery query;
    query.addQueryItem(MemoryKey, token);
    page.setQuery(query);
    return page;
}

QString memoryToken(const QUrl &url)
{
    return isFolderUrl(url) ? QUrlQuery(url).queryItemValue(MemoryKey) : QString();
}

bool isViewable(const QUrl &url)
{
    const QString scheme = url.scheme();
    if (scheme == Scheme)
        return isFolderUrl(url);
    if (scheme == u"about")
        return url.path() == u"blank" || url.path() == u"srcdoc";
    return scheme == u"data" || scheme == u"blob";
}

bool isExternal(const QUrl &url)
{
    const QString scheme = url.scheme();
    return scheme == u"http" || scheme == u"https" || scheme == u"mailto";
}

QByteArray contentType(const QString &fileName, QByteArrayView head)
{
    const QString suffix = fileName.section(u'.', -1).toLower();
    if (fileName.contains(u'.') && (suffix == u"html" || suffix == u"htm"))
        return htmlContentType(head);
    return QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension).name().toLatin1();
}

QByteArray htmlContentType(QByteArrayView head)
{
    if (head.startsWith("\xEF\xBB\xBF") || head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return "text/html";
    const QByteArray text = head.first(qMin(head.size(), SniffBytes)).toByteArray().toLower();
    // The head ends at its closing tag, or where the body starts without one.
    qsizetype end = text.size();
    for (const char *mark : {"</head", "<body"}) {
        const qsizetype at = text.indexOf(mark);
        if (at >= 0 && at < end)
            end = at;
    }
    const QByteArrayView inHead = QByteArrayView(text).first(end);
    for (qsizetype at = 0; at < inHead.size();) {
        const qsizetype comment = inHead.indexOf("<!--", at);
        const qsizetype meta = inHead.indexOf("<meta", at);
        if (meta < 0)
            break;
        if (comment >= 0 && comment < meta) {
            const qsizetype close = inHead.indexOf("-->", comment + 4);
            if (close < 0)
                break;
            at = close + 3;
            continue;
        }
        const qsizetype close = inHead.indexOf('>', meta);
        const qsizetype tagEnd = close < 0 ? inHead.size() : close;
        if (declaresCharset(inHead.sliced(meta, tagEnd - meta)))
            return "text/html";
        at = tagEnd;
    }
    return "text/html;charset=GBK";
}

} // namespace Juanzong::ContentUrl
