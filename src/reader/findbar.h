// SPDX-License-Identifier: GPL-3.0-or-later
// Find in page: a small bar that floats over the bottom edge of the page view.
#pragma once

#include <QFrame>

class QLabel;
class QLineEdit;
class QToolButton;

namespace Juanzong {

class FindBar final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FindBar)
public:
    explicit FindBar(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    // Shows the bar with its text selected, ready to be typed over.
    void open();
    // "active/total"; nothing while the text is empty.
    void showResult(int active, int total);
    void clearResult();
    // Sits on the bottom edge of area (the parent's coordinates), right-aligned,
    // clear of the page's vertical scroll bar.
    void placeOver(const QRect &area);

Q_SIGNALS:
    // The text changed or the user asked for the next / previous match.
    void findRequested(const QString &text, bool backward);
    // Closed by the user, told just before the bar hides: the page's highlights
    // should go and the page take the focus back.
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void dismiss();

    QLineEdit *m_edit = nullptr;
    QLabel *m_count = nullptr;
    QToolButton *m_previous = nullptr;
    QToolButton *m_next = nullptr;
    QToolButton *m_close = nullptr;
};

} // namespace Juanzong
