// SPDX-License-Identifier: GPL-3.0-or-later
// Fills the tree control with the compiled-in catalogue in its start-up state.
#pragma once

namespace Juanzong {

class TreeView;

// Adds the rows in order and performs each row's start-up action right after
// adding it, before the next row: so "D10" is asked to open before its children exist.
void buildCatalogue(TreeView &tree);

} // namespace Juanzong
