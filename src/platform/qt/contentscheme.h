// SPDX-License-Identifier: GPL-3.0-or-later
// Serves the content folder to the web view, so that pages without a declared
// character set are always read as GBK rather than by the engine's guess.
#pragma once

#include <QHash>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

#include <functional>

namespace Juanzong {

class ContentSchemeHandler final : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ContentSchemeHandler)
public:
    static constexpr QLatin1StringView Scheme{"juanzong"};
    static constexpr QLatin1StringView Host{"ws"};

    // Must run before the application object is created.
    static void registerScheme();

    // contentRoot is asked afresh for every request and every mapping.
    explicit ContentSchemeHandler(std::function<QString()> contentRoot, QObject *parent = nullptr);

    // The URL under which a file of the content folder is served; an empty URL
    // for a path outside the folder.
    QUrl urlFor(const QString &path) const;
    // The local file an URL of this scheme stands for; empty for any other URL.
    QString pathFor(const QUrl &url) const;

    // Serves html in place of the file at path for the returned URL only, so
    // that relative links still resolve in the file's folder.
    QUrl serveFromMemory(const QString &path, const QString &html);

    void requestStarted(QWebEngineUrlRequestJob *job) override;

    // What the content type of an HTML file should say: GBK unless the page
    // declares a character set of its own (a meta tag or a byte order mark).
    static QByteArray htmlContentType(const QByteArray &head);

private:
    QString root() const;

    std::function<QString()> m_contentRoot;
    QHash<QString, QString> m_memoryPages; // query token -> html
    int m_nextToken = 0;
};

} // namespace Juanzong
