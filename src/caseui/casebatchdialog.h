// SPDX-License-Identifier: GPL-3.0-or-later
// The case's documents in one go: model documents picked from the catalogue's
// templates (narrowed by their titles or by the full-text index), filled from
// the case sheet and saved as Word files into one folder, with what was left
// unfilled in each reported at the end.
#pragma once

#include "casefile/casebatch.h"
#include "document/modeldocument.h"

#include <QDialog>
#include <QPointer>
#include <QSet>

#include <functional>
#include <optional>

class QLabel;
class QVBoxLayout;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace Juanzong {

class FullTextService;

class CaseBatchDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CaseBatchDialog)
public:
    // sheet is asked when the batch runs, so that the latest typing counts.
    CaseBatchDialog(std::function<CaseSheet()> sheet, const QString &programDir, QWidget *parent = nullptr);
    ~CaseBatchDialog() override;

    // Writes every checked document into the folder given; asks before
    // replacing files that are there.
    void run();

    // The window's full-text index, which the list can be narrowed by once it
    // is built; the dialog never starts a build itself. Without it only the
    // title filter narrows.
    void setFullTextService(FullTextService *service);

Q_SIGNALS:
    void finished(const QList<BatchResult> &results);

private:
    void addFilters(QVBoxLayout *layout);
    void addFolderRow(QVBoxLayout *layout);
    void addButtons(QVBoxLayout *layout);
    void fillList(const QString &programDir);
    void filter();
    // The documents the full-text query is found in, as "page#anchor"; the
    // note under the field says how many, or why the query is not searched.
    void searchFullText();
    void chooseFolder();
    void printReport();
    void updateRunButton();

    std::function<CaseSheet()> m_sheet;
    QList<ModelDocument> m_documents; // by the index stored in each document's item
    QStringList m_places;             // the same documents' "page#anchor"
    QTreeWidget *m_list = nullptr;
    QLineEdit *m_filter = nullptr;
    QLineEdit *m_fullText = nullptr;
    QLabel *m_fullTextNote = nullptr;
    QPointer<FullTextService> m_service;
    std::optional<QSet<QString>> m_fullTextHits; // none: no query searched
    QLineEdit *m_folder = nullptr;
    QPushButton *m_run = nullptr;
    QProgressBar *m_progress = nullptr;
    QPlainTextEdit *m_report = nullptr;
    bool m_running = false;
};

} // namespace Juanzong
