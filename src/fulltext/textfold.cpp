// SPDX-License-Identifier: GPL-3.0-or-later
#include "fulltext/textfold.h"

#include <array>
#include <memory>

namespace Juanzong::TextFold {

namespace {

using Table = std::array<char16_t, 0x10000>;

std::unique_ptr<Table> makeTable()
{
    auto table = std::make_unique<Table>();
    for (int c = 0; c < 0x10000; ++c) {
        char16_t folded = char16_t(c);
        // CJK ideographs and Hangul are their own fold: spare them the normaliser.
        const bool plain = (c >= 0x3400 && c < 0xA000) || (c >= 0xAC00 && c < 0xD800);
        if (!plain && !QChar::isSurrogate(char32_t(c))) {
            const QString one = QString(QChar(char16_t(c))).normalized(QString::NormalizationForm_KC).toCaseFolded();
            if (one.size() == 1)
                folded = one.front().unicode();
            else {
                // A character whose compatibility form is longer still folds its case.
                const QString cased = QString(QChar(char16_t(c))).toCaseFolded();
                if (cased.size() == 1)
                    folded = cased.front().unicode();
            }
        }
        (*table)[c] = folded;
    }
    return table;
}

const Table &table()
{
    static const std::unique_ptr<Table> instance = makeTable();
    return *instance;
}

} // namespace

char16_t fold(char16_t c)
{
    return table()[c];
}

QString fold(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    const Table &t = table();
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    for (QChar c : text)
        *d++ = t[c.unicode()];
    return out;
}

void foldInPlace(QString &text)
{
    const Table &t = table();
    for (QChar &c : text)
        c = QChar(t[c.unicode()]);
}

} // namespace Juanzong::TextFold
