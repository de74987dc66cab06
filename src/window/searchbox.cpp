#include "window/searchbox.h"

namespace Juanzong {

void SearchBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Let the line edit finish its own word selection first, then widen it.
    QLineEdit::mouseDoubleClickEvent(event);
    setSelection(0, int(text().size()));
}

} // namespace Juanzong
