// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/accessibleroles.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace Juanzong {

namespace {

// The application as Qt presents it, less the top-level windows nobody can see.
class ShownWindowsApplication final : public QAccessibleApplication
{
public:
    int childCount() const override { return int(shownWindows().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QObjectList windows = shownWindows();
        if (index < 0 || index >= windows.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(windows.at(index));
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        return int(shownWindows().indexOf(child->object()));
    }

private:
    // Qt's own list, in its order, but only windows that are on screen.
    static QObjectList shownWindows()
    {
        QObjectList list;
        const QWindowList windows = QGuiApplication::topLevelWindows();
        for (QWindow *window : windows) {
            if (!window->isVisible() || window->type() == Qt::Popup || window->type() == Qt::Desktop)
                continue;
            QAccessibleInterface *root = window->accessibleRoot();
            if (root && root->object())
                list.append(root->object());
        }
        return list;
    }
};

QAccessibleInterface *roleFactory(const QString &className, QObject *object)
{
    if (object == qApp && className == QLatin1StringView(qApp->metaObject()->className()))
        return new ShownWindowsApplication;
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    if (className == u"Juanzong::MainWindow")
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (className == u"Juanzong::FindBar")
        return new QAccessibleWidget(widget, QAccessible::ToolBar);
    return nullptr;
}

} // namespace

void installAccessibleRoles()
{
    static const bool installed = [] {
        QAccessible::installFactory(roleFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace Juanzong
