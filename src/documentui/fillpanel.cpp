// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentui/fillpanel.h"

#include "caseui/caseui.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace Juanzong {

FillPanel::FillPanel(QWidget *parent)
    : QDialog(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("FillPanel"));
    setWindowTitle(QStringLiteral("填写范本"));
    setModal(false);
    resize(380, 640);

    auto *layout = new QVBoxLayout(this);
    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("FillHeading"));
    // The heading is the page's text: markup in it is shown, never followed.
    m_heading->setTextFormat(Qt::PlainText);
    m_heading->setWordWrap(true);
    QFont bold = m_heading->font();
    bold.setBold(true);
    m_heading->setFont(bold);
    layout->addWidget(m_heading);
    auto *hint = new QLabel(QStringLiteral("填写的内容即时以黄色标记显示在页面中；同一空白出现多处时一次填写、处处生效，"
                                           "也可以勾选“逐处填写”。关闭本面板后页面恢复为范本原文。"),
                            this);
    hint->setTextFormat(Qt::PlainText);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    m_fields = new QWidget(scroll);
    m_fieldsLayout = new QVBoxLayout(m_fields);
    scroll->setWidget(m_fields);
    layout->addWidget(scroll, 1);

    auto *buttons = new QDialogButtonBox(this);
    auto button = [&](const char *name, const QString &caption, QDialogButtonBox::ButtonRole role) {
        QPushButton *b = buttons->addButton(caption, role);
        b->setObjectName(QLatin1StringView(name));
        b->setAutoDefault(false);
        return b;
    };
    connect(button("FillCopy", QStringLiteral("复制范本"), QDialogButtonBox::ActionRole), &QPushButton::clicked, this,
            &FillPanel::copyRequested);
    connect(button("FillSave", QStringLiteral("另存为 Word 文档…"), QDialogButtonBox::ActionRole),
            &QPushButton::clicked, this, &FillPanel::saveRequested);
    connect(button("FillClear", QStringLiteral("清空"), QDialogButtonBox::ResetRole), &QPushButton::clicked, this,
            &FillPanel::clearAll);
    connect(button("FillClose", QStringLiteral("关闭"), QDialogButtonBox::RejectRole), &QPushButton::clicked, this,
            &QWidget::hide);
    layout->addWidget(buttons);
}

FillPanel::~FillPanel() = default;

void FillPanel::setFillIn(const FillIn &fillIn)
{
    m_fillIn = fillIn;
    m_fillIn.clear();
    rebuild();
    CaseUi::offerCaseValues(this, m_fillIn);
}

void FillPanel::rebuild()
{
    while (QLayoutItem *item = m_fieldsLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_groups.clear();
    m_blanks = QList<QLineEdit *>(m_fillIn.placeholders().size(), nullptr);

    const QString heading = m_fillIn.document().heading;
    m_heading->setText(heading);
    setWindowTitle(QStringLiteral("填写范本 — ") + heading);
    const QList<PlaceholderGroup> &groups = m_fillIn.groups();
    if (groups.isEmpty()) {
        auto *none = new QLabel(QStringLiteral("此范本中没有待填写的空白。"), m_fields);
        none->setTextFormat(Qt::PlainText);
        m_fieldsLayout->addWidget(none);
        m_fieldsLayout->addStretch();
        return;
    }
    for (int g = 0; g < groups.size(); ++g)
        m_fieldsLayout->addWidget(groupBox(g));
    m_fieldsLayout->addStretch();
}

QWidget *FillPanel::groupBox(int g)
{
    const PlaceholderGroup &group = m_fillIn.groups().at(g);
    auto *box = new QWidget(m_fields);
    auto *boxLayout = new QVBoxLayout(box);
    boxLayout->setContentsMargins(0, 4, 0, 4);
    const qsizetype count = group.occurrences.size();
    auto *label = new QLabel(box);
    // Text format: the label is the template's own text, never markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setText(count > 1 ? group.label + QStringLiteral("（%1处）").arg(count) : group.label);
    boxLayout->addWidget(label);

    GroupFields fields;
    fields.group = new QLineEdit(box);
    fields.group->setObjectName(QStringLiteral("FillGroup%1").arg(g));
    fields.group->setAccessibleName(group.label);
    fields.group->setClearButtonEnabled(true);
    if (count == 1)
        fields.group->setPlaceholderText(m_fillIn.context(group.occurrences.constFirst()));
    label->setBuddy(fields.group);
    boxLayout->addWidget(fields.group);
    connect(fields.group, &QLineEdit::textEdited, this, [this, g](const QString &text) { groupEdited(g, text); });

    if (count > 1)
        addPlaceByPlace(g, fields, boxLayout);
    else
        m_blanks[group.occurrences.constFirst()] = fields.group;
    m_groups.append(fields);
    return box;
}

void FillPanel::addPlaceByPlace(int g, GroupFields &fields, QVBoxLayout *boxLayout)
{
    const PlaceholderGroup &group = m_fillIn.groups().at(g);
    QWidget *box = boxLayout->parentWidget();
    fields.separately = new QCheckBox(QStringLiteral("逐处填写"), box);
    fields.separately->setObjectName(QStringLiteral("FillSeparately%1").arg(g));
    boxLayout->addWidget(fields.separately);
    connect(fields.separately, &QCheckBox::toggled, this, [this, g](bool on) { setSeparately(g, on); });

    fields.blanks = new QWidget(box);
    auto *form = new QFormLayout(fields.blanks);
    form->setContentsMargins(16, 0, 0, 0);
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    for (int blank : group.occurrences) {
        auto *edit = new QLineEdit(fields.blanks);
        edit->setObjectName(QStringLiteral("FillBlank%1").arg(blank));
        edit->setAccessibleName(m_fillIn.context(blank));
        auto *where = new QLabel(fields.blanks);
        where->setTextFormat(Qt::PlainText);
        where->setText(m_fillIn.context(blank));
        form->addRow(where, edit);
        m_blanks[blank] = edit;
        connect(edit, &QLineEdit::textEdited, this,
                [this, g, blank](const QString &text) { blankEdited(g, blank, text); });
    }
    fields.blanks->setVisible(group.placeByPlace);
    fields.group->setEnabled(!group.placeByPlace);
    {
        const QSignalBlocker quiet(fields.separately);
        fields.separately->setChecked(group.placeByPlace);
    }
    boxLayout->addWidget(fields.blanks);
}

void FillPanel::groupEdited(int group, const QString &text)
{
    m_fillIn.setGroupValue(group, text);
    if (m_groups.at(group).blanks) {
        for (int blank : m_fillIn.groups().at(group).occurrences) {
            const QSignalBlocker quiet(m_blanks.at(blank));
            m_blanks.at(blank)->setText(text);
        }
    }
    Q_EMIT valuesChanged();
}

void FillPanel::blankEdited(int group, int placeholder, const QString &text)
{
    m_fillIn.setValue(placeholder, text);
    const QSignalBlocker quiet(m_groups.at(group).group);
    m_groups.at(group).group->setText(m_fillIn.groupValue(group));
    Q_EMIT valuesChanged();
}

void FillPanel::setSeparately(int group, bool on)
{
    const GroupFields &fields = m_groups.at(group);
    fields.blanks->setVisible(on);
    fields.group->setEnabled(!on);
    if (on)
        return;
    // Back to one value for all: the first one typed stands for the group.
    QString value;
    for (int blank : m_fillIn.groups().at(group).occurrences)
        if (value.isEmpty())
            value = m_fillIn.value(blank);
    fields.group->setText(value);
    groupEdited(group, value);
}

void FillPanel::clearAll()
{
    m_fillIn.clear();
    for (QLineEdit *edit : std::as_const(m_blanks))
        if (edit) {
            const QSignalBlocker quiet(edit);
            edit->clear();
        }
    for (const GroupFields &fields : std::as_const(m_groups)) {
        const QSignalBlocker quiet(fields.group);
        fields.group->clear();
    }
    Q_EMIT valuesChanged();
}

void FillPanel::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    // A window manager hiding the panel with its minimised window is no close.
    if (!event->spontaneous())
        Q_EMIT closed();
}

} // namespace Juanzong
