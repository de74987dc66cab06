// SPDX-License-Identifier: GPL-3.0-or-later
#include "caseui/casebatchdialog.h"

#include "casefile/templatedocuments.h"
#include "caseui/dialogparts.h"
#include "core/catalogue.h"
#include "fulltext/fulltextservice.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace Juanzong {

namespace {

constexpr int DocumentRole = Qt::UserRole;

using CaseDialogParts::button;

QString placeOf(const QString &fileName, const QString &anchor)
{
    return fileName + u'#' + anchor;
}

} // namespace

CaseBatchDialog::CaseBatchDialog(std::function<CaseSheet()> sheet, const QString &programDir, QWidget *parent)
    : QDialog(parent, Qt::Window)
    , m_sheet(std::move(sheet))
{
    setObjectName(u"CaseBatchDialog"_s);
    setWindowTitle(u"批量生成文书"_s);
    resize(620, 720);
    auto *layout = new QVBoxLayout(this);
    auto *hint = new QLabel(u"勾选要生成的范本，它们将按案件信息填写后保存为 Word 文档，文件以范本标题命名。"_s, this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    addFilters(layout);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(u"CaseBatchList"_s);
    m_list->setHeaderHidden(true);
    layout->addWidget(m_list, 2);
    connect(m_list, &QTreeWidget::itemChanged, this, &CaseBatchDialog::updateRunButton);
    addFolderRow(layout);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(u"CaseBatchProgress"_s);
    m_progress->setValue(0);
    layout->addWidget(m_progress);

    m_report = new QPlainTextEdit(this);
    m_report->setObjectName(u"CaseBatchReport"_s);
    m_report->setReadOnly(true);
    m_report->setPlaceholderText(u"生成后，这里列出每份文书中尚未填写的空白。"_s);
    layout->addWidget(m_report, 1);
    addButtons(layout);

    fillList(programDir);
    updateRunButton();
}

CaseBatchDialog::~CaseBatchDialog() = default;

void CaseBatchDialog::addFilters(QVBoxLayout *layout)
{
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(u"CaseBatchFilter"_s);
    m_filter->setPlaceholderText(u"按标题筛选，如：传票、判决书"_s);
    m_filter->setClearButtonEnabled(true);
    layout->addWidget(m_filter);
    connect(m_filter, &QLineEdit::textChanged, this, &CaseBatchDialog::filter);

    m_fullText = new QLineEdit(this);
    m_fullText->setObjectName(u"CaseBatchFullText"_s);
    m_fullText->setPlaceholderText(u"按全文筛选，如：证人出庭"_s);
    m_fullText->setClearButtonEnabled(true);
    layout->addWidget(m_fullText);
    m_fullTextNote = new QLabel(this);
    m_fullTextNote->setObjectName(u"CaseBatchFullTextNote"_s);
    // The query is repeated in it: never markup.
    m_fullTextNote->setTextFormat(Qt::PlainText);
    m_fullTextNote->setWordWrap(true);
    m_fullTextNote->hide();
    layout->addWidget(m_fullTextNote);
    connect(m_fullText, &QLineEdit::textChanged, this, &CaseBatchDialog::searchFullText);
}

void CaseBatchDialog::addFolderRow(QVBoxLayout *layout)
{
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(u"保存到："_s, this));
    m_folder = new QLineEdit(this);
    m_folder->setObjectName(u"CaseBatchFolder"_s);
    folderRow->addWidget(m_folder, 1);
    QPushButton *choose = button(this, "CaseBatchChoose", u"选择文件夹…"_s);
    folderRow->addWidget(choose);
    layout->addLayout(folderRow);
    connect(choose, &QPushButton::clicked, this, &CaseBatchDialog::chooseFolder);
    connect(m_folder, &QLineEdit::textChanged, this, &CaseBatchDialog::updateRunButton);
}

void CaseBatchDialog::addButtons(QVBoxLayout *layout)
{
    m_run = button(this, "CaseBatchRun", u"生成"_s);
    QPushButton *print = button(this, "CaseBatchPrint", u"打印报告…"_s);
    QPushButton *close = button(this, "CaseBatchClose", u"关闭"_s);
    layout->addLayout(CaseDialogParts::buttonRow({m_run, print}, {close}));
    connect(m_run, &QPushButton::clicked, this, &CaseBatchDialog::run);
    connect(print, &QPushButton::clicked, this, &CaseBatchDialog::printReport);
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
}

void CaseBatchDialog::setFullTextService(FullTextService *service)
{
    if (m_service)
        disconnect(m_service, nullptr, this, nullptr);
    m_service = service;
    if (service)
        connect(service, &FullTextService::ready, this, &CaseBatchDialog::searchFullText);
    searchFullText();
}

// Pages in the catalogue's order, each with its model documents to check.
void CaseBatchDialog::fillList(const QString &programDir)
{
    QHash<QString, QTreeWidgetItem *> nodes;
    for (const Catalogue::Row &row : Catalogue::rows()) {
        QTreeWidgetItem *parent = nodes.value(row.parentKey.toString());
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_list);
        item->setText(0, row.label.toString());
        // Documents are picked one by one; a group checked whole would take
        // what a filter hides as well.
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        nodes.insert(row.key.toString(), item);
        const std::optional<QString> page = Catalogue::pageOf(programDir, row.key.toString());
        if (!page)
            continue;
        for (const TemplateDocument &found : templateDocumentsOfFile(*page)) {
            auto *child = new QTreeWidgetItem(item);
            child->setText(0, found.document.heading);
            child->setFlags(child->flags() | Qt::ItemIsUserCheckable);
            child->setCheckState(0, Qt::Unchecked);
            child->setData(0, DocumentRole, int(m_documents.size()));
            m_documents.append(found.document);
            m_places.append(placeOf(QFileInfo(*page).fileName(), found.anchor));
        }
    }
    // Nodes that lead to no document are no choice.
    std::function<bool(QTreeWidgetItem *)> prune = [&prune](QTreeWidgetItem *item) {
        for (int i = item->childCount() - 1; i >= 0; --i)
            if (!prune(item->child(i)))
                delete item->takeChild(i);
        return item->childCount() > 0 || item->data(0, DocumentRole).isValid();
    };
    for (int i = m_list->topLevelItemCount() - 1; i >= 0; --i)
        if (!prune(m_list->topLevelItem(i)))
            delete m_list->takeTopLevelItem(i);
}

void CaseBatchDialog::searchFullText()
{
    const QString query = FullTextIndex::normalisedQuery(m_fullText->text());
    const FullTextIndex *index = m_service ? m_service->index() : nullptr;
    m_fullTextHits.reset();
    if (query.isEmpty()) {
        m_fullTextNote->hide();
    } else if (!index) {
        m_fullTextNote->setText(u"全文索引尚未建好，建好后即按全文筛选；按标题筛选照常可用。"_s);
        m_fullTextNote->show();
    } else {
        const FullTextResult result = index->search(query, index->documentCount());
        QSet<QString> hits;
        for (const FullTextHit &hit : result.hits)
            if (!hit.anchor.isEmpty())
                hits.insert(placeOf(hit.fileName, hit.anchor));
        m_fullTextNote->setText(u"全文含“"_s + query + u"”的范本："_s + QString::number(hits.size()) + u" 份。"_s);
        m_fullTextNote->show();
        m_fullTextHits = std::move(hits);
    }
    filter();
}

// Hides what either filter leaves out; what is checked stays checked.
void CaseBatchDialog::filter()
{
    const QString text = m_filter->text();
    const bool narrowed = !text.isEmpty() || m_fullTextHits;
    std::function<bool(QTreeWidgetItem *)> show = [&](QTreeWidgetItem *item) {
        bool any = false;
        for (int i = 0; i < item->childCount(); ++i)
            any = show(item->child(i)) || any;
        const QVariant document = item->data(0, DocumentRole);
        const bool own = document.isValid() && item->text(0).contains(text, Qt::CaseInsensitive)
            && (!m_fullTextHits || m_fullTextHits->contains(m_places.at(document.toInt())));
        item->setHidden(!(any || own || !narrowed));
        if (narrowed && any)
            item->setExpanded(true);
        return any || own;
    };
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        show(m_list->topLevelItem(i));
}

void CaseBatchDialog::chooseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, u"选择保存文书的文件夹"_s, m_folder->text());
    if (!folder.isEmpty())
        m_folder->setText(QDir::toNativeSeparators(folder));
}

void CaseBatchDialog::updateRunButton()
{
    bool any = false;
    for (QTreeWidgetItemIterator it(m_list, QTreeWidgetItemIterator::Checked); *it && !any; ++it)
        any = true;
    m_run->setEnabled(any && !m_folder->text().trimmed().isEmpty() && !m_running);
}

void CaseBatchDialog::run()
{
    QList<ModelDocument> documents;
    for (QTreeWidgetItemIterator it(m_list, QTreeWidgetItemIterator::Checked); *it; ++it)
        if (const QVariant index = (*it)->data(0, DocumentRole); index.isValid())
            documents.append(m_documents.at(index.toInt()));
    const QString folder = QDir::fromNativeSeparators(m_folder->text().trimmed());
    if (documents.isEmpty() || folder.isEmpty() || m_running)
        return;
    if (!QDir().mkpath(folder)) {
        m_report->setPlainText(u"无法使用文件夹“"_s + QDir::toNativeSeparators(folder) + u"”。");
        return;
    }
    const QStringList names = batchFileNames(documents);
    QStringList existing;
    for (const QString &name : names)
        if (QFileInfo::exists(QDir(folder).filePath(name)))
            existing.append(name);
    bool keepExisting = false;
    if (!existing.isEmpty()) {
        QMessageBox ask(QMessageBox::Question, u"提示"_s,
                        u"文件夹中已有 %1 份同名文书，是否覆盖？"_s.arg(existing.size()), QMessageBox::NoButton, this);
        ask.setTextFormat(Qt::PlainText);
        ask.setDetailedText(existing.join(u'\n'));
        QPushButton *replace = ask.addButton(u"覆盖"_s, QMessageBox::YesRole);
        QPushButton *keep = ask.addButton(u"跳过已有文件"_s, QMessageBox::NoRole);
        ask.addButton(u"取消"_s, QMessageBox::RejectRole);
        ask.setObjectName(u"CaseBatchOverwrite"_s);
        ask.exec();
        if (ask.clickedButton() != replace && ask.clickedButton() != keep)
            return;
        keepExisting = ask.clickedButton() == keep;
    }

    m_running = true;
    updateRunButton();
    const CaseSheet sheet = m_sheet();
    m_progress->setRange(0, int(documents.size()));
    QList<BatchResult> results;
    for (int i = 0; i < documents.size(); ++i) {
        m_progress->setValue(i);
        // One event pass per document: the bar moves and the window repaints.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (keepExisting && existing.contains(names.at(i))) {
            BatchResult skipped;
            skipped.fileName = names.at(i);
            skipped.heading = documents.at(i).heading;
            skipped.skipped = true;
            results.append(skipped);
            continue;
        }
        results.append(writeCaseDocument(documents.at(i), sheet, QDir(folder).filePath(names.at(i))));
    }
    m_progress->setValue(int(documents.size()));
    m_report->setPlainText(batchReport(sheet, QDir::toNativeSeparators(folder), results));
    m_running = false;
    updateRunButton();
    Q_EMIT finished(results);
}

void CaseBatchDialog::printReport()
{
    if (m_report->toPlainText().isEmpty())
        return;
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QTextDocument text;
    text.setPlainText(m_report->toPlainText());
    text.print(&printer);
}

} // namespace Juanzong
