// SPDX-License-Identifier: GPL-3.0-or-later
#include "caseui/caseui.h"

#include "casefile/casematch.h"
#include "caseui/casebatchdialog.h"
#include "caseui/casesheetdialog.h"
#include "fulltext/fulltextservice.h"
#include "platform/htmlview.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace Juanzong::CaseUi {

namespace {

// The one sheet of this run, made when first asked for.
QPointer<CaseSheetDialog> sheetDialog;
QPointer<CaseBatchDialog> batchDialog;

const QString FromCase = u"来自案件信息"_s;

void raise(QWidget *dialog)
{
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

CaseSheetDialog *sheetOf(QWidget *window, const std::function<QString()> &programDirectory,
                         const QPointer<FullTextService> &fullText)
{
    if (!sheetDialog) {
        sheetDialog = new CaseSheetDialog(window);
        QObject::connect(sheetDialog, &CaseSheetDialog::batchRequested, window, [window, programDirectory, fullText] {
            if (!batchDialog) {
                batchDialog = new CaseBatchDialog([] { return sheetDialog ? sheetDialog->sheet() : CaseSheet(); },
                                                  programDirectory(), window);
                batchDialog->setFullTextService(fullText);
            }
            raise(batchDialog);
        });
    }
    return sheetDialog;
}

void mark(QLineEdit *edit, const QString &value)
{
    edit->setText(value);
    Q_EMIT edit->textEdited(value);
    edit->setToolTip(FromCase);
    QLabel *label = nullptr;
    if (auto *box = qobject_cast<QVBoxLayout *>(edit->parentWidget()->layout())) {
        label = new QLabel(FromCase, edit->parentWidget());
        label->setObjectName(edit->objectName() + u"FromCase");
        label->setTextFormat(Qt::PlainText);
        label->setStyleSheet(u"color: #1a5fb4; font-size: small;"_s);
        box->insertWidget(box->indexOf(edit) + 1, label);
    }
    // Typed over, the value is the user's own for this document.
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, label] {
        edit->setToolTip(QString());
        if (label)
            label->hide();
    }, Qt::SingleShotConnection);
}

} // namespace

void install(QWidget *window, HtmlView *html, std::function<QString()> programDirectory, FullTextService *fullText)
{
    const QPointer<FullTextService> index(fullText);
    auto *sheetAction = new QAction(u"案件信息…"_s, window);
    sheetAction->setObjectName(u"CaseSheetAction"_s);
    sheetAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    sheetAction->setShortcutContext(Qt::WindowShortcut);
    window->addAction(sheetAction);
    QObject::connect(sheetAction, &QAction::triggered, window,
                     [window, programDirectory, index] { raise(sheetOf(window, programDirectory, index)); });
    if (!html)
        return;
    auto *batchAction = new QAction(u"批量生成文书…"_s, window);
    batchAction->setObjectName(u"CaseBatchAction"_s);
    QObject::connect(batchAction, &QAction::triggered, window,
                     [window, programDirectory, index] {
                         Q_EMIT sheetOf(window, programDirectory, index)->batchRequested();
                     });
    html->addContextActions([sheetAction, batchAction](QPointF, const QString &) {
        return QList<QAction *>{sheetAction, batchAction};
    });
}

void offerCaseValues(QWidget *fillPanel, const FillIn &fillIn)
{
    if (!sheetDialog || sheetDialog->sheet() == CaseSheet())
        return;
    const QList<CaseMatch> matches = matchCase(fillIn, sheetDialog->sheet());
    const QList<PlaceholderGroup> &groups = fillIn.groups();
    for (int g = 0; g < groups.size(); ++g) {
        const QList<int> &blanks = groups.at(g).occurrences;
        auto *group = fillPanel->findChild<QLineEdit *>(u"FillGroup"_s + QString::number(g));
        const QString first = matches.value(blanks.constFirst()).value;
        const bool same = std::all_of(blanks.begin(), blanks.end(),
                                      [&](int b) { return matches.value(b).value == first; });
        if (group && group->isEnabled() && same && !first.isEmpty()) {
            mark(group, first);
            continue;
        }
        // Different values for one group's blanks ("原告×××" once per plaintiff): place by place.
        const bool any = std::any_of(blanks.begin(), blanks.end(), [&](int b) { return !matches.value(b).value.isEmpty(); });
        auto *separately = fillPanel->findChild<QCheckBox *>(u"FillSeparately"_s + QString::number(g));
        if (any && separately)
            separately->setChecked(true);
        for (int blank : blanks) {
            auto *edit = fillPanel->findChild<QLineEdit *>(u"FillBlank"_s + QString::number(blank));
            if (edit && !matches.value(blank).value.isEmpty())
                mark(edit, matches.value(blank).value);
        }
    }
}

} // namespace Juanzong::CaseUi
