// SPDX-License-Identifier: GPL-3.0-or-later
// Serves the content folder to the web view under its own scheme, and nothing
// beyond it: pages without a declared character set are labelled GBK rather
// than left to the engine's guess.
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
    // Must run before the application object is created.
    static void registerScheme();

    // contentRoot is asked afresh for every request and every mapping.
    explicit ContentSchemeHandler(std::function<QString()> contentRoot, QObject *parent = nullptr);

    QUrl urlFor(const QString &path) const;
    QString pathFor(const QUrl &url) const;

    // Serves html in place of the file at path for the returned URL only, so
    // that relative links still resolve in the file's folder. An empty URL for
    // a path outside the folder.
    QUrl serveFromMemory(const QString &path, const QString &html);
    // How many such pages stay available to Back.
    static constexpr int KeptMemoryPages = 8;

    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    std::function<QString()> m_contentRoot;
    QHash<QString, QString> m_memoryPages; // token -> html
    int m_nextToken = 0;
};

} // namespace Juanzong
