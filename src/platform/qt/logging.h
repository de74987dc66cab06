// SPDX-License-Identifier: GPL-3.0-or-later
// What went wrong in the view and the desktop adapters that the user is not
// told of: off unless asked for (QT_LOGGING_RULES="juanzong.platform.warning=true").
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
