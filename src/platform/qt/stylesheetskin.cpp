// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/stylesheetskin.h"

#include <QApplication>
#include <QFile>

namespace Juanzong {

int StyleSheetSkin::attachEx(const QString &skinFile, const QString &)
{
    QFile file(skinFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
    return 1;
}

} // namespace Juanzong
