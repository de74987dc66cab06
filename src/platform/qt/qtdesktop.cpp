// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qtdesktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QSettings>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace Juanzong {

namespace {
bool readNothing(QIODevice &, QSettings::SettingsMap &)
{
    return true;
}

// Failing makes the settings object drop what it was about to store.
bool writeNothing(QIODevice &, const QSettings::SettingsMap &)
{
    return false;
}

// The user's documents folder, or the home folder where there is none: a
// file dialog given a folder that does not exist opens in the current one,
// wherever the program was started from.
QString saveFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}
} // namespace

void QtDesktop::keepNoSettings()
{
    // The file dialog stores its folders through QSettings(UserScope,
    // "QtProject"), in the native format. Every format is sent to a path under
    // a file that cannot be a folder: nothing there is read, and as the folder
    // cannot be made, no settings file or lock file is ever written. What asks
    // for the default format gets one that keeps nothing besides.
    const QSettings::Format none = QSettings::registerFormat(QStringLiteral("none"), readNothing, writeNothing);
    if (none != QSettings::InvalidFormat)
        QSettings::setDefaultFormat(none);
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat, none}) {
        if (format == QSettings::InvalidFormat)
            continue;
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, QStringLiteral("/dev/null/juanzong"));
    }
}

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
