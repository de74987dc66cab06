// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/cataloguetree.h"

#include "core/catalogue.h"
#include "platform/treeview.h"

namespace Juanzong {

void buildCatalogue(TreeView &tree)
{
    using Catalogue::StartupAction;
    for (const Catalogue::Row &row : Catalogue::rows()) {
        const QString key = row.key.toString();
        tree.addNode(row.parentKey.toString(), key, row.label.toString());
        switch (row.action) {
        case StartupAction::MakeVisible:
            tree.ensureVisible(key);
            break;
        case StartupAction::Expand:
            tree.setExpanded(key, true);
            break;
        case StartupAction::None:
            break;
        }
    }
}

} // namespace Juanzong
