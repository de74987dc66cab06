// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on fake platform adapters, and the keys and typing a user gives it.
#pragma once

#include "fakes.h"

#include "documentui/fillpanel.h"
#include "window/mainwindow.h"

#include <QLineEdit>

#include <QTest>

#include <memory>

namespace Juanzong::Testing {

struct WindowRig
{
    explicit WindowRig(const QString &folder = u"/srv/juanzong"_s) : programDir(folder)
    {
        webys->setFocusPolicy(Qt::StrongFocus);
        treeWidget->setFocusPolicy(Qt::StrongFocus);
        html.onSilent = [this] { tagAtSilent = webys->property("Tag").toString(); };
        // The folder is read on every call, so a test may move it under a running window.
        window = std::make_unique<MainWindow>(WindowParts{webys, &html, treeWidget, &tree, &skin, &messages,
                                                          [this] { return programDir; }, &desktop});
    }

    template<typename T = QWidget>
    T *control(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    // Shortcuts of the window answer only while it is the active one.
    void activate()
    {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    QString programDir;
    CallLog log;
    QWidget *webys = new QWidget;
    QWidget *treeWidget = new QWidget;
    FakeHtmlView html{log};
    FakeTreeView tree{log};
    FakeSkin skin{log};
    FakeMessageBox messages{log};
    FakeDesktop desktop{log};
    QString tagAtSilent; // the layout record the view had when it was silenced
    std::unique_ptr<MainWindow> window;
};

inline void press(QWidget *target, const QString &key)
{
    const QKeyCombination combination = QKeySequence::fromString(key, QKeySequence::PortableText)[0];
    QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
}

// Types text the way an input method delivers it: one key event per character.
inline void type(QWidget *target, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// The fill panel's group of this label, -1 for none, and the field that fills all its places.
inline int groupIndex(const FillPanel *panel, const QString &label)
{
    const auto &groups = panel->fillIn().groups();
    for (int g = 0; g < groups.size(); ++g)
        if (groups.at(g).label == label)
            return g;
    return -1;
}
inline QLineEdit *groupField(const FillPanel *panel, const QString &label)
{
    return panel->findChild<QLineEdit *>(u"FillGroup"_s + QString::number(groupIndex(panel, label)));
}

} // namespace Juanzong::Testing
