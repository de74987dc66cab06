// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/pageaccessibility.h"

#include <QByteArrayList>
#include <QtGlobal>

namespace Juanzong::PageAccessibility {

std::optional<QByteArray> followSetting(const Environment &environment)
{
    if (environment(FollowVariable))
        return std::nullopt;
    if (const auto flags = environment(EngineFlagsVariable)) {
        // Whole words only: the flag's name is a prefix of others.
        const QByteArrayList words = flags->simplified().split(' ');
        if (words.contains("--disable-renderer-accessibility"))
            return std::nullopt;
    }
    return QByteArray("1");
}

void prepare()
{
    const auto value = followSetting([](const char *name) -> std::optional<QByteArray> {
        if (!qEnvironmentVariableIsSet(name))
            return std::nullopt;
        return qgetenv(name);
    });
    if (value)
        qputenv(FollowVariable, *value);
}

} // namespace Juanzong::PageAccessibility
