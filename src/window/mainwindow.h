// SPDX-License-Identifier: GPL-3.0-or-later
// The one window of the program.
//
// Start-up: attach the skin -> record the design layout -> silence the view ->
// show the start page -> build the catalogue tree.
// Browsing: a tree node is chosen -> the catalogue says whether it has a page ->
// the view navigates there. Searching: the keyword -> the index is scanned ->
// the result page is written into the content folder -> the view shows it.
// Around them, the reader's comforts: whatever page the view shows, the tree
// marks its node; find in page, zoom, shortcuts, PDF, recovery of a dead page.
#pragma once

#include "window/controllayout.h"

#include <QList>
#include <QWidget>

#include <array>
#include <functional>

class QLineEdit;
class QPushButton;

namespace Juanzong {

class Desktop;
class DocumentCommands;
class FindBar;
class FullTextController;
class HtmlView;
class MessageBox;
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

    // Zoom steps of the page, in percent; 100 is where every run starts.
    static constexpr std::array<int, 13> ZoomSteps = {30, 50, 67, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};
    // Reloads of a page whose render process died before one load succeeds again.
    static constexpr int MaxRenderReloads = 3;

    // The controls in the order the proportional layout visits them.
    const QList<QWidget *> &controls() const { return m_controls; }
    DesignSize designSize() const { return m_design; }

    // The user's commands, one per control event.
    void nodeClick(const QString &key);
    void search();
    void print();
    void goForward();
    void goBack();
    void showAbout();

    // The comforts around them, each also reachable by its shortcut.
    void openFind();
    void findNext();
    void findPrevious();
    void zoomIn();
    void zoomOut();
    void zoomReset();
    int zoomPercent() const { return ZoomSteps[m_zoomStep]; }
    void printPreview();
    void saveAsPdf();
    void focusSearch();
    // Opens the find bar on text and highlights it in the page, the match after
    // the first skip ones active.
    void findInPage(const QString &text, int skip = 0);
    FullTextController *fullText() const { return m_fullText; }

    // Copy, fill in and save as Word the model document in view or under the mouse.
    DocumentCommands *documents() const { return m_documents; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createShortcuts();
    void startUp();
    QString programDirectory() const;
    void find(const QString &text, bool backward);
    void closeFind();
    void setZoomStep(qsizetype step);
    void followPage(const QString &path);
    void pageLoaded(bool ok);
    void renderProcessDied();
    QString pdfName() const;

    WindowParts m_parts;
    SearchBox *m_text1 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
    QPushButton *m_command4 = nullptr;
    QPushButton *m_command5 = nullptr;
    QPushButton *m_command6 = nullptr;
    QLineEdit *m_txttemp = nullptr;
    QList<QWidget *> m_controls;
    DesignSize m_design;

    FindBar *m_findBar = nullptr;
    DocumentCommands *m_documents = nullptr;
    FullTextController *m_fullText = nullptr;
    qsizetype m_zoomStep = DefaultZoomStep;
    QString m_shownPath;
    bool m_firstPageSeen = false;
    int m_renderReloads = 0;

    static constexpr qsizetype DefaultZoomStep = 5;
    static_assert(ZoomSteps[DefaultZoomStep] == 100);
};

} // namespace Juanzong
