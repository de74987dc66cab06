// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/gbkcodec.h"

#include <QList>
#include <QStringDecoder>

namespace Juanzong {

namespace {
// Names under which Qt's converters know code page 936, tried in order.
constexpr const char *CodecNames[] = {"GBK", "windows-936", "CP936"};

// A mapping the byte grouping can trust: never ASCII (a pair that decoded to `"`
// or `>` would break splitting raw bytes), never a surrogate or a substitute.
bool usable(QStringView decoded)
{
    if (decoded.size() != 1)
        return false;
    const char16_t c = decoded.front().unicode();
    return c >= 0x80 && c != 0xFFFD && !QChar::isSurrogate(c);
}

// Lead bytes 0x81 to 0xFE, trail bytes 0x40 to 0xFE but 0x7F.
constexpr int PairCount = 126 * 190;

template<typename Visit>
void forEachPair(Visit visit)
{
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail != 0x7F)
                visit(lead, trail);
        }
    }
}

QStringDecoder codePage936()
{
    for (const char *name : CodecNames) {
        QStringDecoder decoder(name);
        if (decoder.isValid())
            return decoder;
    }
    return {};
}
} // namespace

const GbkCodec *GbkCodec::system()
{
    static const GbkCodec *const codec = [] {
        static GbkCodec instance;
        return instance.load() ? &instance : nullptr;
    }();
    return codec;
}

bool GbkCodec::load()
{
    QStringDecoder decoder = codePage936();
    if (!decoder.isValid())
        return false;

    m_pair.assign(PairCount, 0);
    m_bytesOf.assign(0x10000, 0);
    m_forms.assign(0x10000, 0);
    for (int b = 0; b < 0x80; ++b) {
        m_single[b] = char16_t(b);
        m_forms[b] = 1;
    }
    loadSingles(decoder);
    if (!loadPairs(decoder))
        return false;
    m_canonical.assign(m_pair.size(), 0);
    forEachPair([this](int lead, int trail) {
        const int index = pairIndex(uint8_t(lead), uint8_t(trail));
        m_canonical[index] = m_pair[index] != 0 && m_bytesOf[m_pair[index]] == (lead << 8 | trail);
    });
    return true;
}

void GbkCodec::record(char16_t c, uint16_t bytes)
{
    if (m_forms[c] == 0)
        m_bytesOf[c] = bytes;
    if (m_forms[c] < 2)
        ++m_forms[c];
}

void GbkCodec::loadSingles(QStringDecoder &decoder)
{
    for (int b = 0x80; b < 0x100; ++b) {
        m_single[b] = Replacement;
        if (isLead(uint8_t(b)))
            continue;
        const char bytes[] = {char(b)};
        const QString decoded = decoder.decode(QByteArrayView(bytes, 1));
        decoder.resetState();
        if (usable(decoded)) {
            m_single[b] = decoded.front().unicode();
            record(m_single[b], uint16_t(b));
        }
    }
}

bool GbkCodec::loadPairs(QStringDecoder &decoder)
{
    // Every pair followed by a line feed, decoded in one go: a line feed is never
    // a trail byte, so each pair's result lies between two of them.
    QByteArray all;
    all.reserve(PairCount * 3);
    forEachPair([&all](int lead, int trail) { all.append(char(lead)).append(char(trail)).append('\n'); });
    const QString decoded = decoder.decode(all);
    const QList<QStringView> pieces = QStringView(decoded).split(u'\n');
    if (pieces.size() != PairCount + 1)
        return false;
    int i = 0;
    forEachPair([&](int lead, int trail) {
        if (usable(pieces[i])) {
            const char16_t c = pieces[i].front().unicode();
            m_pair[pairIndex(uint8_t(lead), uint8_t(trail))] = c;
            record(c, uint16_t(lead << 8 | trail));
        }
        ++i;
    });
    return true;
}

QString GbkCodec::decode(QByteArrayView bytes) const
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    char16_t *const start = out;
    const auto *p = reinterpret_cast<const uint8_t *>(bytes.data());
    const uint8_t *const end = p + bytes.size();
    while (p != end) {
        if (*p < 0x80) {
            *out++ = *p++;
            continue;
        }
        const int length = charLength(p, end);
        *out++ = charAt(p, length);
        p += length;
    }
    text.truncate(out - start);
    return text;
}

void GbkCodec::appendHtml(QByteArray &out, QStringView text) const
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out.append(char(c));
            continue;
        }
        if (const uint16_t bytes = m_bytesOf[c]) {
            if (bytes > 0xFF)
                out.append(char(bytes >> 8));
            out.append(char(bytes & 0xFF));
            continue;
        }
        char32_t codePoint = c;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            codePoint = QChar::surrogateToUcs4(c, text[++i].unicode());
        else if (QChar::isSurrogate(c))
            codePoint = 0xFFFD; // a lone half of a pair names no character
        out.append("&#").append(QByteArray::number(uint(codePoint))).append(';');
    }
}

char *GbkCodec::writeHtml(char *out, char16_t c) const
{
    if (c < 0x80) {
        *out++ = char(c);
    } else if (const uint16_t bytes = m_bytesOf[c]) {
        if (bytes > 0xFF)
            *out++ = char(bytes >> 8);
        *out++ = char(bytes & 0xFF);
    } else {
        *out++ = '&';
        *out++ = '#';
        char digits[5];
        int n = 0;
        for (unsigned v = c; v != 0; v /= 10)
            digits[n++] = char('0' + v % 10);
        while (n > 0)
            *out++ = digits[--n];
        *out++ = ';';
    }
    return out;
}

GbkCodec::KeywordBytes GbkCodec::keywordBytes(QStringView text, QByteArray *bytes) const
{
    bytes->clear();
    bool ambiguous = false;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80) {
            bytes->append(char(c));
        } else if (c == Replacement || m_forms[c] > 1) {
            ambiguous = true;
        } else if (m_forms[c] == 0) {
            return KeywordBytes::Never;
        } else {
            const uint16_t form = m_bytesOf[c];
            if (form > 0xFF)
                bytes->append(char(form >> 8));
            bytes->append(char(form & 0xFF));
        }
    }
    return ambiguous ? KeywordBytes::Ambiguous : KeywordBytes::Exact;
}

} // namespace Juanzong
