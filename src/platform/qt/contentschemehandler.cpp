// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/contentschemehandler.h"

#include "core/contenturl.h"

#include <QBuffer>
#include <QFile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace Juanzong {

void ContentSchemeHandler::registerScheme()
{
    QWebEngineUrlScheme scheme(ContentUrl::Scheme.latin1());
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Neither local nor with local access: a page of a local scheme counts as
    // local content, which may read file: addresses, and without local access
    // it could not load even its own style sheet. No web page is ever shown to
    // link into the folder instead.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

ContentSchemeHandler::ContentSchemeHandler(std::function<QString()> contentRoot, QObject *parent)
    : QWebEngineUrlSchemeHandler(parent)
    , m_contentRoot(std::move(contentRoot))
{
}

QUrl ContentSchemeHandler::urlFor(const QString &path) const
{
    return ContentUrl::fromPath(m_contentRoot(), path);
}

QString ContentSchemeHandler::pathFor(const QUrl &url) const
{
    return ContentUrl::toPath(m_contentRoot(), url);
}

QUrl ContentSchemeHandler::serveFromMemory(const QString &path, const QString &html)
{
    const QUrl url = urlFor(path);
    if (url.isEmpty())
        return url;
    // Back may return to a few results shown before the latest; older ones go.
    const QString token = QString::number(++m_nextToken);
    m_memoryPages.insert(token, html);
    m_memoryPages.remove(QString::number(m_nextToken - KeptMemoryPages));
    return ContentUrl::inMemory(url, token);
}

void ContentSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QUrl url = job->requestUrl();
    if (const QString token = ContentUrl::memoryToken(url); !token.isEmpty()) {
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
    auto *file = new QFile(job);
    switch (ContentUrl::openReadable(m_contentRoot(), path, *file)) {
    case ContentUrl::Readable::Yes:
        break;
    case ContentUrl::Readable::TooLarge:
        job->fail(QWebEngineUrlRequestJob::RequestFailed);
        return;
    case ContentUrl::Readable::Outside:
    case ContentUrl::Readable::NotPlain:
    case ContentUrl::Readable::Unreadable:
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    // The engine reads the file in its own time; only the start is read here.
    const QByteArray head = file->peek(ContentUrl::SniffBytes);
    job->reply(ContentUrl::contentType(file->fileName(), head), file);
}

} // namespace Juanzong
