// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentui/documentcommands.h"

#include "document/clipboardformat.h"
#include "document/docxwriter.h"
#include "document/placeholders.h"
#include "platform/desktop.h"
#include "platform/htmlview.h"
#include "platform/messagebox.h"
#include "search/filestore.h"
#include "documentui/fillpanel.h"
#include "documentui/pagescript.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QWidget>

namespace Juanzong {

namespace {

const QString Prompt = QStringLiteral("提示");
const QString Unreadable = QStringLiteral("无法读取当前页面中的范本，请等页面显示完整后再试。");
const QString SaveFailed = QStringLiteral("另存为 Word 文档失败：无法写入所选文件。");

} // namespace

const QString DocumentCommands::CopyCaption = QStringLiteral("复制范本");
const QString DocumentCommands::FillCaption = QStringLiteral("填写…");
const QString DocumentCommands::SaveCaption = QStringLiteral("另存为 Word 文档…");

DocumentCommands::DocumentCommands(HtmlView *html, MessageBox *messages, Desktop *desktop, QWidget *window)
    : QObject(window)
    , m_html(html)
    , m_messages(messages)
    , m_desktop(desktop)
    , m_window(window)
{
    auto shortcut = [this](QKeyCombination key, void (DocumentCommands::*command)(std::optional<QPointF>)) {
        auto *s = new QShortcut(QKeySequence(key), m_window);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, [this, command] { (this->*command)(std::nullopt); });
    };
    shortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_C, &DocumentCommands::copy);
    shortcut(Qt::CTRL | Qt::Key_E, &DocumentCommands::fillIn);
    shortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_S, &DocumentCommands::saveAsDocx);

    m_html->addContextActions([this](QPointF at, const QString &) { return contextActions(at); });
    connect(m_html, &HtmlView::pageShown, this, &DocumentCommands::pageShown);
    connect(m_html, &HtmlView::pageLoaded, this, &DocumentCommands::pageLoaded);
}

DocumentCommands::~DocumentCommands() = default;

QList<QAction *> DocumentCommands::contextActions(QPointF pagePoint)
{
    auto action = [this, pagePoint](const QString &caption, QKeyCombination key,
                                    void (DocumentCommands::*command)(std::optional<QPointF>)) {
        auto *a = new QAction(caption);
        a->setShortcut(QKeySequence(key));
        QPointer<DocumentCommands> self = this;
        connect(a, &QAction::triggered, this, [self, command, pagePoint] {
            if (self)
                (self->*command)(pagePoint);
        });
        return a;
    };
    return {action(CopyCaption, Qt::CTRL | Qt::SHIFT | Qt::Key_C, &DocumentCommands::copy),
            action(FillCaption, Qt::CTRL | Qt::Key_E, &DocumentCommands::fillIn),
            action(SaveCaption, Qt::CTRL | Qt::SHIFT | Qt::Key_S, &DocumentCommands::saveAsDocx)};
}

void DocumentCommands::readDocument(const QString &script, Found found)
{
    QPointer<DocumentCommands> self = this;
    m_html->runIsolatedScript(script, [self, found = std::move(found)](const QVariant &result) {
        if (!self)
            return;
        const QJsonObject json = QJsonDocument::fromJson(result.toString().toUtf8()).object();
        if (json.isEmpty() || !json.contains(u"unit")) {
            self->m_messages->show(Unreadable, Prompt);
            return;
        }
        found(json.value(u"unit").toInt(), ModelDocument::fromJson(json));
    });
}

// While a document is being filled in, its commands act on what the page shows:
// the same document, values included.
void DocumentCommands::copy(std::optional<QPointF> pagePoint)
{
    readDocument(PageScript::extract(pagePoint), [this](int, const ModelDocument &doc) { copyDocument(doc); });
}

void DocumentCommands::saveAsDocx(std::optional<QPointF> pagePoint)
{
    readDocument(PageScript::extract(pagePoint), [this](int, const ModelDocument &doc) { saveDocument(doc); });
}

void DocumentCommands::fillIn(std::optional<QPointF> pagePoint)
{
    if (!m_panel) {
        m_panel = new FillPanel(m_window);
        connect(m_panel, &FillPanel::valuesChanged, this, &DocumentCommands::showFills);
        connect(m_panel, &FillPanel::closed, this, &DocumentCommands::panelClosed);
        connect(m_panel, &FillPanel::copyRequested, this, [this] {
            readDocument(PageScript::extractUnit(m_fillUnit), [this](int, const ModelDocument &d) { copyDocument(d); });
        });
        connect(m_panel, &FillPanel::saveRequested, this, [this] {
            readDocument(PageScript::extractUnit(m_fillUnit), [this](int, const ModelDocument &d) { saveDocument(d); });
        });
    }
    // The template text is read only once the page holds no values of an earlier fill.
    m_html->runIsolatedScript(PageScript::restore(), {});
    readDocument(PageScript::extract(pagePoint), [this](int unit, const ModelDocument &doc) {
        // Asked again for the document already being filled: keep the values.
        if (m_panel->isVisible() && unit == m_fillUnit && m_shownPath == m_fillPath) {
            showFills();
            m_panel->raise();
            m_panel->activateWindow();
            return;
        }
        m_fillUnit = unit;
        m_fillPath = m_shownPath;
        m_panel->setFillIn(FillIn(doc));
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
    });
}

void DocumentCommands::showFills()
{
    if (m_fillUnit < 0)
        return;
    const FillIn &fillIn = m_panel->fillIn();
    QList<PageScript::Fill> fills;
    for (int i = 0; i < fillIn.placeholders().size(); ++i) {
        const QString value = fillIn.value(i);
        if (value.isEmpty())
            continue;
        const Placeholder &blank = fillIn.placeholders().at(i);
        fills.append({blank.paragraph, blank.start, blank.length, value, blank.text});
    }
    m_html->runIsolatedScript(PageScript::show(m_fillUnit, fills), {});
}

void DocumentCommands::panelClosed()
{
    if (m_fillUnit < 0)
        return;
    m_fillUnit = -1;
    m_html->runIsolatedScript(PageScript::restore(), {});
}

void DocumentCommands::pageShown(const QString &path)
{
    m_shownPath = path;
    // A jump within the page keeps the fill; another page ends it.
    if (m_panel && m_panel->isVisible() && path != m_fillPath)
        m_panel->hide();
}

void DocumentCommands::pageLoaded(bool ok)
{
    // The same page loaded afresh (reloaded, or back to it) shows the values again.
    if (ok && m_panel && m_panel->isVisible() && m_shownPath == m_fillPath)
        showFills();
}

void DocumentCommands::copyDocument(const ModelDocument &document)
{
    auto *mime = new QMimeData;
    mime->setHtml(clipboardHtml(document));
    mime->setText(clipboardText(document));
    QGuiApplication::clipboard()->setMimeData(mime);
    Q_EMIT copied(document.heading);
}

void DocumentCommands::saveDocument(const ModelDocument &document)
{
    if (!m_desktop)
        return;
    const QString name = document.fileBaseName() + u".docx";
    const QString file = m_desktop->askDocxFile(m_folder.isEmpty() ? name : QDir(m_folder).filePath(name));
    if (file.isEmpty())
        return;
    QString error;
    const QByteArray bytes = writeDocx(document, &error);
    // What a save killed part way left in this folder goes now; the old file
    // is replaced only by a new one written, synced and checked whole.
    FileStore::removeLeftovers(QFileInfo(file).absolutePath(), QStringLiteral("*.docx"));
    FileStore::removeLeftovers(file);
    FileStore::Replacement out(file);
    if (bytes.isEmpty() || !out.write(bytes) || !out.commit()) {
        m_messages->show(SaveFailed, Prompt);
        return;
    }
    m_folder = QFileInfo(file).absolutePath();
    Q_EMIT saved(file);
}

} // namespace Juanzong
