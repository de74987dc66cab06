// Builds the platform widgets, wraps them in their adapters and hands them to the window.
#include "core/contentpaths.h"
#include "platform/qt/contentscheme.h"
#include "platform/qt/qtmessagebox.h"
#include "platform/qt/qtskin.h"
#include "platform/qt/qttreeview.h"
#include "platform/qt/webenginehtmlview.h"
#include "window/mainwindow.h"

#include <QApplication>
#include <QIcon>
#include <QTreeWidget>
#include <QWebEngineView>

using namespace Juanzong;

int main(int argc, char *argv[])
{
    ContentSchemeHandler::registerScheme();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("juanzong"));
    QApplication::setApplicationDisplayName(QStringLiteral("卷宗范本"));
    QApplication::setApplicationVersion(QStringLiteral("2.0.0"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/juanzong/juanzong.png")));

    ContentSchemeHandler content([] { return ContentPaths::contentRoot(ContentPaths::programDirectory()); });
    auto *webView = new QWebEngineView;
    WebEngineHtmlView html(webView, &content);
    auto *treeWidget = new QTreeWidget;
    QtTreeView tree(treeWidget);
    StyleSheetSkin skin;
    QtMessageBox messages;

    MainWindow window({webView, &html, treeWidget, &tree, &skin, &messages, &ContentPaths::programDirectory});
    messages.setParentWindow(&window);
    window.show();
    return QApplication::exec();
}
