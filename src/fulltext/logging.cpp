// SPDX-License-Identifier: GPL-3.0-or-later
#include "fulltext/logging.h"

Q_LOGGING_CATEGORY(lcFullText, "juanzong.fulltext", QtCriticalMsg)
