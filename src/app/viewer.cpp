// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/viewer.h"

#include "core/contentpaths.h"
#include "platform/pageaccessibility.h"
#include "window/accessibleroles.h"

#include <QTreeWidget>

namespace Juanzong {

void Viewer::prepare()
{
    ContentSchemeHandler::registerScheme();
    QtDesktop::keepNoSettings();
    PageAccessibility::prepare();
    installAccessibleRoles();
}

Viewer::Viewer(std::function<QString()> programDirectory)
    : m_pageHolder(new QWidget)
    , m_treeWidget(new QTreeWidget)
    , m_content([programDirectory] { return ContentPaths::contentRoot(programDirectory()); })
    , m_html(m_pageHolder, &m_content)
    , m_tree(m_treeWidget)
{
    m_window = std::make_unique<MainWindow>(
        WindowParts{m_pageHolder, &m_html, m_treeWidget, &m_tree, &m_skin, &m_messages, std::move(programDirectory),
                    &m_desktop});
    m_messages.setParentWindow(m_window.get());
    m_desktop.setParentWindow(m_window.get());
}

// The window owns the two widgets; it goes first, before the adapters that drive them.
Viewer::~Viewer()
{
    m_window.reset();
}

} // namespace Juanzong
