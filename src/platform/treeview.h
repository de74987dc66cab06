// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue tree control as the window sees it: nodes are named by their keys.
#pragma once

#include <QObject>
#include <QString>

namespace Juanzong {

class TreeView : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~TreeView() override = default;

    // Appends a node as the last child of parentKey, or as the last top-level
    // node when parentKey is empty. No image is given to any node.
    virtual void addNode(const QString &parentKey, const QString &key, const QString &text) = 0;
    // Opens every ancestor of the node and scrolls it into view.
    virtual void ensureVisible(const QString &key) = 0;
    virtual void setExpanded(const QString &key, bool expanded) = 0;
    // Makes the node the current one without reporting it as clicked and
    // without scrolling: ensureVisible is asked separately when wanted.
    virtual void setCurrentQuietly(const QString &key) = 0;

Q_SIGNALS:
    // The user chose this node, with the mouse or the keyboard.
    void nodeClicked(const QString &key);
};

} // namespace Juanzong
