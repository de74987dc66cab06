// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mainwindow.h"

#include "caseui/caseui.h"
#include "core/catalogue.h"
#include "core/contentpaths.h"
#include "core/version.h"
#include "platform/desktop.h"
#include "platform/htmlview.h"
#include "platform/messagebox.h"
#include "platform/shownpage.h"
#include "platform/skin.h"
#include "platform/treeview.h"
#include "search/keywordsearch.h"
#include "window/accessibleroles.h"
#include "window/cataloguetree.h"
#include "documentui/documentcommands.h"
#include "fulltextui/fulltextcontroller.h"
#include "fulltextui/typeahead.h"
#include "reader/pagereader.h"
#include "window/searchbox.h"
#include "reader/windowaction.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace Juanzong {

namespace {

const QString Prompt = QStringLiteral("提示");

// The design font is 微软雅黑; where it is missing, another CJK family keeps
// the captions readable instead of falling back to boxes.
QFont designFont(double pointSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Source Han Sans SC")});
    font.setPointSizeF(pointSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

QRect pixelRect(int left, int top, int width, int height)
{
    return {left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel};
}

// The wait cursor for as long as the program is busy on the user's behalf; it
// goes before any message box, so the box never shows under a wait cursor.
class BusyCursor
{
    Q_DISABLE_COPY_MOVE(BusyCursor)
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { done(); }
    void done()
    {
        if (m_active)
            QGuiApplication::restoreOverrideCursor();
        m_active = false;
    }

private:
    bool m_active = true;
};

} // namespace

MainWindow::MainWindow(WindowParts parts, QWidget *parent)
    : QWidget(parent)
    , m_parts(std::move(parts))
    , m_page(new ShownPage(m_parts.html, this))
{
    installAccessibleRoles();
    setObjectName(QStringLiteral("民事文书样式"));
    setWindowTitle(QStringLiteral("卷宗范本 V" JUANZONG_VERSION));
    createControls();
    startUp();
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls()
{
    setFont(designFont(11.25, false));
    resize(DesignClientWidth / TwipsPerPixel, DesignClientHeight / TwipsPerPixel);
    createButtons();
    adoptViews();
    // The result buffer of the original design: kept as a hidden control so the
    // layout and tab order stay whole, never shown.
    m_resultBuffer = new QLineEdit(this);
    m_resultBuffer->setObjectName(QStringLiteral("txttemp"));
    m_resultBuffer->setGeometry(pixelRect(120, 240, 255, 420));
    m_resultBuffer->hide();

    QWidget *tree = m_parts.treeView1;
    QWidget *webys = m_parts.webys;
    m_controls = {m_searchBox, m_searchButton, m_printButton, m_forwardButton, m_backButton,
                  m_aboutButton, m_closeButton, tree, webys, m_resultBuffer};
    nameForScreenReaders();

    // Tab order: Webys, Command1, TreeView1, Command2, Text1, Command3, Command4,
    // Command5, txttemp (never focusable while hidden), Command6.
    m_tabOrder = {webys, m_searchButton, tree, m_closeButton, m_searchBox,
                  m_forwardButton, m_backButton, m_aboutButton, m_resultBuffer, m_printButton};
    applyTabOrder();
    // First in the tab order, the page has the focus when the window opens, so a
    // screen reader starts by reading it.
    webys->setFocus(Qt::OtherFocusReason);

    connectControls();
    createActions();
    // A view that is up from the start has no engine to wait for.
    if (m_parts.html->isReady())
        makeComforts();
    centreOnScreen();
}

void MainWindow::createButtons()
{
    auto button = [this](const char *name, const QString &caption, QRect geometry) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1StringView(name));
        b->setFont(designFont(11.25, true));
        b->setGeometry(geometry);
        return b;
    };
    m_searchBox = new SearchBox(this);
    m_searchBox->setObjectName(QStringLiteral("Text1"));
    m_searchBox->setGeometry(pixelRect(360, 240, 6255, 345));
    m_searchButton = button("Command1", QStringLiteral("搜  索"), pixelRect(6960, 240, 1215, 375));
    m_printButton = button("Command6", QStringLiteral("打  印"), pixelRect(8640, 240, 1215, 375));
    m_forwardButton = button("Command3", QStringLiteral("前  进"), pixelRect(10920, 240, 1215, 375));
    m_backButton = button("Command4", QStringLiteral("后  退"), pixelRect(12600, 240, 1215, 375));
    m_aboutButton = button("Command5", QStringLiteral("关  于"), pixelRect(14160, 240, 1215, 375));
    m_closeButton = button("Command2", QStringLiteral("关  闭"), pixelRect(15720, 240, 1215, 375));
}

// The tree and the page come made by the platform; the window places and names them.
void MainWindow::adoptViews()
{
    QWidget *tree = m_parts.treeView1;
    tree->setParent(this);
    tree->setObjectName(QStringLiteral("TreeView1"));
    tree->setFont(designFont(10.5, false));
    tree->setGeometry(pixelRect(360, 840, 3735, 10695));

    QWidget *webys = m_parts.webys;
    webys->setParent(this);
    webys->setObjectName(QStringLiteral("Webys"));
    webys->setGeometry(pixelRect(4440, 840, 12495, 10695));
}

void MainWindow::nameForScreenReaders()
{
    // Screen readers announce the captions without the spacing that only
    // balances them visually.
    for (QPushButton *b : {m_searchButton, m_printButton, m_forwardButton, m_backButton, m_aboutButton, m_closeButton})
        b->setAccessibleName(b->text().remove(u' '));
    m_searchBox->setAccessibleName(QStringLiteral("搜索关键词"));
    m_parts.treeView1->setAccessibleName(QStringLiteral("目录"));
    m_parts.webys->setAccessibleName(QStringLiteral("文书内容"));
    m_resultBuffer->setAccessibleName(QStringLiteral("搜索结果缓冲"));
}

void MainWindow::connectControls()
{
    connect(m_parts.tree, &TreeView::nodeClicked, this, &MainWindow::nodeClick);
    connect(m_searchButton, &QPushButton::clicked, this, &MainWindow::search);
    connect(m_searchBox, &QLineEdit::returnPressed, this, &MainWindow::search);
    connect(m_printButton, &QPushButton::clicked, this, &MainWindow::print);
    connect(m_forwardButton, &QPushButton::clicked, this, &MainWindow::goForward);
    connect(m_backButton, &QPushButton::clicked, this, &MainWindow::goBack);
    connect(m_aboutButton, &QPushButton::clicked, this, &MainWindow::showAbout);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_parts.html, &HtmlView::failed, this,
            [this](const QString &message) { m_parts.messages->show(message, Prompt); });
    connect(m_page, &ShownPage::shown, this, &MainWindow::followPage);
    connect(m_parts.html, &HtmlView::ready, this, &MainWindow::viewUp);
    connect(m_parts.html, &HtmlView::externalLinkRequested, this, [this](const QUrl &url) {
        if (m_parts.desktop)
            m_parts.desktop->openExternally(url);
    });
}

void MainWindow::centreOnScreen()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

// Find, zoom, full text and the document commands are not needed for the
// window's first paint, nor before the start page is there; made after the
// web view has been started, they are made while its page loads.
void MainWindow::makeComforts()
{
    if (m_reader)
        return;
    QWidget *webys = m_parts.webys;
    m_reader = new PageReader(m_parts.html, m_page, webys);
    // Full text: Shift+Enter in the box, the page's context menu; the type-ahead under the box.
    m_fullText = new FullTextController({m_parts.html, m_page, m_searchBox, webys, [this] { return programDirectory(); },
                                         [this](const QString &text, int skip) { m_reader->findInPage(text, skip); },
                                         [this] { m_reader->hideFind(); }},
                                        this);
    // After the full-text search, so that its filter on the box sees a key first.
    new TypeAheadController({m_searchBox, m_parts.html, [this] { return ContentPaths::contentRoot(programDirectory()); },
                             [fullText = m_fullText] { return fullText->indexedTitles(); }},
                            this);
    m_documents = new DocumentCommands(m_parts.html, m_page, m_parts.messages, m_parts.desktop, this);
    // Last, so that its entries close the page's menu.
    CaseUi::install(this, m_parts.html, [this] { return programDirectory(); }, m_fullText->service());
}

bool MainWindow::event(QEvent *event)
{
    // The view starts its engine on a timer posted as its part of the first
    // paint, which comes after the window's own; posted twice, the comforts
    // come after the engine.
    if (event->type() == QEvent::Paint && !m_comfortsDue && !m_reader) {
        m_comfortsDue = true;
        QTimer::singleShot(0, this, [this] { QTimer::singleShot(0, this, &MainWindow::makeComforts); });
    }
    return QWidget::event(event);
}

void MainWindow::createActions()
{
    auto action = [this](const char *name, const QString &caption, const QList<QKeySequence> &keys,
                         void (MainWindow::*command)()) {
        connect(windowAction(this, QLatin1StringView(name), caption, keys), &QAction::triggered, this, command);
    };
    using Key = QKeySequence;
    action("GoBack", QStringLiteral("后退"), {Key(Qt::ALT | Qt::Key_Left)}, &MainWindow::goBack);
    action("GoForward", QStringLiteral("前进"), {Key(Qt::ALT | Qt::Key_Right)}, &MainWindow::goForward);
    action("Print", QStringLiteral("打印…"), {Key(Qt::CTRL | Qt::Key_P)}, &MainWindow::print);
    action("PrintPreview", QStringLiteral("打印预览…"), {Key(Qt::CTRL | Qt::SHIFT | Qt::Key_P)}, &MainWindow::printPreview);
    action("SaveAsPdf", QStringLiteral("另存为 PDF…"), {Key(Qt::CTRL | Qt::Key_S)}, &MainWindow::saveAsPdf);
    action("FocusSearch", QStringLiteral("搜索关键词"), {Key(Qt::CTRL | Qt::Key_L), Key(Qt::CTRL | Qt::Key_K)},
           &MainWindow::focusSearch);
    action("About", QStringLiteral("关于"), {Key(Qt::Key_F1)}, &MainWindow::showAbout);
}

void MainWindow::startUp()
{
    const QString dir = programDirectory();
    m_parts.skin->attachEx(ContentPaths::skinFile(dir));
    m_design = SaveLayout(*this, m_controls);
    m_parts.html->setSilent(true);
    m_parts.html->navigate(ContentPaths::startPage(programDirectory()));
    buildCatalogue(*m_parts.tree);
}

QString MainWindow::programDirectory() const
{
    return m_parts.programDirectory ? m_parts.programDirectory() : ContentPaths::programDirectory();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ApplyLayout(*this, m_controls, m_design);
}

void MainWindow::nodeClick(const QString &key)
{
    if (const auto page = Catalogue::pageOf(programDirectory(), key))
        whenViewUp([this, path = *page] { m_parts.html->navigate(path); });
}

void MainWindow::search()
{
    BusyCursor busy;
    const QString dir = programDirectory(); // the four files are named from one reading of it
    const SearchFiles files{ContentPaths::searchIndex(dir), ContentPaths::searchTemplate(dir),
                            ContentPaths::intermediatePage(dir), ContentPaths::resultPage(dir)};
    const SearchOutcome outcome = runSearch(m_searchBox->text(), files);
    busy.done();
    switch (outcome.kind) {
    case SearchOutcome::Kind::Saved:
        // The page as this search made it: another copy of the program may
        // have replaced the file since.
        whenViewUp([this, path = outcome.pagePath, page = outcome.page] {
            if (page.isEmpty())
                m_parts.html->navigate(path);
            else
                m_parts.html->showPageAs(page, path);
        });
        break;
    case SearchOutcome::Kind::Unsaved:
        m_parts.messages->show(outcome.message, Prompt);
        whenViewUp([this, page = outcome.page, path = outcome.pagePath] { m_parts.html->showPageAs(page, path); });
        break;
    case SearchOutcome::Kind::NeedKeyword:
    case SearchOutcome::Kind::NothingFound:
    case SearchOutcome::Kind::Failed:
        m_parts.messages->show(outcome.message, Prompt);
        break;
    }
}

void MainWindow::print()
{
    whenViewUp([this] { m_parts.html->print(); });
}

void MainWindow::goForward()
{
    // No entry that way is not worth a word to the user.
    whenViewUp([this] { m_parts.html->goForward(); });
}

void MainWindow::goBack()
{
    whenViewUp([this] { m_parts.html->goBack(); });
}

void MainWindow::showAbout()
{
    whenViewUp([this] { m_parts.html->navigate(ContentPaths::aboutPage(programDirectory())); });
}

void MainWindow::printPreview()
{
    whenViewUp([this] { m_parts.html->printPreview(); });
}

void MainWindow::saveAsPdf()
{
    if (!m_parts.desktop)
        return;
    // Named after the page it will hold, so asked for once that page is shown.
    whenViewUp([this] {
        const QString file = m_parts.desktop->askPdfFile(suggestedPdfName());
        if (!file.isEmpty())
            m_parts.html->printToPdf(file);
    });
}

void MainWindow::whenViewUp(std::function<void()> command)
{
    if (m_parts.html->isReady() && m_waitingForView.isEmpty())
        command();
    else
        m_waitingForView.append(std::move(command));
}

void MainWindow::applyTabOrder()
{
    for (qsizetype i = 1; i < m_tabOrder.size(); ++i)
        setTabOrder(m_tabOrder[i - 1], m_tabOrder[i]);
    // Round again from the last to the page.
    setTabOrder(m_tabOrder.last(), m_tabOrder.first());
}

void MainWindow::viewUp()
{
    // The page's own widgets came after the order was set: it is set again around them.
    applyTabOrder();
    // A command may itself come back here; each runs once, in turn.
    while (!m_waitingForView.isEmpty() && m_parts.html->isReady())
        m_waitingForView.takeFirst()();
}

QString MainWindow::suggestedPdfName() const
{
    QString name;
    if (const auto key = Catalogue::keyOfPage(programDirectory(), m_page->path()))
        name = Catalogue::labelOf(*key);
    if (name.isEmpty())
        name = QFileInfo(m_page->path()).completeBaseName();
    return ContentPaths::proposedFileName(name, u".pdf");
}

void MainWindow::focusSearch()
{
    m_searchBox->setFocus(Qt::ShortcutFocusReason);
    m_searchBox->selectAll();
}

void MainWindow::followPage(const QString &path)
{
    const bool startPage = m_page->generation() == 1;
    const auto key = Catalogue::keyOfPage(programDirectory(), path);
    if (!key)
        return;
    m_parts.tree->setCurrentQuietly(*key);
    // The start page's node is marked but not scrolled to: the tree keeps the
    // view the catalogue build gave it.
    if (!startPage)
        m_parts.tree->ensureVisible(*key);
}

} // namespace Juanzong
