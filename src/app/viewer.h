// SPDX-License-Identifier: GPL-3.0-or-later
// The whole viewer assembled: real platform adapters wrapped around their widgets, handed to the window.
#pragma once

#include "platform/qt/contentschemehandler.h"
#include "platform/qt/qtdesktop.h"
#include "platform/qt/qtmessagebox.h"
#include "platform/qt/stylesheetskin.h"
#include "platform/qt/qttreeview.h"
#include "platform/qt/webenginehtmlview.h"
#include "window/mainwindow.h"

#include <functional>
#include <memory>

class QTreeWidget;
class QWidget;

namespace Juanzong {

class Viewer
{
    Q_DISABLE_COPY_MOVE(Viewer)
public:
    // Call before the application object exists.
    static void prepare();

    // Runs the window's start-up sequence; show() the window afterwards.
    explicit Viewer(std::function<QString()> programDirectory);
    ~Viewer();

    MainWindow &window() { return *m_window; }
    // The web view is made once the window has been painted.
    WebEngineHtmlView &html() { return m_html; }

private:
    QWidget *m_pageHolder; // the control `Webys`; the web view comes into it
    QTreeWidget *m_treeWidget;
    ContentSchemeHandler m_content;
    WebEngineHtmlView m_html;
    QtTreeView m_tree;
    StyleSheetSkin m_skin;
    QtMessageBox m_messages;
    QtDesktop m_desktop;
    std::unique_ptr<MainWindow> m_window;
};

} // namespace Juanzong
