// SPDX-License-Identifier: GPL-3.0-or-later
// The full-text index as the window uses it: built once on a worker thread,
// queries that come before it is ready wait for it instead of blocking.
#pragma once

#include "fulltext/fulltextindex.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace Juanzong {

class FullTextService final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FullTextService)
public:
    // Runs on the worker thread; returns early, with what it has, once cancelled is set.
    using Builder = std::function<std::unique_ptr<FullTextIndex>(const std::atomic_bool &cancelled)>;

    explicit FullTextService(Builder builder, QObject *parent = nullptr);
    // Stops a build still running and waits for its thread.
    ~FullTextService() override;

    // Starts the build unless it has started already.
    void start();
    bool hasStarted() const { return m_thread != nullptr; }
    bool isReady() const { return m_index != nullptr; }
    // Null until ready.
    const FullTextIndex *index() const { return m_index.get(); }

    // Searches at once when ready (searched() before returning); otherwise starts
    // the build, says waiting(), and searches for the latest query when ready.
    void search(const QString &query);
    // Forgets a query that waits for the index.

Q_SIGNALS:
    void waiting(const QString &query);
    void ready();
    void searched(const Juanzong::FullTextResult &result);

private:
    void built(std::shared_ptr<FullTextIndex> index);

    Builder m_builder;
    std::shared_ptr<FullTextIndex> m_index;
    QThread *m_thread = nullptr;
    std::atomic_bool m_cancelled = false;
    QString m_waiting;
};

} // namespace Juanzong
