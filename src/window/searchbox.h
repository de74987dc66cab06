// The search box: a double-click selects the whole keyword, ready to be typed over.
#pragma once

#include <QLineEdit>

namespace Juanzong {

class SearchBox final : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

} // namespace Juanzong
