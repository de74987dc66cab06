// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qttreeview.h"

#include <QApplication>
#include <QHeaderView>
#include <QTreeWidget>

namespace Juanzong {

QtTreeView::QtTreeView(QTreeWidget *tree, QObject *parent)
    : TreeView(parent)
    , m_tree(tree)
{
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    // Hidden from sight, the header still names the column to a screen reader.
    m_tree->setHeaderLabel(QStringLiteral("目录"));
    m_tree->setRootIsDecorated(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(false);

    // A click reports its node; so does a keyboard move of the current node,
    // but a current-node change made by the mouse is left to the click.
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        if (item)
            Q_EMIT nodeClicked(item->data(0, Qt::UserRole).toString());
    });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current) {
        if (m_quiet || !current || QApplication::mouseButtons() != Qt::NoButton)
            return;
        Q_EMIT nodeClicked(current->data(0, Qt::UserRole).toString());
    });
}

void QtTreeView::addNode(const QString &parentKey, const QString &key, const QString &text)
{
    QTreeWidgetItem *parent = parentKey.isEmpty() ? nullptr : m_items.value(parentKey);
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
    item->setText(0, text);
    item->setData(0, Qt::UserRole, key);
    item->setToolTip(0, text);
    m_items.insert(key, item);
}

void QtTreeView::ensureVisible(const QString &key)
{
    QTreeWidgetItem *item = m_items.value(key);
    if (!item)
        return;
    for (QTreeWidgetItem *up = item->parent(); up; up = up->parent())
        up->setExpanded(true);
    m_tree->scrollToItem(item);
}

void QtTreeView::setExpanded(const QString &key, bool expanded)
{
    if (QTreeWidgetItem *item = m_items.value(key))
        item->setExpanded(expanded);
}

void QtTreeView::setCurrentQuietly(const QString &key)
{
    QTreeWidgetItem *item = m_items.value(key);
    if (!item)
        return;
    m_quiet = true;
    const bool autoScroll = m_tree->hasAutoScroll();
    m_tree->setAutoScroll(false);
    m_tree->setCurrentItem(item);
    m_tree->setAutoScroll(autoScroll);
    m_quiet = false;
}

} // namespace Juanzong
