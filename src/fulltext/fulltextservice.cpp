// SPDX-License-Identifier: GPL-3.0-or-later
#include "fulltext/fulltextservice.h"

#include <QThread>

namespace Juanzong {

FullTextService::FullTextService(Builder builder, QObject *parent)
    : QObject(parent)
    , m_builder(std::move(builder))
{
}

FullTextService::~FullTextService()
{
    if (!m_thread)
        return;
    m_cancelled = true;
    m_thread->wait();
    delete m_thread;
}

void FullTextService::start()
{
    if (m_thread)
        return;
    m_thread = QThread::create([this] {
        std::shared_ptr<FullTextIndex> index = m_builder(m_cancelled);
        if (m_cancelled)
            return;
        // Handed to this object's thread; the destructor waits for this thread,
        // so the object is alive while the call is queued.
        QMetaObject::invokeMethod(this, [this, index] { built(index); }, Qt::QueuedConnection);
    });
    m_thread->setObjectName(QStringLiteral("fulltext-index"));
    // The window comes first: the index is built with whatever time is left over.
    m_thread->start(QThread::LowPriority);
}

void FullTextService::built(std::shared_ptr<FullTextIndex> index)
{
    m_index = std::move(index);
    Q_EMIT ready();
    if (!m_waiting.isEmpty())
        search(std::exchange(m_waiting, QString()));
}

void FullTextService::search(const QString &query)
{
    if (m_index) {
        Q_EMIT searched(m_index->search(query));
        return;
    }
    m_waiting = query;
    start();
    Q_EMIT waiting(query);
}

} // namespace Juanzong
