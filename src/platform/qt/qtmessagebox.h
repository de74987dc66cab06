// SPDX-License-Identifier: GPL-3.0-or-later
// Message boxes as modal QMessageBoxes with an OK button only.
#pragma once

#include "platform/messagebox.h"

#include <QPointer>
#include <QWidget>

namespace Juanzong {

class QtMessageBox final : public MessageBox
{
public:
    void setParentWindow(QWidget *window) { m_parent = window; }
    void show(const QString &text, const QString &title) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace Juanzong
