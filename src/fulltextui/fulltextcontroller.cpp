// SPDX-License-Identifier: GPL-3.0-or-later
#include "fulltextui/fulltextcontroller.h"

#include "core/contentpaths.h"
#include "fulltext/fulltextservice.h"
#include "fulltext/indexbuilder.h"
#include "fulltext/fulltextpage.h"
#include "platform/htmlview.h"
#include "platform/shownpage.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QAction>
#include <QUrl>

#include <memory>

namespace Juanzong {

// What the user is not told: off unless asked for (QT_LOGGING_RULES="juanzong.fulltextui.warning=true").
Q_LOGGING_CATEGORY(lcFullTextUi, "juanzong.fulltextui", QtCriticalMsg)

const QString FullTextController::MenuCaption = QStringLiteral("在全部范本中搜索…");
const QString FullTextController::IndexBuildingNote = QStringLiteral("正在建立索引…");

namespace {

QString cleanedPath(const QString &path)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}

} // namespace

FullTextController::FullTextController(FullTextParts parts, QWidget *window)
    : QObject(window)
    , m_parts(std::move(parts))
{
    // The worker reads the folder fixed when the build starts, never the window,
    // which may be gone while the build winds down.
    m_root = std::make_shared<QString>();
    m_service = new FullTextService([root = m_root](const std::atomic_bool &cancelled) {
        return buildIndex(*root, cancelled);
    }, this);

    m_waiting = new QLabel(window);
    m_waiting->setObjectName(QStringLiteral("FullTextWaiting"));
    // The query goes into this note: it must never be read as markup. The text
    // it starts with is also what a screen reader names it while it is hidden.
    m_waiting->setTextFormat(Qt::PlainText);
    m_waiting->setText(IndexBuildingNote);
    m_waiting->setAutoFillBackground(true);
    m_waiting->setFrameShape(QFrame::StyledPanel);
    m_waiting->setMargin(8);
    m_waiting->hide();

    m_parts.searchBox->installEventFilter(this);
    connect(m_service, &FullTextService::waiting, this, &FullTextController::showWaiting);
    connect(m_service, &FullTextService::searched, this, &FullTextController::showResult);
    // No key of its own: it searches for what is selected when the menu opens.
    m_searchSelection = new QAction(MenuCaption, this);
    m_searchSelection->setObjectName(QStringLiteral("FullTextSearchSelection"));
    connect(m_searchSelection, &QAction::triggered, this, [this] {
        // In the box too, so that Shift+Enter repeats it and Enter searches the titles for it.
        m_parts.searchBox->setText(m_selectionQuery);
        search(m_selectionQuery);
    });
    m_parts.html->addContextActions([this](QPointF, const QString &selectedText) { return menuEntries(selectedText); });
    connect(m_parts.page, &ShownPage::shown, this, &FullTextController::pageShown);
    connect(m_parts.page, &ShownPage::loaded, this, &FullTextController::pageLoaded);
    // Once the page has been left it is too late to ask where it was, so the
    // offset is kept current while it is shown; a read is one small script.
    m_scrollReader.setInterval(ScrollReadInterval);
    connect(&m_scrollReader, &QTimer::timeout, this, &FullTextController::readResultScroll);
}

FullTextController::~FullTextController() = default;

const TitleSuggester *FullTextController::indexedTitles() const
{
    const FullTextIndex *index = m_service->index();
    return index ? &index->titles() : nullptr;
}

QString FullTextController::contentRoot() const
{
    return ContentPaths::contentRoot(m_parts.programDirectory());
}

QString FullTextController::resultPath() const
{
    return contentRoot() + FullTextPage::FileName;
}

void FullTextController::search(const QString &query)
{
    if (FullTextIndex::normalisedQuery(query).isEmpty())
        return;
    pinIndexFolder();
    m_service->search(query);
}

void FullTextController::pinIndexFolder()
{
    if (!m_service->hasStarted())
        *m_root = contentRoot();
}

void FullTextController::showWaiting(const QString &query)
{
    m_waiting->setText(IndexBuildingNote + u"  全文搜索“" + FullTextIndex::normalisedQuery(query) + u"”将在索引建好后显示。");
    const QRect area = m_parts.view->geometry();
    m_waiting->adjustSize();
    m_waiting->move(area.left() + (area.width() - m_waiting->width()) / 2, area.top() + 24);
    m_waiting->show();
    m_waiting->raise();
}

void FullTextController::showResult(const FullTextResult &result)
{
    m_waiting->hide();
    m_query = result.query;
    m_hitFiles.clear();
    for (const FullTextHit &hit : result.hits)
        m_hitFiles.insert(hit.fileName);
    // A new result page starts at its top.
    m_scrollReader.stop();
    m_resultScroll = 0;
    m_restoreScroll = false;
    m_parts.html->showPageAs(FullTextPage::build(result), resultPath());
}

QList<QAction *> FullTextController::menuEntries(const QString &selectedText)
{
    m_selectionQuery = FullTextIndex::normalisedQuery(selectedText);
    if (m_selectionQuery.isEmpty())
        return {};
    return {m_searchSelection};
}

bool FullTextController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_parts.searchBox && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier) {
            search(m_parts.searchBox->text());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void FullTextController::pageShown(const QString &path)
{
    const bool wasOnResults = m_onResults;
    m_onResults = cleanedPath(path) == cleanedPath(resultPath());
    m_scrollReader.stop();
    if (wasOnResults && !m_onResults)
        m_restoreScroll = true;
    // A read of the page before may have answered since the new results were asked for.
    if (m_onResults && !m_restoreScroll)
        m_resultScroll = 0;
    if (m_onResults && m_parts.closeFind)
        m_parts.closeFind();
    // Leaving the results for the catalogue or the About page opens no find bar.
    m_openedHit = wasOnResults && !m_onResults && m_hitFiles.contains(QFileInfo(path).fileName());
}

void FullTextController::pageLoaded(bool ok)
{
    // The index waits until the start page is on screen: start-up is not slowed.
    if (m_firstLoad) {
        m_firstLoad = false;
        pinIndexFolder();
        m_service->start();
    }
    if (m_onResults && ok) {
        if (m_restoreScroll && m_resultScroll > 0)
            m_parts.html->runIsolatedScript(u"window.scrollTo(0, " + QString::number(m_resultScroll) + u')', {});
        m_restoreScroll = false;
        m_scrollReader.start();
        readResults();
    }
    if (!m_openedHit)
        return;
    m_openedHit = false;
    if (!ok || m_query.isEmpty() || !m_parts.findInPage)
        return;
    // The engine's find starts at the top of the page: step past the matches
    // that come before the document the hit named.
    qsizetype skip = 0;
    const QString anchor = m_parts.page->fragment();
    if (const FullTextIndex *index = m_service->index(); index && !anchor.isEmpty())
        skip = std::max<qsizetype>(0, index->occurrencesBefore(QFileInfo(m_parts.page->path()).fileName(), anchor, m_query));
    m_parts.findInPage(m_query, int(skip));
}

void FullTextController::readResults()
{
    m_parts.page->runScript(FullTextPage::queryAndLinksScript(), this, [this](const QVariant &answer) {
        const QStringList page = answer.toStringList();
        if (page.isEmpty()) {
            // Its hits then open no find bar, and Back comes to it without its query.
            qCWarning(lcFullTextUi) << "the result page named no query and no hits:" << answer.typeName();
            return;
        }
        m_query = page.first();
        m_hitFiles.clear();
        for (qsizetype i = 1; i < page.size(); ++i)
            m_hitFiles.insert(QUrl::fromPercentEncoding(page.at(i).section(u'#', 0, 0).toUtf8()));
    });
}

void FullTextController::readResultScroll()
{
    m_parts.page->runScript(FullTextPage::scrollScript(), this, [this](const QVariant &offset) {
        bool ok = false;
        const double y = offset.toDouble(&ok);
        if (ok && y >= 0)
            m_resultScroll = y;
    });
}

} // namespace Juanzong
