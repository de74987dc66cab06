// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue tree on a QTreeWidget; nodes are found by their keys.
#pragma once

#include "platform/treeview.h"

#include <QHash>

class QTreeWidget;
class QTreeWidgetItem;

namespace Juanzong {

class QtTreeView final : public TreeView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QtTreeView)
public:
    explicit QtTreeView(QTreeWidget *tree, QObject *parent = nullptr);

    void addNode(const QString &parentKey, const QString &key, const QString &text) override;
    void ensureVisible(const QString &key) override;
    void setExpanded(const QString &key, bool expanded) override;
    void setCurrentQuietly(const QString &key) override;

    QTreeWidgetItem *item(const QString &key) const { return m_items.value(key); }

private:
    QTreeWidget *m_tree;
    QHash<QString, QTreeWidgetItem *> m_items;
    bool m_quiet = false;
};

} // namespace Juanzong
