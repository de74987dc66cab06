// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qtmessagebox.h"

#include <QMessageBox>

namespace Juanzong {

void QtMessageBox::show(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, m_parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.exec();
}

} // namespace Juanzong
