// SPDX-License-Identifier: GPL-3.0-or-later
#include "caseui/casesheetdialog.h"

#include "casefile/casefile.h"
#include "caseui/dialogparts.h"

#include <algorithm>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace Juanzong {

namespace {

const QString PersonKind = u"自然人"_s;
const QString OrganisationKind = u"法人或其他组织"_s;

using CaseDialogParts::button;
using CaseDialogParts::buttonRow;

QComboBox *comboBox(QWidget *parent, const char *name, const QStringList &items, bool editable)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1StringView(name));
    box->addItems(items);
    box->setEditable(editable);
    return box;
}

// Rows of (role, name) with the role as a choice that also takes other words.
void addRoleRow(QTableWidget *table, const QStringList &roles, const QString &role, const QString &name)
{
    const int row = table->rowCount();
    table->insertRow(row);
    QComboBox *box = comboBox(table, "", roles, true);
    box->setCurrentText(role);
    table->setCellWidget(row, 0, box);
    table->setItem(row, 1, new QTableWidgetItem(name));
}

void removeCurrentRow(QTableWidget *table)
{
    if (table->currentRow() >= 0)
        table->removeRow(table->currentRow());
}

QTableWidget *table(QWidget *parent, const char *name, const QStringList &headers)
{
    auto *t = new QTableWidget(0, int(headers.size()), parent);
    t->setObjectName(QLatin1StringView(name));
    t->setHorizontalHeaderLabels(headers);
    t->horizontalHeader()->setStretchLastSection(true);
    t->verticalHeader()->hide();
    t->setMinimumHeight(96);
    return t;
}

} // namespace

CaseSheetDialog::CaseSheetDialog(QWidget *parent)
    : QDialog(parent, Qt::Window)
{
    setObjectName(u"CaseSheet"_s);
    setWindowTitle(u"案件信息"_s);
    setModal(false);
    resize(560, 760);

    auto *layout = new QVBoxLayout(this);
    QPushButton *open = button(this, "CaseOpen", u"打开…"_s);
    QPushButton *save = button(this, "CaseSave", u"保存…"_s);
    QPushButton *batch = button(this, "CaseBatch", u"批量生成文书…"_s);
    QPushButton *close = button(this, "CaseClose", u"关闭"_s);
    layout->addLayout(buttonRow({open, save}, {batch, close}));
    connect(open, &QPushButton::clicked, this, &CaseSheetDialog::askOpen);
    connect(save, &QPushButton::clicked, this, &CaseSheetDialog::askSave);
    connect(batch, &QPushButton::clicked, this, &CaseSheetDialog::batchRequested);
    connect(close, &QPushButton::clicked, this, &QWidget::hide);

    m_status = new QLabel(this);
    m_status->setObjectName(u"CaseStatus"_s);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto *content = new QWidget(scroll);
    auto *contentLayout = new QVBoxLayout(content);
    scroll->setWidget(content);
    layout->addWidget(scroll, 1);
    contentLayout->addWidget(caseBox(content));
    contentLayout->addWidget(partiesBox(content));
    contentLayout->addWidget(panelBox(content));
    contentLayout->addStretch();
    for (QComboBox *box : {m_role, m_kind, m_sex, m_representativeRole})
        connect(box, &QComboBox::currentTextChanged, this, &CaseSheetDialog::edited);

    load();
}

// The court, the case number in its parts, the cause and the dates.
QWidget *CaseSheetDialog::caseBox(QWidget *parent)
{
    auto *box = new QGroupBox(u"案件"_s, parent);
    auto *form = new QFormLayout(box);
    form->addRow(u"法院："_s, lineEdit("CaseCourt", u"court"_s));
    m_edits.value(u"court"_s)->setPlaceholderText(u"北京市海淀区人民法院"_s);
    form->addRow(u"案号："_s, numberRow(box));
    m_numberShown = new QLabel(box);
    m_numberShown->setObjectName(u"CaseNumberShown"_s);
    m_numberShown->setTextFormat(Qt::PlainText);
    form->addRow(QString(), m_numberShown);
    for (const QString &field : {u"caseNumber"_s, u"caseNumber.year"_s, u"caseNumber.courtCode"_s,
                                 u"caseNumber.typeCode"_s, u"caseNumber.number"_s})
        form->addRow(QString(), messageLabel(field));
    form->addRow(u"案由："_s, lineEdit("CaseCause", u"cause"_s));
    m_edits.value(u"cause"_s)->setPlaceholderText(u"买卖合同纠纷"_s);
    for (auto [name, field, caption] : {std::tuple{"CaseFiled", u"filed"_s, u"立案日期："_s},
                                        std::tuple{"CaseHearing", u"hearing"_s, u"开庭日期："_s},
                                        std::tuple{"CasePronounced", u"pronounced"_s, u"宣判日期："_s}}) {
        QLineEdit *edit = lineEdit(name, field);
        edit->setPlaceholderText(u"2026-03-05"_s);
        form->addRow(caption, edit);
        form->addRow(QString(), messageLabel(field));
    }
    return box;
}

// "（2026）京0108民初1234号" typed part by part between its fixed characters.
QHBoxLayout *CaseSheetDialog::numberRow(QWidget *parent)
{
    auto *row = new QHBoxLayout;
    auto part = [&](const char *name, const QString &field, const QString &example, const QString &what, int width) {
        QLineEdit *edit = lineEdit(name, field);
        edit->setPlaceholderText(example);
        // A part holds a few characters: a clear button would hide them, and
        // the room they need follows the font, not a fixed count of pixels.
        edit->setClearButtonEnabled(false);
        edit->setFixedWidth(std::max(width, edit->fontMetrics().horizontalAdvance(example + u"00"_s) + 16));
        edit->setAccessibleName(what);
        edit->setToolTip(what);
        return edit;
    };
    row->addWidget(new QLabel(u"（"_s, parent));
    row->addWidget(part("CaseYear", u"caseNumber.year"_s, u"2026"_s, u"案号：年份"_s, 60));
    row->addWidget(new QLabel(u"）"_s, parent));
    row->addWidget(part("CaseCourtCode", u"caseNumber.courtCode"_s, u"京0108"_s, u"案号：法院代字"_s, 70));
    row->addWidget(part("CaseTypeCode", u"caseNumber.typeCode"_s, u"民初"_s, u"案号：类型代字"_s, 60));
    row->addWidget(part("CaseSerial", u"caseNumber.number"_s, u"1234"_s, u"案号：案件编号"_s, 70));
    row->addWidget(new QLabel(u"号"_s, parent));
    row->addStretch();
    return row;
}

// The list of parties and the editor of the one selected.
QWidget *CaseSheetDialog::partiesBox(QWidget *parent)
{
    auto *box = new QGroupBox(u"当事人"_s, parent);
    auto *layout = new QVBoxLayout(box);
    m_parties = new QListWidget(box);
    m_parties->setObjectName(u"CaseParties"_s);
    m_parties->setMaximumHeight(120);
    layout->addWidget(m_parties);
    QPushButton *add = button(box, "CasePartyAdd", u"添加当事人"_s);
    QPushButton *remove = button(box, "CasePartyRemove", u"删除"_s);
    layout->addLayout(buttonRow({add, remove}));
    connect(add, &QPushButton::clicked, this, &CaseSheetDialog::addParty);
    connect(remove, &QPushButton::clicked, this, &CaseSheetDialog::removeParty);
    connect(m_parties, &QListWidget::currentRowChanged, this, &CaseSheetDialog::loadParty);

    m_partyEditor = new QWidget(box);
    auto *form = new QFormLayout(m_partyEditor);
    m_role = comboBox(m_partyEditor, "CasePartyRole", PartyRoles, true);
    m_kind = comboBox(m_partyEditor, "CasePartyKind", {PersonKind, OrganisationKind}, false);
    form->addRow(u"诉讼地位："_s, m_role);
    form->addRow(u"类型："_s, m_kind);
    form->addRow(u"姓名或名称："_s, lineEdit("CasePartyName", u"party.name"_s));
    form->addRow(personFields(m_partyEditor));
    form->addRow(organisationFields(m_partyEditor));
    form->addRow(u"住所或住所地："_s, lineEdit("CasePartyAddress", u"party.address"_s));
    m_agents = table(m_partyEditor, "CaseAgents", {u"委托诉讼代理人"_s, u"身份（如：某律师事务所律师）"_s});
    form->addRow(m_agents);
    QPushButton *addAgent = button(m_partyEditor, "CaseAgentAdd", u"添加代理人"_s);
    QPushButton *removeAgent = button(m_partyEditor, "CaseAgentRemove", u"删除代理人"_s);
    form->addRow(buttonRow({addAgent, removeAgent}));
    connect(addAgent, &QPushButton::clicked, this, [this] {
        const int row = m_agents->rowCount();
        m_agents->insertRow(row);
        m_agents->setItem(row, 0, new QTableWidgetItem);
        m_agents->setItem(row, 1, new QTableWidgetItem);
        storeAgents();
    });
    connect(removeAgent, &QPushButton::clicked, this, [this] {
        removeCurrentRow(m_agents);
        storeAgents();
    });
    connect(m_agents, &QTableWidget::itemChanged, this, &CaseSheetDialog::storeAgents);
    layout->addWidget(m_partyEditor);
    return box;
}

QWidget *CaseSheetDialog::personFields(QWidget *parent)
{
    m_personFields = new QWidget(parent);
    auto *form = new QFormLayout(m_personFields);
    form->setContentsMargins(0, 0, 0, 0);
    m_sex = comboBox(m_personFields, "CasePartySex", {QString(), u"男"_s, u"女"_s}, false);
    form->addRow(u"性别："_s, m_sex);
    form->addRow(QString(), messageLabel(u"party.sex"_s));
    form->addRow(u"出生日期："_s, lineEdit("CasePartyBirth", u"party.birthDate"_s));
    m_edits.value(u"party.birthDate"_s)->setPlaceholderText(u"1980-01-02"_s);
    form->addRow(QString(), messageLabel(u"party.birthDate"_s));
    form->addRow(u"民族："_s, lineEdit("CasePartyEthnicity", u"party.ethnicity"_s));
    form->addRow(u"工作单位和职务或职业："_s, lineEdit("CasePartyOccupation", u"party.occupation"_s));
    return m_personFields;
}

QWidget *CaseSheetDialog::organisationFields(QWidget *parent)
{
    m_organisationFields = new QWidget(parent);
    auto *form = new QFormLayout(m_organisationFields);
    form->setContentsMargins(0, 0, 0, 0);
    m_representativeRole = comboBox(m_organisationFields, "CasePartyRepresentativeRole",
                                    {u"法定代表人"_s, u"主要负责人"_s}, false);
    form->addRow(u"代表人身份："_s, m_representativeRole);
    form->addRow(u"代表人姓名："_s, lineEdit("CasePartyRepresentative", u"party.representative"_s));
    form->addRow(u"代表人职务："_s, lineEdit("CasePartyRepresentativeTitle", u"party.representativeTitle"_s));
    return m_organisationFields;
}

// The panel and the clerk.
QWidget *CaseSheetDialog::panelBox(QWidget *parent)
{
    auto *box = new QGroupBox(u"审判组织"_s, parent);
    auto *form = new QFormLayout(box);
    m_panel = table(box, "CasePanel", {u"职务"_s, u"姓名"_s});
    form->addRow(m_panel);
    QPushButton *add = button(box, "CasePanelAdd", u"添加审判人员"_s);
    QPushButton *remove = button(box, "CasePanelRemove", u"删除"_s);
    form->addRow(buttonRow({add, remove}));
    form->addRow(u"书记员："_s, lineEdit("CaseClerk", u"clerk"_s));
    connect(add, &QPushButton::clicked, this, [this] {
        addPanelRow(m_panel->rowCount() == 0 ? u"审判长"_s : u"审判员"_s, QString());
        storePanel();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        removeCurrentRow(m_panel);
        storePanel();
    });
    connect(m_panel, &QTableWidget::itemChanged, this, &CaseSheetDialog::storePanel);
    return box;
}

void CaseSheetDialog::addPanelRow(const QString &role, const QString &name)
{
    addRoleRow(m_panel, PanelRoles, role, name);
    auto *box = static_cast<QComboBox *>(m_panel->cellWidget(m_panel->rowCount() - 1, 0));
    connect(box, &QComboBox::currentTextChanged, this, &CaseSheetDialog::storePanel);
}

void CaseSheetDialog::addParty()
{
    Party party;
    // A new party is most often the other side of the last one.
    if (!m_sheet.parties.isEmpty() && m_sheet.parties.constLast().role == u"原告")
        party.role = u"被告"_s;
    m_sheet.parties.append(party);
    refreshPartyList();
    m_parties->setCurrentRow(int(m_sheet.parties.size() - 1));
    edited();
}

void CaseSheetDialog::removeParty()
{
    const int row = m_parties->currentRow();
    if (row < 0 || row >= m_sheet.parties.size())
        return;
    m_sheet.parties.removeAt(row);
    refreshPartyList();
    m_parties->setCurrentRow(std::min(row, int(m_sheet.parties.size()) - 1));
    loadParty();
    edited();
}

QLineEdit *CaseSheetDialog::lineEdit(const char *name, const QString &field)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QLatin1StringView(name));
    edit->setClearButtonEnabled(true);
    m_edits.insert(field, edit);
    connect(edit, &QLineEdit::textEdited, this, &CaseSheetDialog::edited);
    return edit;
}

QLabel *CaseSheetDialog::messageLabel(const QString &field)
{
    auto *label = new QLabel(this);
    label->setObjectName(u"CaseMessage:"_s + field);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setStyleSheet(u"color: #b00020;"_s);
    label->hide();
    m_messages.insert(field, label);
    return label;
}

void CaseSheetDialog::setSheet(const CaseSheet &sheet)
{
    m_sheet = sheet;
    load();
    Q_EMIT sheetChanged();
}

void CaseSheetDialog::load()
{
    m_loading = true;
    auto set = [this](const QString &field, const QString &text) { m_edits.value(field)->setText(text); };
    set(u"court"_s, m_sheet.court);
    set(u"caseNumber.year"_s, m_sheet.caseNumber.year);
    set(u"caseNumber.courtCode"_s, m_sheet.caseNumber.courtCode);
    set(u"caseNumber.typeCode"_s, m_sheet.caseNumber.typeCode);
    set(u"caseNumber.number"_s, m_sheet.caseNumber.number);
    set(u"cause"_s, m_sheet.cause);
    set(u"filed"_s, m_sheet.filed);
    set(u"hearing"_s, m_sheet.hearing);
    set(u"pronounced"_s, m_sheet.pronounced);
    set(u"clerk"_s, m_sheet.clerk);
    {
        const QSignalBlocker quiet(m_panel);
        m_panel->setRowCount(0);
        for (const PanelMember &member : std::as_const(m_sheet.panel))
            addPanelRow(member.role, member.name);
    }
    refreshPartyList();
    m_parties->setCurrentRow(m_sheet.parties.isEmpty() ? -1 : 0);
    m_loading = false;
    loadParty();
    showMessages();
}

void CaseSheetDialog::loadParty()
{
    const int row = m_parties->currentRow();
    const bool has = row >= 0 && row < m_sheet.parties.size();
    m_partyEditor->setEnabled(has);
    const Party party = has ? m_sheet.parties.at(row) : Party();
    const bool loading = std::exchange(m_loading, true);
    m_role->setCurrentText(party.role);
    m_kind->setCurrentIndex(party.kind == Party::Kind::Person ? 0 : 1);
    m_sex->setCurrentText(party.sex);
    m_representativeRole->setCurrentText(party.representativeRole);
    m_edits.value(u"party.name"_s)->setText(party.name);
    m_edits.value(u"party.birthDate"_s)->setText(party.birthDate);
    m_edits.value(u"party.ethnicity"_s)->setText(party.ethnicity);
    m_edits.value(u"party.occupation"_s)->setText(party.occupation);
    m_edits.value(u"party.address"_s)->setText(party.address);
    m_edits.value(u"party.representative"_s)->setText(party.representative);
    m_edits.value(u"party.representativeTitle"_s)->setText(party.representativeTitle);
    {
        const QSignalBlocker quiet(m_agents);
        m_agents->setRowCount(0);
        for (const Agent &agent : party.agents) {
            const int r = m_agents->rowCount();
            m_agents->insertRow(r);
            m_agents->setItem(r, 0, new QTableWidgetItem(agent.name));
            m_agents->setItem(r, 1, new QTableWidgetItem(agent.description));
        }
    }
    m_personFields->setVisible(party.kind == Party::Kind::Person);
    m_organisationFields->setVisible(party.kind == Party::Kind::Organisation);
    m_loading = loading;
    showMessages();
}

void CaseSheetDialog::storeParty()
{
    const int row = m_parties->currentRow();
    if (row < 0 || row >= m_sheet.parties.size())
        return;
    Party &party = m_sheet.parties[row];
    party.role = m_role->currentText().trimmed();
    party.kind = m_kind->currentIndex() == 0 ? Party::Kind::Person : Party::Kind::Organisation;
    party.sex = m_sex->currentText();
    party.representativeRole = m_representativeRole->currentText();
    party.name = m_edits.value(u"party.name"_s)->text();
    party.birthDate = m_edits.value(u"party.birthDate"_s)->text();
    party.ethnicity = m_edits.value(u"party.ethnicity"_s)->text();
    party.occupation = m_edits.value(u"party.occupation"_s)->text();
    party.address = m_edits.value(u"party.address"_s)->text();
    party.representative = m_edits.value(u"party.representative"_s)->text();
    party.representativeTitle = m_edits.value(u"party.representativeTitle"_s)->text();
    m_personFields->setVisible(party.kind == Party::Kind::Person);
    m_organisationFields->setVisible(party.kind == Party::Kind::Organisation);
}

void CaseSheetDialog::storeAgents()
{
    const int row = m_parties->currentRow();
    if (m_loading || row < 0 || row >= m_sheet.parties.size())
        return;
    QList<Agent> agents;
    for (int r = 0; r < m_agents->rowCount(); ++r) {
        auto text = [&](int column) { return m_agents->item(r, column) ? m_agents->item(r, column)->text() : QString(); };
        agents.append({text(0), text(1)});
    }
    m_sheet.parties[row].agents = agents;
    Q_EMIT sheetChanged();
}

void CaseSheetDialog::storePanel()
{
    if (m_loading)
        return;
    m_sheet.panel.clear();
    for (int r = 0; r < m_panel->rowCount(); ++r) {
        const auto *box = static_cast<QComboBox *>(m_panel->cellWidget(r, 0));
        m_sheet.panel.append({box ? box->currentText() : QString(), m_panel->item(r, 1) ? m_panel->item(r, 1)->text() : QString()});
    }
    Q_EMIT sheetChanged();
}

void CaseSheetDialog::edited()
{
    if (m_loading)
        return;
    auto text = [this](const QString &field) { return m_edits.value(field)->text(); };
    m_sheet.court = text(u"court"_s);
    m_sheet.caseNumber = {text(u"caseNumber.year"_s).trimmed(), text(u"caseNumber.courtCode"_s).trimmed(),
                          text(u"caseNumber.typeCode"_s).trimmed(), text(u"caseNumber.number"_s).trimmed()};
    m_sheet.cause = text(u"cause"_s);
    m_sheet.filed = text(u"filed"_s);
    m_sheet.hearing = text(u"hearing"_s);
    m_sheet.pronounced = text(u"pronounced"_s);
    m_sheet.clerk = text(u"clerk"_s);
    storeParty();
    refreshPartyList();
    showMessages();
    Q_EMIT sheetChanged();
}

void CaseSheetDialog::refreshPartyList()
{
    const QSignalBlocker quiet(m_parties);
    const int row = m_parties->currentRow();
    while (m_parties->count() > m_sheet.parties.size())
        delete m_parties->takeItem(m_parties->count() - 1);
    for (int i = 0; i < m_sheet.parties.size(); ++i) {
        const Party &party = m_sheet.parties.at(i);
        const QString text = party.role + u'　' + (party.name.isEmpty() ? u"（未填姓名或名称）"_s : party.name);
        if (i < m_parties->count())
            m_parties->item(i)->setText(text);
        else
            m_parties->addItem(text);
    }
    if (row < m_parties->count())
        m_parties->setCurrentRow(row);
}

void CaseSheetDialog::showMessages()
{
    m_numberShown->setText(m_sheet.caseNumber.text().isEmpty() ? QString() : u"显示为："_s + m_sheet.caseNumber.text());
    for (QLabel *label : std::as_const(m_messages)) {
        label->clear();
        label->hide();
    }
    const QString partyPrefix = u"parties."_s + QString::number(m_parties->currentRow()) + u'.';
    for (const FieldMessage &message : validate(m_sheet)) {
        QString field = message.field;
        if (field.startsWith(partyPrefix))
            field = u"party."_s + field.mid(partyPrefix.size());
        if (QLabel *label = m_messages.value(field)) {
            label->setText(message.message);
            label->show();
        }
    }
}

void CaseSheetDialog::showStatus(const QString &text, bool error)
{
    m_status->setStyleSheet(error ? u"color: #b00020;"_s : QString());
    m_status->setText(text);
}

bool CaseSheetDialog::openFile(const QString &path)
{
    QString error;
    const std::optional<CaseSheet> read = readCaseFile(path, &error);
    if (!read) {
        showStatus(u"未能打开“"_s + QFileInfo(path).fileName() + u"”：" + error, true);
        return false;
    }
    m_folder = QFileInfo(path).absolutePath();
    setSheet(*read);
    showStatus(u"已打开："_s + QDir::toNativeSeparators(path), false);
    return true;
}

bool CaseSheetDialog::saveFile(const QString &path)
{
    QString error;
    if (!writeCaseFile(path, m_sheet, &error)) {
        showStatus(error, true);
        return false;
    }
    m_folder = QFileInfo(path).absolutePath();
    showStatus(u"已保存："_s + QDir::toNativeSeparators(path), false);
    return true;
}

void CaseSheetDialog::askOpen()
{
    const QString path = QFileDialog::getOpenFileName(this, u"打开案件信息"_s, m_folder,
                                                      u"案件信息 (*.json);;所有文件 (*)"_s);
    if (!path.isEmpty())
        openFile(path);
}

void CaseSheetDialog::askSave()
{
    QString name = m_sheet.caseNumber.text().isEmpty() ? u"案件信息"_s : m_sheet.caseNumber.text();
    for (QChar &c : name)
        if (QStringView(u"\\/:*?\"<>|").contains(c))
            c = u'_';
    const QString suggested = m_folder.isEmpty() ? name + u".json" : QDir(m_folder).filePath(name + u".json");
    QString path = QFileDialog::getSaveFileName(this, u"保存案件信息"_s, suggested, u"案件信息 (*.json)"_s);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += u".json";
    saveFile(path);
}

} // namespace Juanzong
