// SPDX-License-Identifier: GPL-3.0-or-later
#include "caseui/dialogparts.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace Juanzong::CaseDialogParts {

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1StringView(name));
    // Enter in a field types the field's text; it must not press a button.
    b->setAutoDefault(false);
    return b;
}

QHBoxLayout *buttonRow(const QList<QPushButton *> &leading, const QList<QPushButton *> &trailing)
{
    auto *row = new QHBoxLayout;
    for (QPushButton *b : leading)
        row->addWidget(b);
    row->addStretch();
    for (QPushButton *b : trailing)
        row->addWidget(b);
    return row;
}

} // namespace Juanzong::CaseDialogParts
