// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the pages in the view reach a screen reader.
//
// The page's own accessibility tree is costly to build, so Qt WebEngine on
// Linux builds it only when asked to follow Qt's accessibility. Qt's bridge
// turns active when the desktop's accessibility bus says an assistive
// technology is listening (org.a11y.Status IsEnabled or ScreenReaderEnabled)
// or when QT_LINUX_ACCESSIBILITY_ALWAYS_ON is set; the pages then follow, and
// without one nothing is built. The bridge is also the only way a page reaches
// a screen reader, so following it is exactly enough.
#pragma once

#include <QByteArray>

#include <functional>
#include <optional>

namespace Juanzong::PageAccessibility {

// Qt WebEngine reads it once, when its first view or profile is made.
inline constexpr char FollowVariable[] = "QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY";
inline constexpr char EngineFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";

// Looks an environment variable up; empty when it is not set.
using Environment = std::function<std::optional<QByteArray>(const char *name)>;

// The value FollowVariable should be given, or nothing when the user's own
// setting stands: a value of FollowVariable, or the engine flag that turns the
// pages' accessibility off.
std::optional<QByteArray> followSetting(const Environment &environment);

// Applies followSetting to this process; call before the first web view exists.
void prepare();

} // namespace Juanzong::PageAccessibility
