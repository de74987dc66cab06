// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qtdesktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <QUrl>

namespace Juanzong {

void QtDesktop::openExternally(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

QString QtDesktop::askPdfFile(const QString &suggestedName)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QFileDialog dialog(m_parent, QStringLiteral("另存为PDF"), QDir(folder).filePath(suggestedName),
                       QStringLiteral("PDF 文件 (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The suffix is added before the dialog asks about replacing a file, not after.
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtDesktop::askDocxFile(const QString &suggestedPath)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QFileDialog dialog(m_parent, QStringLiteral("另存为 Word 文档"), QDir(folder).filePath(suggestedPath),
                       QStringLiteral("Word 文档 (*.docx)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("docx"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace Juanzong
