// SPDX-License-Identifier: GPL-3.0-or-later
// The compiled-in table of contents: 102 nodes, their labels and the pages they open.
#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <span>

namespace Juanzong {

namespace Catalogue {

// What the tree does with a node right after adding it while the catalogue is built.
enum class StartupAction {
    None,
    MakeVisible, // open every ancestor and scroll the node into view
    Expand,      // show the node open (asked of "D10" before its children exist)
};

struct Row {
    QStringView parentKey; // empty for a top-level node
    QStringView key;
    QStringView label;
    StartupAction action = StartupAction::None;
};

// The rows in the order they are added to the tree. Leaf keys are page names,
// not ranks: their numbers are neither contiguous nor in tree order.
std::span<const Row> rows();

// The eleven grouping nodes; exactly these have children and no page.
inline constexpr std::array<QStringView, 11> CategoryKeys = {
    u"X1", u"X2", u"C1", u"C2", u"D5", u"D10", u"D17", u"D18", u"D21", u"D22", u"D39",
};

bool isCategory(QStringView key);

// The page a node opens: none for a category key (exact, case-sensitive),
// otherwise ContentRoot + key + ".html" whether or not that file exists.
std::optional<QString> pageOf(const QString &programDir, const QString &key);

// The catalogue's label of a key, or an empty string for an unknown key.
QString labelOf(QStringView key);

// The node whose page a file is: the file must lie directly in ContentRoot and
// be named after a catalogue leaf. None for any other file, so that the result
// page, the About page or a page outside the folder leave the tree as it is.
std::optional<QString> keyOfPage(const QString &programDir, const QString &path);

} // namespace Catalogue
} // namespace Juanzong
