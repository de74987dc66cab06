// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/contenturl.h"

#include "core/contentpaths.h"

#include <QDir>
#include <QMimeDatabase>
#include <QUrlQuery>

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

QUrl forDesktop(const QUrl &url)
{
    if (!url.isValid())
        return {};
    const QString scheme = url.scheme();
    if (scheme == u"http" || scheme == u"https")
        return url.host().isEmpty() ? QUrl() : url;
    if (scheme != u"mailto")
        return {};
    if (!url.hasQuery())
        return url;
    // Mail programs take attach= and attachment= in any case, percent-encoded or not.
    QUrlQuery kept;
    const QUrlQuery query(url);
    for (const auto &[key, value] : query.queryItems(QUrl::FullyEncoded)) {
        const QString name = QUrl::fromPercentEncoding(key.toUtf8()).trimmed().toLower();
        if (name != u"attach" && name != u"attachment")
            kept.addQueryItem(key, value);
    }
    QUrl mail = url;
    if (kept.isEmpty())
        mail.setQuery(QString());
    else
        mail.setQuery(kept.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return mail;
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
