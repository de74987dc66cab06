// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader is told the program's own widgets are, where Qt's
// default would mislead it.
#pragma once

namespace Juanzong {

// Once per process, before the window's accessibility is first asked for:
// the main window is a frame (Qt calls a plain top-level widget a filler), the
// find bar a tool bar, and the application lists only the windows that are
// shown: the web view renders through a never-shown helper window that Qt would
// otherwise list as a second, empty frame named "Offscreen".
void installAccessibleRoles();

} // namespace Juanzong
