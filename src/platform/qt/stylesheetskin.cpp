// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/stylesheetskin.h"

#include "platform/qt/logging.h"

#include <QApplication>
#include <QFile>

namespace Juanzong {

void StyleSheetSkin::attachEx(const QString &skinFile)
{
    QFile file(skinFile);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text))
        qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
    else
        qCWarning(lcPlatform) << "skin not applied:" << skinFile << file.errorString();
}

} // namespace Juanzong
