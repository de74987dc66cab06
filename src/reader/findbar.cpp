// SPDX-License-Identifier: GPL-3.0-or-later
#include "reader/findbar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace Juanzong {

namespace {

constexpr int PreferredWidth = 400;
// Room for the page's own vertical scroll bar, which the bar must not hide.
constexpr int ScrollBarRoom = 18;

} // namespace

FindBar::FindBar(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("FindBar"));
    setAccessibleName(QStringLiteral("查找栏"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);

    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("FindText"));
    m_edit->setPlaceholderText(QStringLiteral("页内查找"));
    m_edit->setAccessibleName(QStringLiteral("页内查找"));
    m_edit->setClearButtonEnabled(true);
    // The line edit's own clear button carries only an icon.
    if (auto *clear = m_edit->findChild<QToolButton *>())
        clear->setAccessibleName(QStringLiteral("清空查找文字"));
    m_edit->installEventFilter(this);

    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("FindCount"));
    m_count->setAccessibleName(QStringLiteral("匹配数"));
    m_count->setMinimumWidth(m_count->fontMetrics().horizontalAdvance(u"000/000"_s));
    m_count->setAlignment(Qt::AlignCenter);

    auto button = [this](const char *name, const QString &text, const QString &caption, const QString &key) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1StringView(name));
        b->setText(text);
        b->setToolTip(caption + u" (" + key + u')');
        // Read out as its caption; the key follows as the description.
        b->setAccessibleName(caption);
        b->setAccessibleDescription(key);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    m_previous = button("FindPrevious", QStringLiteral("▲"), QStringLiteral("上一个"), QStringLiteral("Shift+F3"));
    m_next = button("FindNext", QStringLiteral("▼"), QStringLiteral("下一个"), QStringLiteral("F3"));
    m_close = button("FindClose", QStringLiteral("✕"), QStringLiteral("关闭查找"), QStringLiteral("Esc"));

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(6, 3, 3, 3);
    row->setSpacing(4);
    row->addWidget(m_edit, 1);
    row->addWidget(m_count);
    row->addWidget(m_previous);
    row->addWidget(m_next);
    row->addWidget(m_close);

    connect(m_edit, &QLineEdit::textEdited, this, [this](const QString &text) { Q_EMIT findRequested(text, false); });
    connect(m_previous, &QToolButton::clicked, this, [this] { Q_EMIT findRequested(text(), true); });
    connect(m_next, &QToolButton::clicked, this, [this] { Q_EMIT findRequested(text(), false); });
    connect(m_close, &QToolButton::clicked, this, &FindBar::dismiss);
    hide();
}

QString FindBar::text() const
{
    return m_edit->text();
}

void FindBar::setText(const QString &text)
{
    m_edit->setText(text);
}

void FindBar::open()
{
    show();
    raise();
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
}

void FindBar::showResult(int active, int total)
{
    if (m_edit->text().isEmpty()) {
        clearResult();
        return;
    }
    m_count->setText(QString::number(active) + u'/' + QString::number(total));
    // A text that is not on the page shows in red, as in every browser.
    m_count->setStyleSheet(total == 0 ? u"color: #c00000;"_s : QString());
}

void FindBar::clearResult()
{
    m_count->clear();
    m_count->setStyleSheet(QString());
}

void FindBar::placeOver(const QRect &area)
{
    const int width = qMin(PreferredWidth, qMax(0, area.width() - ScrollBarRoom));
    const int height = sizeHint().height();
    setGeometry(area.right() + 1 - ScrollBarRoom - width, area.bottom() + 1 - height, width, height);
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Q_EMIT findRequested(text(), key->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        case Qt::Key_Escape:
            dismiss();
            return true;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void FindBar::dismiss()
{
    clearResult();
    // Told while still shown, so that the focus can go back to the page first:
    // a bar hidden with the focus in it hands it on as Tab would, and the page
    // then scrolls to its first link.
    Q_EMIT closed();
    hide();
}

} // namespace Juanzong
