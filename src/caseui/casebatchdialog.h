// SPDX-License-Identifier: GPL-3.0-or-later
// The case's documents in one go: model documents picked from the catalogue's
// templates, filled from the case sheet and saved as Word files into one
// folder, with what was left unfilled in each reported at the end.
#pragma once

#include "casefile/casebatch.h"
#include "document/modeldocument.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace Juanzong {

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

Q_SIGNALS:
    void finished(const QList<BatchResult> &results);

private:
    void fillList(const QString &programDir);
    void filter(const QString &text);
    void chooseFolder();
    void printReport();
    void updateRunButton();

    std::function<CaseSheet()> m_sheet;
    QList<ModelDocument> m_documents; // by the index stored in each document's item
    QTreeWidget *m_list = nullptr;
    QLineEdit *m_filter = nullptr;
    QLineEdit *m_folder = nullptr;
    QPushButton *m_run = nullptr;
    QProgressBar *m_progress = nullptr;
    QPlainTextEdit *m_report = nullptr;
    bool m_running = false;
};

} // namespace Juanzong
