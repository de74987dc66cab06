// SPDX-License-Identifier: GPL-3.0-or-later
// The commands on one model document of the page shown: copy it, fill it in,
// save it as a Word document.
//
// Which document: the one under the mouse for the context menu, the one at the
// top of the visible part for the keys. The page script lists the page's
// blocks; findModelDocuments() says where each document is. What is copied and
// saved of a document being filled is the panel's, values as typed: the page
// only shows them. The commands exist only on pages holding model documents.
//
// Every command is one request to the page, answered later. Each answer is
// matched to its own request and to the page it was asked of; a save's dialog
// opens only after the answer's callback has returned, one dialog at a time.
#pragma once

#include "document/pageblocks.h"

#include <QList>
#include <QObject>
#include <QPointF>
#include <QString>

#include <optional>

class QAction;
class QVariant;
class QWidget;

namespace Juanzong {

class Desktop;
class FillPanel;
class HtmlView;
class MessageBox;
class ShownPage;

class DocumentCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DocumentCommands)
public:
    // Adds the commands' actions, with their keys, to window and their entries
    // to the view's context menu.
    DocumentCommands(HtmlView *html, ShownPage *page, MessageBox *messages, Desktop *desktop, QWidget *window);
    ~DocumentCommands() override;

    static const QString CopyCaption;
    static const QString FillCaption;
    static const QString SaveCaption;

private:
    enum class Command { Probe, Copy, Fill, Save };
    struct Request
    {
        int id = 0;
        Command command = Command::Probe;
        bool atTop = true; // asked by key, for the document at the top of the view
    };

    // Without a point: the model document at the top of the view.
    void request(Command command, std::optional<QPointF> pagePoint);
    void answered(const Request &request, const QVariant &answer);
    void fill(const FoundDocument &found, int index);
    // The document as it leaves the program: the panel's values in it when it is the one being filled.
    ModelDocument outgoing(const FoundDocument &found, int index) const;
    void copyDocument(const ModelDocument &document);
    void queueSave(const ModelDocument &document);
    void saveNext();
    void showFills();
    void panelClosed();
    void pageShown(const QString &path);
    void pageLoaded(bool ok);
    QList<QAction *> contextActions(QPointF pagePoint);

    HtmlView *m_html;
    ShownPage *m_page;
    MessageBox *m_messages;
    Desktop *m_desktop;
    QWidget *m_window;
    FillPanel *m_panel = nullptr;
    QList<QAction *> m_actions; // copy, fill, save
    // Where the page's context menu was opened, while it is open.
    std::optional<QPointF> m_menuPoint;

    int m_nextRequest = 0;
    // What the last probe of the page at m_probedPath found: -1 not known yet.
    // A jump within that page keeps it.
    int m_documentsShown = -1;
    QString m_probedPath;
    // The documents of the page's last listing that it keeps, by its version:
    // while the page answers with that version, they are still its documents.
    // Versions are the page's own and differ from page to page and load to load.
    struct HeldListing
    {
        QString version;
        int blocks = 0;
        QList<FoundDocument> documents;
    };
    HeldListing m_held;

    // The document being filled: its place among the page's documents and where its paragraphs are.
    int m_fillIndex = -1;
    QString m_fillPath;
    QList<BlockSpan> m_fillSources;

    QList<ModelDocument> m_toSave;
    bool m_saving = false;
    QString m_folder;
};

} // namespace Juanzong
