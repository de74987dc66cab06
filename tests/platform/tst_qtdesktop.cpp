// SPDX-License-Identifier: GPL-3.0-or-later
// Where the save dialogs open: the user's documents folder, else home, never
// the folder the program happened to be started from.
#include "platform/qt/qtdesktop.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class QtDesktopTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void saveDialogs_openInDocumentsElseHome()
    {
        // The Word dialog where there is no documents folder, the PDF one where there is.
        for (const bool documentsExist : {false, true}) {
            QTemporaryDir home;
            qputenv("HOME", QFile::encodeName(home.path()));
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(u".config"_s)));
            if (documentsExist)
                QVERIFY(QDir(home.path()).mkdir(u"Documents"_s));
            QString opened;
            QTimer::singleShot(0, this, [&] {
                if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                    opened = dialog->directory().absolutePath();
                    dialog->reject();
                }
            });
            Juanzong::QtDesktop desktop;
            QVERIFY((documentsExist ? desktop.askPdfFile(u"起诉状.pdf"_s) : desktop.askDocxFile(u"起诉状.docx"_s)).isEmpty());
            QCOMPARE(opened, QDir(home.path()).absolutePath() + (documentsExist ? u"/Documents"_s : QString()));
        }
    }
};

QTEST_MAIN(QtDesktopTest)

#include "tst_qtdesktop.moc"
