// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentui/documentcommands.h"

#include "document/clipboardformat.h"
#include "document/docxwriter.h"
#include "document/placeholders.h"
#include "documentui/fillpanel.h"
#include "documentui/pagescript.h"
#include "platform/desktop.h"
#include "platform/htmlview.h"
#include "platform/messagebox.h"
#include "platform/shownpage.h"
#include "search/filestore.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace Juanzong {

// What the user is not told: off unless asked for (QT_LOGGING_RULES="juanzong.documentui.warning=true").
Q_LOGGING_CATEGORY(lcDocuments, "juanzong.documentui", QtCriticalMsg)

namespace {

const QString Prompt = QStringLiteral("提示");
const QString Unreadable = QStringLiteral("无法读取当前页面中的范本，请等页面显示完整后再试。");
const QString SaveFailed = QStringLiteral("另存为 Word 文档失败：无法写入所选文件。");

// The document a block belongs to. Where the block is none of theirs (notes,
// a site's navigation), the last one starting above it; at the top of the view,
// the next one, since the one above has been scrolled past.
int documentAt(const QList<FoundDocument> &documents, int block, bool top)
{
    if (documents.isEmpty())
        return -1;
    int best = 0;
    for (int i = 0; i < documents.size(); ++i)
        if (documents.at(i).firstBlock <= block)
            best = i;
    if (top && block >= documents.at(best).endBlock && best + 1 < documents.size())
        ++best;
    return best;
}

} // namespace

const QString DocumentCommands::CopyCaption = QStringLiteral("复制范本");
const QString DocumentCommands::FillCaption = QStringLiteral("填写…");
const QString DocumentCommands::SaveCaption = QStringLiteral("另存为 Word 文档…");

DocumentCommands::DocumentCommands(HtmlView *html, ShownPage *page, MessageBox *messages, Desktop *desktop,
                                   QWidget *window)
    : QObject(window)
    , m_html(html)
    , m_page(page)
    , m_messages(messages)
    , m_desktop(desktop)
    , m_window(window)
{
    // One action per command, for the keys and the page's context menu alike;
    // chosen from the menu, it acts on the document under the mouse.
    auto action = [this](const char *name, const QString &caption, QKeyCombination key, Command command) {
        auto *a = new QAction(caption, m_window);
        a->setObjectName(QLatin1StringView(name));
        a->setShortcut(QKeySequence(key));
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, [this, command] { request(command, m_menuPoint); });
        m_window->addAction(a);
        m_actions.append(a);
    };
    action("DocumentCopy", CopyCaption, Qt::CTRL | Qt::SHIFT | Qt::Key_C, Command::Copy);
    action("DocumentFill", FillCaption, Qt::CTRL | Qt::Key_E, Command::Fill);
    action("DocumentSave", SaveCaption, Qt::CTRL | Qt::SHIFT | Qt::Key_S, Command::Save);

    m_html->addContextActions([this](QPointF at, const QString &) { return contextActions(at); });
    connect(m_html, &HtmlView::contextMenuClosed, this, [this] { m_menuPoint.reset(); });
    connect(m_page, &ShownPage::shown, this, &DocumentCommands::pageShown);
    connect(m_page, &ShownPage::loaded, this, &DocumentCommands::pageLoaded);
}

DocumentCommands::~DocumentCommands() = default;

// The menu opens at once, so it goes by what the page was found to hold when it loaded.
QList<QAction *> DocumentCommands::contextActions(QPointF pagePoint)
{
    if (m_documentsShown <= 0)
        return {};
    m_menuPoint = pagePoint;
    return m_actions;
}

void DocumentCommands::request(Command command, std::optional<QPointF> pagePoint)
{
    // The template text is read only once the page holds no values of an earlier fill.
    if (command == Command::Fill)
        m_html->runIsolatedScript(PageScript::restore(), {});
    const Request asked{++m_nextRequest, command, !pagePoint};
    // An answer that outlives its page is dropped by the page followed: the
    // user has moved on and asks again there.
    m_page->runScript(PageScript::listBlocks(asked.id, pagePoint, m_held.version), this,
                      [this, asked](const QVariant &answer) { answered(asked, answer); });
}

void DocumentCommands::answered(const Request &request, const QVariant &answer)
{
    const std::optional<PageScript::Listing> listing = PageScript::readListing(answer);
    // No listing of this request: the page cannot say which document was meant.
    if (!listing || listing->request != request.id) {
        if (request.command != Command::Probe)
            m_messages->show(Unreadable, Prompt);
        else if (!listing) // the page then offers no document commands, and nobody says why
            qCWarning(lcDocuments) << "the page's blocks could not be read:" << answer.typeName();
        return;
    }
    // An answer without blocks names the listing whose documents were found last.
    if (listing->same && m_held.version != listing->version) {
        qCInfo(lcDocuments) << "page script named a listing not held for request" << request.id;
        if (request.command != Command::Probe)
            m_messages->show(Unreadable, Prompt);
        return;
    }
    if (!listing->same && !listing->version.isEmpty())
        m_held = {listing->version, int(listing->blocks.size()), findModelDocuments(listing->blocks)};
    const QList<FoundDocument> documents = listing->version.isEmpty() ? findModelDocuments(listing->blocks)
                                                                      : m_held.documents;
    if (request.command == Command::Probe) {
        m_documentsShown = int(documents.size());
        m_probedPath = m_page->path();
        return;
    }
    // A page holding no model document has no such commands.
    const int index = documentAt(documents, listing->same && listing->at >= m_held.blocks ? -1 : listing->at,
                                 request.atTop);
    if (index < 0)
        return;
    const FoundDocument &found = documents.at(index);
    switch (request.command) {
    case Command::Copy:
        copyDocument(outgoing(found, index));
        break;
    case Command::Save:
        queueSave(outgoing(found, index));
        break;
    case Command::Fill:
        fill(found, index);
        break;
    case Command::Probe:
        break;
    }
}

ModelDocument DocumentCommands::outgoing(const FoundDocument &found, int index) const
{
    if (m_panel && m_panel->isVisible() && index == m_fillIndex && m_fillPath == m_page->path())
        return m_panel->fillIn().filled();
    return found.document;
}

void DocumentCommands::fill(const FoundDocument &found, int index)
{
    if (!m_panel) {
        m_panel = new FillPanel(m_window);
        connect(m_panel, &FillPanel::valuesChanged, this, &DocumentCommands::showFills);
        connect(m_panel, &FillPanel::closed, this, &DocumentCommands::panelClosed);
        // What the user typed, as typed: never read back from the page, whose
        // scripts may have changed what it shows.
        connect(m_panel, &FillPanel::copyRequested, this, [this] { copyDocument(m_panel->fillIn().filled()); });
        connect(m_panel, &FillPanel::saveRequested, this, [this] { queueSave(m_panel->fillIn().filled()); });
    }
    // Asked again for the document already being filled: keep the values.
    if (m_panel->isVisible() && index == m_fillIndex && m_page->path() == m_fillPath) {
        showFills();
        m_panel->raise();
        m_panel->activateWindow();
        return;
    }
    m_fillIndex = index;
    m_fillPath = m_page->path();
    m_fillSources = found.sources;
    m_panel->setFillIn(FillIn(found.document));
    if (!m_panel->isVisible()) {
        // Beside the window where the screen has room, else over its right edge.
        const QRect frame = m_window->frameGeometry();
        QRect place(QPoint(frame.right() + 1, frame.top()), m_panel->size());
        if (const QScreen *screen = m_window->screen(); screen && !screen->availableGeometry().contains(place))
            place.moveRight(frame.right());
        m_panel->move(place.topLeft());
    }
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
}

void DocumentCommands::showFills()
{
    if (m_fillIndex < 0)
        return;
    const FillIn &fillIn = m_panel->fillIn();
    QList<PageScript::Fill> fills;
    for (int i = 0; i < fillIn.placeholders().size(); ++i) {
        const QString value = fillIn.value(i);
        const Placeholder &blank = fillIn.placeholders().at(i);
        if (value.isEmpty() || blank.paragraph >= m_fillSources.size())
            continue;
        const BlockSpan &source = m_fillSources.at(blank.paragraph);
        fills.append({source.block, source.start + blank.start, blank.length, value, blank.text});
    }
    m_html->runIsolatedScript(PageScript::show(fills), {});
}

void DocumentCommands::panelClosed()
{
    if (m_fillIndex < 0)
        return;
    m_fillIndex = -1;
    m_html->runIsolatedScript(PageScript::restore(), {});
}

void DocumentCommands::pageShown(const QString &path)
{
    // A jump within the page keeps the fill and what the page holds; another page ends both.
    if (path == m_probedPath)
        return;
    m_documentsShown = -1;
    m_probedPath.clear();
    if (m_panel && m_panel->isVisible() && path != m_fillPath)
        m_panel->hide();
}

void DocumentCommands::pageLoaded(bool ok)
{
    if (!ok)
        return;
    // Loaded afresh (reloaded, or back to it): what the page holds is asked
    // again, and the values being filled are shown again.
    m_documentsShown = -1;
    m_probedPath.clear();
    request(Command::Probe, std::nullopt);
    if (m_panel && m_panel->isVisible() && m_page->path() == m_fillPath)
        showFills();
}

void DocumentCommands::copyDocument(const ModelDocument &document)
{
    auto *mime = new QMimeData;
    mime->setHtml(clipboardHtml(document));
    mime->setText(clipboardText(document));
    QGuiApplication::clipboard()->setMimeData(mime);
}

// The dialog is a nested event loop: opened inside the view's script callback
// it would hold up the engine, and a second save would open its dialog inside
// the first. Saves wait their turn instead, each with its own document.
void DocumentCommands::queueSave(const ModelDocument &document)
{
    m_toSave.append(document);
    if (!m_saving)
        QTimer::singleShot(0, this, &DocumentCommands::saveNext);
}

void DocumentCommands::saveNext()
{
    if (m_saving || m_toSave.isEmpty() || !m_desktop)
        return;
    m_saving = true;
    const ModelDocument document = m_toSave.takeFirst();
    const QString name = document.fileBaseName() + u".docx";
    const QString file = m_desktop->askDocxFile(m_folder.isEmpty() ? name : QDir(m_folder).filePath(name));
    if (!file.isEmpty()) {
        const QByteArray bytes = writeDocx(document);
        // What a save killed part way left in this folder goes now; the old file
        // is replaced only by a new one written, synced and checked whole.
        FileStore::removeLeftovers(QFileInfo(file).absolutePath(), QStringLiteral("*.docx"));
        FileStore::removeLeftovers(file);
        FileStore::Replacement out(file);
        if (bytes.isEmpty() || !out.write(bytes) || !out.commit())
            m_messages->show(SaveFailed, Prompt);
        else
            m_folder = QFileInfo(file).absolutePath();
    }
    m_saving = false;
    if (!m_toSave.isEmpty())
        QTimer::singleShot(0, this, &DocumentCommands::saveNext);
}

} // namespace Juanzong
