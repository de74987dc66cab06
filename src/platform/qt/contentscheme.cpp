// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/contentscheme.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QUrlQuery>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace Juanzong {

namespace {

constexpr QLatin1StringView MemoryKey{"inmemory"};
constexpr qsizetype CharsetSniffBytes = 4096;

bool isHtml(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return suffix == u"html" || suffix == u"htm";
}

} // namespace

void ContentSchemeHandler::registerScheme()
{
    QWebEngineUrlScheme scheme(QByteArray(Scheme.data(), Scheme.size()));
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme
                    | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

ContentSchemeHandler::ContentSchemeHandler(std::function<QString()> contentRoot, QObject *parent)
    : QWebEngineUrlSchemeHandler(parent)
    , m_contentRoot(std::move(contentRoot))
{
}

QString ContentSchemeHandler::root() const
{
    // Cleaned and without a trailing separator, so the prefix test below is exact.
    return QDir::cleanPath(QDir::fromNativeSeparators(m_contentRoot()));
}

QUrl ContentSchemeHandler::urlFor(const QString &path) const
{
    const QString base = root();
    const QString file = QDir::cleanPath(QDir::fromNativeSeparators(path));
    if (!file.startsWith(base + u'/'))
        return {};
    QUrl url;
    url.setScheme(Scheme);
    url.setHost(Host);
    url.setPath(file.sliced(base.size()));
    return url;
}

QString ContentSchemeHandler::pathFor(const QUrl &url) const
{
    if (url.scheme() != Scheme || url.host() != Host)
        return {};
    const QString relative = QDir::cleanPath(url.path());
    // A cleaned path that still climbs would leave the folder: never served.
    if (!relative.startsWith(u'/') || relative.startsWith(u"/..") || relative == u"/")
        return {};
    return QDir::toNativeSeparators(root() + relative);
}

QUrl ContentSchemeHandler::serveFromMemory(const QString &path, const QString &html)
{
    QUrl url = urlFor(path);
    if (url.isEmpty())
        return url;
    // One page at a time is enough: only the latest unsaved result is shown.
    m_memoryPages.clear();
    const QString token = QString::number(++m_nextToken);
    m_memoryPages.insert(token, html);
    QUrlQuery query;
    query.addQueryItem(MemoryKey, token);
    url.setQuery(query);
    return url;
}

QByteArray ContentSchemeHandler::htmlContentType(const QByteArray &head)
{
    if (head.startsWith("\xEF\xBB\xBF") || head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return "text/html";
    const QByteArray lower = head.left(CharsetSniffBytes).toLower();
    qsizetype meta = lower.indexOf("<meta");
    while (meta >= 0) {
        const qsizetype end = lower.indexOf('>', meta);
        const QByteArray tag = lower.mid(meta, end < 0 ? -1 : end - meta);
        if (tag.contains("charset"))
            return "text/html";
        meta = lower.indexOf("<meta", meta + 5);
    }
    return "text/html;charset=GBK";
}

void ContentSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QUrl url = job->requestUrl();
    const QString token = QUrlQuery(url).queryItemValue(MemoryKey);
    if (!token.isEmpty()) {
        const auto page = m_memoryPages.constFind(token);
        if (page == m_memoryPages.cend()) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        auto *buffer = new QBuffer(job);
        buffer->setData(page->toUtf8());
        job->reply("text/html;charset=UTF-8", buffer);
        return;
    }

    const QString path = pathFor(url);
    if (path.isEmpty()) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    // Links inside the folder must not lead out of it, not even through a symbolic link.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QString canonicalRoot = QFileInfo(root()).canonicalFilePath();
    if (canonical.isEmpty() || canonicalRoot.isEmpty() || !canonical.startsWith(canonicalRoot + u'/')) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    QFile file(canonical);
    if (!QFileInfo(canonical).isFile() || !file.open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto *buffer = new QBuffer(job);
    buffer->setData(file.readAll());

    QByteArray contentType;
    if (isHtml(canonical))
        contentType = htmlContentType(buffer->data());
    else
        contentType = QMimeDatabase().mimeTypeForFile(canonical, QMimeDatabase::MatchExtension).name().toLatin1();
    job->reply(contentType, buffer);
}

} // namespace Juanzong
