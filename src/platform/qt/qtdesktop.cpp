// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qtdesktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace Juanzong {

namespace {

// The user's documents folder, or the home folder where there is none: a
// file dialog given a folder that does not exist opens in the current one,
// wherever the program was started from.
QString saveFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

void QtDesktop::openExternally(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

QString QtDesktop::askPdfFile(const QString &suggestedName)
{
    const QString folder = saveFolder();
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
    const QString folder = saveFolder();
    QFileDialog dialog(m_parent, QStringLiteral("另存为 Word 文档"), QDir(folder).filePath(suggestedPath),
                       QStringLiteral("Word 文档 (*.docx)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("docx"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace Juanzong
