// SPDX-License-Identifier: GPL-3.0-or-later
// The one window of the program.
//
// Start-up: attach the skin -> record the design layout -> silence the view ->
// show the start page -> build the catalogue tree.
// Browsing: a tree node is chosen -> the catalogue says whether it has a page ->
// the view navigates there. Searching: the keyword -> the index is scanned ->
// the result page is written into the content folder -> the view shows it.
// Around them: whatever page the view shows, the tree marks its node; shortcuts,
// PDF; reading the page itself (find, zoom, recovery of a dead page) is the PageReader's.
// The window is painted before the view is up; what the user asks of the view
// meanwhile is done, in order, once the start page has loaded.
#pragma once

#include "window/controllayout.h"

#include <QList>
#include <QWidget>

#include <functional>

class QLineEdit;
class QPushButton;

namespace Juanzong {

class Desktop;
class DocumentCommands;
class FullTextController;
class ShownPage;
class HtmlView;
class MessageBox;
class PageReader;
class SearchBox;
class Skin;
class TreeView;

// The platform pieces the window is built from. The two widgets are the
// controls `Webys` and `TreeView1`; the interfaces drive them.
struct WindowParts
{
    QWidget *webys = nullptr;
    HtmlView *html = nullptr;
    QWidget *treeView1 = nullptr;
    TreeView *tree = nullptr;
    Skin *skin = nullptr;
    MessageBox *messages = nullptr;
    // Asked afresh whenever a path is formed; the executable's folder in the program.
    std::function<QString()> programDirectory;
    // Links to the web and mail, and the file a PDF goes to; without it neither is offered.
    Desktop *desktop = nullptr;
};

class MainWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)
public:
    // Runs the whole start-up sequence; the window is ready to be shown afterwards.
    explicit MainWindow(WindowParts parts, QWidget *parent = nullptr);
    ~MainWindow() override;

    static constexpr int DesignClientWidth = 17265;  // twips
    static constexpr int DesignClientHeight = 11745; // twips

    // The controls in the order the proportional layout visits them.
    const QList<QWidget *> &controls() const { return m_controls; }

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // The user's commands, one per control event.
    void nodeClick(const QString &key);
    void search();
    void print();
    void goForward();
    void goBack();
    void showAbout();
    // The comforts around them, each also reachable by its key.
    void printPreview();
    void saveAsPdf();
    void focusSearch();

    void createControls();
    void createButtons();
    void adoptViews();
    void nameForScreenReaders();
    void connectControls();
    void centreOnScreen();
    // The window's commands on its keys: GoBack, GoForward, Print, PrintPreview,
    // SaveAsPdf, FocusSearch, About.
    void createActions();
    void makeComforts();
    void startUp();
    QString programDirectory() const;
    void followPage(const QString &path);
    QString suggestedPdfName() const;
    // Runs a command that needs the view now, or once the view is up: until
    // then the start page is still coming and would be cut short.
    void whenViewUp(std::function<void()> command);
    void viewUp();
    void applyTabOrder();

    WindowParts m_parts;
    // The design's names stay as the controls' object names.
    SearchBox *m_searchBox = nullptr;         // Text1
    QPushButton *m_searchButton = nullptr;    // Command1
    QPushButton *m_closeButton = nullptr;     // Command2
    QPushButton *m_forwardButton = nullptr;   // Command3
    QPushButton *m_backButton = nullptr;      // Command4
    QPushButton *m_aboutButton = nullptr;     // Command5
    QPushButton *m_printButton = nullptr;     // Command6
    QLineEdit *m_resultBuffer = nullptr;      // txttemp
    QList<QWidget *> m_controls;
    QList<QWidget *> m_tabOrder;
    DesignSize m_design;

    PageReader *m_reader = nullptr;
    DocumentCommands *m_documents = nullptr;
    FullTextController *m_fullText = nullptr;
    ShownPage *m_page = nullptr;
    bool m_comfortsDue = false;
    QList<std::function<void()>> m_waitingForView; // in the order the user gave them
};

} // namespace Juanzong
