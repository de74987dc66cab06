// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop through Qt: the system's handlers for links, a save dialog for PDFs.
#pragma once

#include "platform/desktop.h"

#include <QPointer>
#include <QWidget>

namespace Juanzong {

class QtDesktop final : public Desktop
{
public:
    // Keeps Qt's own settings (the file dialog's folders and view) from being
    // read or written anywhere: the program keeps no settings. Call it once,
    // before the first dialog.
    static void keepNoSettings();

    void setParentWindow(QWidget *window) { m_parent = window; }
    void openExternally(const QUrl &url) override;
    QString askPdfFile(const QString &suggestedName) override;
    QString askDocxFile(const QString &suggestedPath) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace Juanzong
