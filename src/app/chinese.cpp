// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/chinese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace Juanzong {

bool loadChineseTranslations(QCoreApplication &app)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    bool all = true;
    for (const char *catalogue : {"qtbase_zh_CN", "qtwebengine_zh_CN"}) {
        auto *translator = new QTranslator(&app);
        if (translator->load(QLatin1StringView(catalogue), folder)) {
            QCoreApplication::installTranslator(translator);
        } else {
            delete translator;
            all = false;
        }
    }
    return all;
}

} // namespace Juanzong
