#include "window/mainwindow.h"

#include "core/catalogue.h"
#include "core/contentpaths.h"
#include "platform/htmlview.h"
#include "platform/messagebox.h"
#include "platform/skin.h"
#include "platform/treeview.h"
#include "search/keywordsearch.h"
#include "window/cataloguetree.h"
#include "window/searchbox.h"

#include <QFont>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

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

QRect fromTwips(int left, int top, int width, int height)
{
    return {left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel};
}

} // namespace

MainWindow::MainWindow(WindowParts parts, QWidget *parent)
    : QWidget(parent)
    , m_parts(std::move(parts))
{
    setObjectName(QStringLiteral("民事文书样式"));
    setWindowTitle(QStringLiteral("卷宗范本 V2.0.0"));
    createControls();
    startUp();
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls()
{
    setFont(designFont(11.25, false));
    resize(DesignClientWidth / TwipsPerPixel, DesignClientHeight / TwipsPerPixel);

    auto button = [this](const char *name, const QString &caption, QRect geometry) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1StringView(name));
        b->setFont(designFont(11.25, true));
        b->setGeometry(geometry);
        return b;
    };

    m_text1 = new SearchBox(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setGeometry(fromTwips(360, 240, 6255, 345));
    m_command1 = button("Command1", QStringLiteral("搜  索"), fromTwips(6960, 240, 1215, 375));
    m_command6 = button("Command6", QStringLiteral("打  印"), fromTwips(8640, 240, 1215, 375));
    m_command3 = button("Command3", QStringLiteral("前  进"), fromTwips(10920, 240, 1215, 375));
    m_command4 = button("Command4", QStringLiteral("后  退"), fromTwips(12600, 240, 1215, 375));
    m_command5 = button("Command5", QStringLiteral("关  于"), fromTwips(14160, 240, 1215, 375));
    m_command2 = button("Command2", QStringLiteral("关  闭"), fromTwips(15720, 240, 1215, 375));

    QWidget *tree = m_parts.treeView1;
    tree->setParent(this);
    tree->setObjectName(QStringLiteral("TreeView1"));
    tree->setFont(designFont(10.5, false));
    tree->setGeometry(fromTwips(360, 840, 3735, 10695));

    QWidget *webys = m_parts.webys;
    webys->setParent(this);
    webys->setObjectName(QStringLiteral("Webys"));
    webys->setGeometry(fromTwips(4440, 840, 12495, 10695));

    // The result buffer of the original design: kept as a hidden control so the
    // layout and tab order stay whole, never shown.
    m_txttemp = new QLineEdit(this);
    m_txttemp->setObjectName(QStringLiteral("txttemp"));
    m_txttemp->setGeometry(fromTwips(120, 240, 255, 420));
    m_txttemp->hide();

    m_controls = {m_text1, m_command1, m_command6, m_command3, m_command4,
                  m_command5, m_command2, tree, webys, m_txttemp};

    // Tab order: Webys, Command1, TreeView1, Command2, Text1, Command3, Command4,
    // Command5, txttemp (never focusable while hidden), Command6.
    const QList<QWidget *> tabOrder = {webys, m_command1, tree, m_command2, m_text1,
                                       m_command3, m_command4, m_command5, m_txttemp, m_command6};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(m_parts.tree, &TreeView::nodeClicked, this, &MainWindow::nodeClick);
    connect(m_command1, &QPushButton::clicked, this, &MainWindow::search);
    connect(m_text1, &QLineEdit::returnPressed, this, &MainWindow::search);
    connect(m_command6, &QPushButton::clicked, this, &MainWindow::print);
    connect(m_command3, &QPushButton::clicked, this, &MainWindow::goForward);
    connect(m_command4, &QPushButton::clicked, this, &MainWindow::goBack);
    connect(m_command5, &QPushButton::clicked, this, &MainWindow::showAbout);
    connect(m_command2, &QPushButton::clicked, this, &QWidget::close);
    connect(m_parts.html, &HtmlView::failed, this,
            [this](const QString &message) { m_parts.messages->show(message, Prompt); });

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void MainWindow::startUp()
{
    const QString dir = programDirectory();
    m_parts.skin->attachEx(ContentPaths::skinFile(dir), QString());
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
        m_parts.html->navigate(*page);
}

void MainWindow::search()
{
    const SearchOutcome outcome = runSearch(m_text1->text(), programDirectory());
    switch (outcome.kind) {
    case SearchOutcome::Kind::Saved:
        m_parts.html->navigate(outcome.pagePath);
        break;
    case SearchOutcome::Kind::Unsaved:
        m_parts.messages->show(outcome.message, Prompt);
        m_parts.html->showPageAs(outcome.page, outcome.pagePath);
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
    m_parts.html->print();
}

void MainWindow::goForward()
{
    // No entry that way is not worth a word to the user.
    m_parts.html->goForward();
}

void MainWindow::goBack()
{
    m_parts.html->goBack();
}

void MainWindow::showAbout()
{
    m_parts.html->navigate(ContentPaths::aboutPage(programDirectory()));
}

} // namespace Juanzong
