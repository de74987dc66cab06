// SPDX-License-Identifier: GPL-3.0-or-later
// The case sheet (案件信息): the case typed once, checked as it is typed,
// opened from and saved to a file of the user's.
#pragma once

#include "casefile/casesheet.h"

#include <QDialog>
#include <QHash>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QTableWidget;
class QWidget;

namespace Juanzong {

class CaseSheetDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CaseSheetDialog)
public:
    explicit CaseSheetDialog(QWidget *parent = nullptr);

    const CaseSheet &sheet() const { return m_sheet; }
    void setSheet(const CaseSheet &sheet);

    // The sheet from the file; a file that is no case sheet leaves the sheet
    // shown as it was and says why in the dialog.
    bool openFile(const QString &path);
    bool saveFile(const QString &path);

Q_SIGNALS:
    void sheetChanged();
    void batchRequested();

private:
    QWidget *caseBox(QWidget *parent);
    QHBoxLayout *numberRow(QWidget *parent);
    QWidget *partiesBox(QWidget *parent);
    QWidget *personFields(QWidget *parent);
    QWidget *organisationFields(QWidget *parent);
    QWidget *panelBox(QWidget *parent);
    void addPanelRow(const QString &role, const QString &name);
    void addParty();
    void removeParty();
    QLineEdit *lineEdit(const char *name, const QString &field);
    QLabel *messageLabel(const QString &field);
    void load();
    void loadParty();
    void storeParty();
    void storePanel();
    void storeAgents();
    void edited();
    void showMessages();
    void showStatus(const QString &text, bool error);
    void refreshPartyList();
    void askOpen();
    void askSave();

    CaseSheet m_sheet;
    bool m_loading = false;
    QString m_folder; // where the last case file was, for the next dialog; never written to disk
    QHash<QString, QLineEdit *> m_edits;  // by field name of the file
    QHash<QString, QLabel *> m_messages;  // by field name, party fields without their index
    QLabel *m_numberShown = nullptr;
    QLabel *m_status = nullptr;
    QListWidget *m_parties = nullptr;
    QWidget *m_partyEditor = nullptr;
    QComboBox *m_role = nullptr;
    QComboBox *m_kind = nullptr;
    QComboBox *m_sex = nullptr;
    QComboBox *m_representativeRole = nullptr;
    QWidget *m_personFields = nullptr;
    QWidget *m_organisationFields = nullptr;
    QTableWidget *m_agents = nullptr;
    QTableWidget *m_panel = nullptr;
};

} // namespace Juanzong
