// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces the case's dialogs are built of: named buttons that never take
// Enter from a field, and rows of them.
#pragma once

#include <QList>
#include <QString>

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace Juanzong::CaseDialogParts {

// A push button with its object name, which tests and screen readers go by.
QPushButton *button(QWidget *parent, const char *name, const QString &caption);

// The buttons from the left, then the rest of the row empty, then those of trailing.
QHBoxLayout *buttonRow(const QList<QPushButton *> &leading, const QList<QPushButton *> &trailing = {});

} // namespace Juanzong::CaseDialogParts
