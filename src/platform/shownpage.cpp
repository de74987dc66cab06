// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/shownpage.h"

#include "platform/htmlview.h"

#include <QPointer>

namespace Juanzong {

ShownPage::ShownPage(HtmlView *html, QObject *parent)
    : QObject(parent)
    , m_html(html)
{
    connect(html, &HtmlView::pageShown, this, [this](const QString &path) {
        m_path = path;
        m_loaded = false;
        ++m_generation;
        Q_EMIT shown(path);
    });
    connect(html, &HtmlView::pageLoaded, this, [this](bool ok) {
        m_loaded = ok;
        Q_EMIT loaded(ok);
    });
}

QString ShownPage::fragment() const
{
    return m_html->currentFragment();
}

void ShownPage::runScript(const QString &script, QObject *context, std::function<void(const QVariant &)> done)
{
    if (!done) {
        m_html->runIsolatedScript(script, {});
        return;
    }
    QPointer<ShownPage> self(this);
    QPointer<QObject> owner(context);
    m_html->runIsolatedScript(script, [self, owner, generation = m_generation, done = std::move(done)](const QVariant &answer) {
        if (self && owner && self->m_generation == generation)
            done(answer);
    });
}

} // namespace Juanzong
