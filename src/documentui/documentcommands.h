// SPDX-License-Identifier: GPL-3.0-or-later
// The commands on one model document of the page shown: copy it, fill it in,
// save it as a Word document.
//
// Which document: the one under the mouse for the context menu, the one at the
// top of the visible part for the keys. Its text comes from the page itself
// (a script in the view's isolated world), so values being filled in are part
// of what is copied and saved. Filling keeps the template in the page script's
// hands: closing the panel, or another page, gives it back.
#pragma once

#include "document/modeldocument.h"

#include <QObject>
#include <QPointF>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QWidget;

namespace Juanzong {

class Desktop;
class FillPanel;
class HtmlView;
class MessageBox;

class DocumentCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DocumentCommands)
public:
    // Adds the keys to window and the entries to the view's context menu.
    DocumentCommands(HtmlView *html, MessageBox *messages, Desktop *desktop, QWidget *window);
    ~DocumentCommands() override;

    // Without a point: the model document at the top of the view.
    void copy(std::optional<QPointF> pagePoint = {});
    void fillIn(std::optional<QPointF> pagePoint = {});
    void saveAsDocx(std::optional<QPointF> pagePoint = {});

    FillPanel *panel() const { return m_panel; }
    // The folder of the last saved document, for the next proposal; never written to disk.
    QString lastFolder() const { return m_folder; }

    static const QString CopyCaption;
    static const QString FillCaption;
    static const QString SaveCaption;

Q_SIGNALS:
    // The clipboard holds the document now.
    void copied(const QString &heading);
    // The document was written to filePath.
    void saved(const QString &filePath);

private:
    using Found = std::function<void(int unit, const ModelDocument &document)>;
    void readDocument(const QString &script, Found found);
    void copyDocument(const ModelDocument &document);
    void saveDocument(const ModelDocument &document);
    void showFills();
    void panelClosed();
    void pageShown(const QString &path);
    void pageLoaded(bool ok);
    QList<QAction *> contextActions(QPointF pagePoint);

    HtmlView *m_html;
    MessageBox *m_messages;
    Desktop *m_desktop;
    QWidget *m_window;
    FillPanel *m_panel = nullptr;
    int m_fillUnit = -1;
    QString m_fillPath;
    QString m_shownPath;
    QString m_folder;
};

} // namespace Juanzong
