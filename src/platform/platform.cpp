// SPDX-License-Identifier: GPL-3.0-or-later
// Gives the interfaces with signals a home for their generated code.
#include "platform/htmlview.h"
#include "platform/treeview.h"
