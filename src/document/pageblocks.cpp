// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/pageblocks.h"

#include <algorithm>
#include <bitset>
#include <optional>

namespace Juanzong {

namespace {

using Role = Paragraph::Role;

// ----------------------------------------------------------------- the cues
//
// Every word the rule looks for is in one of the tables below.

// A web site's furniture, found in the line's text wherever the source could
// not tell it apart: copyright lines, navigation, print and close buttons. Only
// lines up to ChromeLongest characters are taken for it, so that a document
// quoting one of these words stays whole.
struct ChromeCue
{
    QStringView text;
    bool atStart; // only where the line begins with it ("首页 > 通知公告")
};
constexpr ChromeCue ChromeCues[] = {
    {u"版权所有", false},   {u"ICP备", false},        {u"ICP证", false},       {u"公网安备", false},
    {u"打印本页", false},   {u"关闭窗口", false},     {u"【打印】", false},    {u"【关闭】", false},
    {u"返回顶部", false},   {u"返回本页目录", false}, {u"当前位置", false},    {u"您现在的位置", false},
    {u"您的位置", false},   {u"浏览次数", false},     {u"点击次数", false},    {u"访问量", false},
    {u"技术支持", false},   {u"主办单位", false},     {u"网站地图", false},    {u"联系我们", false},
    {u"分享到", false},     {u"上一篇", false},       {u"下一篇", false},      {u"【字体", false},
    {u"首页", true},        {u"发布时间", true},      {u"来源：", true},
};
constexpr qsizetype ChromeLongest = 120;

// A label names the model document that follows: "样式一", "范本二　民事判决书".
constexpr QStringView LabelWords[] = {u"文书样式", u"样式", u"范本", u"格式", u"示范文本"};
constexpr qsizetype LabelLongest = 40;
// "（一）" at the start of a short line is a label only where a title follows
// it: inside a document it numbers a section.
constexpr QStringView Numerals = u"一二三四五六七八九十百零〇两0123456789０１２３４５６７８９";
constexpr QStringView LabelSeparators = u" 　：:、．.-—";

// The notes after a document: the line starts with one of these words, and
// nothing but a colon or a closing bracket follows it ("说　明", "【说明】",
// "说明：1．本样式…"). Spaces inside the word do not count.
constexpr QStringView NoteWords[] = {
    u"样式的制作依据与使用说明", u"制作依据与使用说明", u"制作说明", u"使用说明", u"填写说明",
    u"说明", u"附注", u"注释", u"注意事项", u"注",
};
constexpr QStringView NoteOpenings = u"【［[〔";
constexpr QStringView NoteFollowers = u"】］]〕：:";

// The officers who sign a court's document: a short line that starts with one
// is a signature wherever the page puts it.
constexpr QStringView SignWords[] = {u"审判长", u"代理审判员", u"审判员", u"人民陪审员", u"书记员",
                                     u"法官助理", u"执行员", u"速录员"};
constexpr qsizetype SignLongest = 16;

constexpr QStringView CourtEnding = u"法院";
// Titles are short; a longer centred or bold line is text.
constexpr qsizetype TitleLongest = 30;
// An addressee ("××××人民法院：", "此致") is a short line without indent.
constexpr qsizetype PlainLongest = 30;
constexpr qsizetype HeadingLongest = 40;
constexpr qsizetype TitleLines = 3; // court, document type, case number
// Larger than the page's body text by this much reads as a title.
constexpr double LargeFactor = 1.15;
// A line that starts this far right (in em of the body size) stands where a
// right-aligned one would: the signature block of a page that sets it with
// margins or full-width spaces instead of alignment.
constexpr double PushedRightEm = 12;
constexpr int PushedRightSpaces = 6;
constexpr double IndentedPx = 4;

constexpr QChar Ideographic = u'\u3000';
constexpr QChar NoBreak = u'\u00A0';

bool isSpace(QChar c)
{
    return c == Ideographic || c == NoBreak || c == u' ' || c == u'\t' || c == u'\r' || c == u'\f';
}

// The text without any space: titles are often spread out ("民　事　判　决　书").
QString despaced(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (!isSpace(c))
            out.append(c);
    return out;
}

// Most lines have no space inside: those are shared, not copied.
QString despaced(const QString &text)
{
    if (std::none_of(text.cbegin(), text.cend(), isSpace))
        return text;
    return despaced(QStringView(text));
}

// every line of every page is asked, the index's build waits for it.
bool isChromeText(QStringView text)
{
    if (text.size() > ChromeLongest)
        return false;
    // The cues are written with capital letters where they have any.
    const auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; };
    static const std::bitset<0x10000> firsts = [] {
        std::bitset<0x10000> out;
        for (const ChromeCue &cue : ChromeCues)
            out.set(cue.text.front().unicode());
        return out;
    }();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = upper(text.at(i).unicode());
        if (!firsts.test(c))
            continue;
        for (const ChromeCue &cue : ChromeCues) {
            if (cue.text.front().unicode() != c || (cue.atStart && i > 0))
                continue;
            if (text.sliced(i).startsWith(cue.text, Qt::CaseInsensitive))
                return true;
        }
    }
    return false;
}

// Whether text starts with a number ("一", "12") and how long it is.
qsizetype numeralLength(QStringView text)
{
    qsizetype n = 0;
    while (n < text.size() && Numerals.contains(text.at(n)))
        ++n;
    return n;
}

bool isWordLabel(QStringView text)
{
    if (text.size() > LabelLongest)
        return false;
    for (QStringView word : LabelWords) {
        if (!text.startsWith(word))
            continue;
        const QStringView rest = text.sliced(word.size());
        const qsizetype digits = numeralLength(rest);
        if (digits > 0 && (rest.size() == digits || LabelSeparators.contains(rest.at(digits))))
            return true;
    }
    return false;
}

// A label that names no document ("样式二", "范本一：", "（三）"): the heading
// then takes the document's type from its titles, or every page would offer
// the same few names.
bool isBareLabel(QStringView text)
{
    text = text.trimmed();
    qsizetype rest = -1;
    for (QStringView word : LabelWords)
        if (text.startsWith(word) && numeralLength(text.sliced(word.size())) > 0)
            rest = word.size() + numeralLength(text.sliced(word.size()));
    if (rest < 0 && (text.startsWith(u'（') || text.startsWith(u'(')) && numeralLength(text.sliced(1)) > 0) {
        rest = 1 + numeralLength(text.sliced(1));
        if (rest >= text.size() || !QStringView(u"）)").contains(text.at(rest)))
            return false;
        ++rest;
    }
    if (rest < 0)
        return false;
    for (QChar c : text.sliced(rest))
        if (!LabelSeparators.contains(c))
            return false;
    return true;
}

bool isBracketLabel(QStringView text)
{
    if (text.size() > LabelLongest || !(text.startsWith(u'（') || text.startsWith(u'(')))
        return false;
    const qsizetype digits = numeralLength(text.sliced(1));
    return digits > 0 && digits + 1 < text.size() && QStringView(u"）)").contains(text.at(digits + 1));
}

bool isNotes(QStringView text)
{
    // Most lines start with none of the words' characters: those are answered at once.
    const QChar first = text.isEmpty() ? QChar() : text.front();
    if (!NoteOpenings.contains(first)
        && std::none_of(std::begin(NoteWords), std::end(NoteWords), [first](QStringView w) { return w.front() == first; }))
        return false;
    QString start = despaced(text.first(std::min<qsizetype>(text.size(), 24)));
    while (!start.isEmpty() && NoteOpenings.contains(start.front()))
        start.remove(0, 1);
    for (QStringView word : NoteWords) {
        if (!start.startsWith(word))
            continue;
        const QStringView rest = QStringView(start).sliced(word.size());
        // Only a whole short line may end right after the word: "注" alone, not "注意".
        if (rest.isEmpty() ? despaced(text).size() == word.size() : NoteFollowers.contains(rest.front()))
            return true;
    }
    return false;
}

// "（××××）……民初……号", "(2024)京01民初1号"
// "审判长　×××", not the "审判长：现在开庭。" of a record.
bool isSignature(QStringView text)
{
    if (text.size() > SignLongest)
        return false;
    for (QStringView word : SignWords) {
        if (!text.startsWith(word))
            continue;
        const QStringView name = text.sliced(word.size()).trimmed();
        return !name.isEmpty() && name.size() < text.size() - word.size()
            && std::none_of(name.cbegin(), name.cend(), [](QChar c) { return QStringView(u"：:，,。；;").contains(c); });
    }
    return false;
}

bool isCaseNumber(QStringView text)
{
    if (text.size() > 40 || !(text.startsWith(u'（') || text.startsWith(u'(')) || !text.endsWith(u'号'))
        return false;
    const qsizetype close = std::max(text.indexOf(u'）'), text.indexOf(u')'));
    return close > 1 && close <= 8;
}

// "二〇××年××月××日", "2024年1月5日"
bool isDate(QStringView text)
{
    return text.size() <= 16 && text.endsWith(u'日') && text.contains(u'年') && text.contains(u'月');
}

// A bracket line of its own, other than a case number or a writing hint:
// the use of the document whose type stands next to it ("（准许撤诉用）").
bool isUseLine(QStringView text)
{
    return text.size() <= TitleLongest && (text.startsWith(u'（') || text.startsWith(u'('))
        && (text.endsWith(u'）') || text.endsWith(u')')) && !text.endsWith(u"号）") && !text.contains(u"写明")
        && text.sliced(1, text.size() - 2).indexOf(u'（') < 0;
}

// ----------------------------------------------------------------- lines

// One line of a block as the rule sees it: its text without the spaces before
// it and after it, and the look of its block.
struct Line
{
    int block = 0;
    int start = 0;
    QString text;      // as the page has it, for the paragraph
    QString bare;      // without any space, for the cues
    int ownIndent = 0; // full-width spaces before the text
    const PageBlock *look = nullptr;
    bool table = false;
    bool chrome = false;
};

QList<Line> linesOf(const QList<PageBlock> &blocks)
{
    QList<Line> lines;
    lines.reserve(blocks.size() + blocks.size() / 2);
    for (int b = 0; b < blocks.size(); ++b) {
        const PageBlock &block = blocks.at(b);
        if (!block.rows.isEmpty()) {
            lines.append({b, 0, {}, {}, 0, &block, true, block.chrome});
            continue;
        }
        const QString &text = block.text;
        qsizetype from = 0;
        while (from <= text.size()) {
            qsizetype end = text.indexOf(u'\n', from);
            if (end < 0)
                end = text.size();
            qsizetype start = from;
            double indent = 0;
            while (start < end && isSpace(text.at(start))) {
                // Two narrow spaces take the room of one full-width space.
                indent += text.at(start) == Ideographic ? 1 : 0.5;
                ++start;
            }
            qsizetype stop = end;
            while (stop > start && isSpace(text.at(stop - 1)))
                --stop;
            if (stop > start) {
                Line line{b, int(start), text.mid(start, stop - start), {}, int(indent), &block, false, block.chrome};
                line.bare = despaced(line.text);
                line.chrome = line.chrome || isChromeText(line.bare);
                lines.append(std::move(line));
            }
            from = end + 1;
        }
    }
    return lines;
}

// The size the page's running text is set in: the one most characters have.
// Text whose size the source does not say counts as one size of its own,
// the browser's default where it is the most.
double bodySizeOf(const QList<Line> &lines)
{
    constexpr double DefaultSize = 16;
    QList<std::pair<double, qsizetype>> sizes;
    for (const Line &line : lines) {
        if (line.chrome)
            continue;
        auto it = std::find_if(sizes.begin(), sizes.end(), [&](const auto &s) { return s.first == line.look->fontSize; });
        if (it == sizes.end())
            sizes.append({line.look->fontSize, line.bare.size()});
        else
            it->second += line.bare.size();
    }
    const auto most = std::max_element(sizes.cbegin(), sizes.cend(),
                                       [](const auto &a, const auto &b) { return a.second < b.second; });
    return most == sizes.cend() || most->first <= 0 ? DefaultSize : most->first;
}

class Reader
{
public:
    explicit Reader(const QList<PageBlock> &blocks)
        : m_lines(linesOf(blocks))
        , m_bodySize(bodySizeOf(m_lines))
    {
    }

    QList<FoundDocument> run();

private:
    bool isLarge(const Line &line) const { return line.look->fontSize > m_bodySize * LargeFactor; }
    bool isPushedRight(const Line &line) const
    {
        if (line.look->align == PageBlock::Align::End || line.ownIndent >= PushedRightSpaces)
            return true;
        const double em = line.look->fontSize > 0 ? line.look->fontSize : m_bodySize;
        return line.look->align != PageBlock::Align::Center && line.look->indent >= PushedRightEm * em;
    }
    // Set apart as a title: centred, or bold or large where not pushed right.
    bool looksLikeTitle(const Line &line) const
    {
        return !line.table && line.bare.size() <= TitleLongest
            && (line.look->align == PageBlock::Align::Center
                || ((line.look->bold || isLarge(line)) && !isPushedRight(line)));
    }
    bool isCourtLine(const Line &line) const { return looksLikeTitle(line) && line.bare.endsWith(CourtEnding); }
    bool isDocTypeLine(const Line &line) const
    {
        return looksLikeTitle(line) && !line.bare.endsWith(CourtEnding) && !isCaseNumber(line.bare)
            && !isUseLine(line.bare) && !isLabel(line, -1);
    }
    // index is the line's own place, to look at what follows a "（一）"; -1 for none.
    bool isLabel(const Line &line, qsizetype index) const
    {
        if (line.table || line.chrome)
            return false;
        if (line.look->label || isWordLabel(line.text))
            return true;
        if (index < 0 || !isBracketLabel(line.bare))
            return false;
        const qsizetype next = nextContent(index);
        return next >= 0 && looksLikeTitle(m_lines.at(next)) && !isBracketLabel(m_lines.at(next).bare);
    }
    qsizetype nextContent(qsizetype index) const
    {
        for (qsizetype i = index + 1; i < m_lines.size(); ++i)
            if (!m_lines.at(i).chrome)
                return i;
        return -1;
    }
    qsizetype previousContent(qsizetype index) const
    {
        for (qsizetype i = index - 1; i >= 0; --i)
            if (!m_lines.at(i).chrome)
                return i;
        return -1;
    }

    bool underTitles() const
    {
        if (!m_current || m_current->document.paragraphs.isEmpty())
            return false;
        const QList<Paragraph> &ps = m_current->document.paragraphs;
        // No more lines than a court, a type and a number, and none of text,
        // however they are set apart: a title's look may be in a style sheet unread.
        return ps.size() <= TitleLines && std::none_of(ps.cbegin(), ps.cend(), [](const Paragraph &p) {
            return p.role == Role::Body || p.role == Role::Table || p.role == Role::Sign || p.role == Role::Date;
        });
    }
    Role roleOf(const Line &line, bool afterCourt, bool afterTitle, bool afterSign) const;
    void open(qsizetype at, bool labelled);
    void close();

    const QList<Line> m_lines;
    const double m_bodySize;
    QList<FoundDocument> m_found;
    std::optional<FoundDocument> m_current;
    bool m_labelled = false;
    qsizetype m_useBefore = -1; // a use line just before the court line that opened the document
    QString m_typeName; // a labelled document's type with its use, for a label that names none
    QStringList m_notes;
};

Role Reader::roleOf(const Line &line, bool afterCourt, bool afterTitle, bool afterSign) const
{
    if (line.table)
        return Role::Table;
    const PageBlock::Align align = line.look->align;
    // A case number is one wherever it stands under the titles.
    if (isCaseNumber(line.bare) && (align == PageBlock::Align::Center || isPushedRight(line) || afterTitle))
        return Role::CaseNo;
    if (isPushedRight(line))
        return isDate(line.bare) ? Role::Date : Role::Sign;
    if (isSignature(line.text))
        return Role::Sign;
    if (afterSign && isDate(line.bare))
        return Role::Date;
    // The court's name is a title however it is set apart; the document type
    // under it may be set apart by place alone.
    if (isCourtLine(line))
        return Role::Court;
    if (line.bare.size() <= TitleLongest && align == PageBlock::Align::Center
        && (line.look->bold || isLarge(line) || afterCourt))
        return Role::DocType;
    if (line.look->bold && line.bare.size() <= HeadingLongest)
        return Role::Heading;
    if (line.ownIndent == 0 && line.look->indent < IndentedPx && line.bare.size() <= PlainLongest
        && align != PageBlock::Align::Center)
        return Role::Plain;
    return Role::Body;
}

void Reader::open(qsizetype at, bool labelled)
{
    close();
    const Line &line = m_lines.at(at);
    FoundDocument found;
    found.firstBlock = line.block;
    found.firstOffset = line.start;
    found.endBlock = line.block + 1;
    found.anchor = line.start == 0 ? line.look->anchor : QString();
    if (labelled)
        found.heading = line.text;
    m_current = std::move(found);
    m_useBefore = -1;
    m_typeName.clear();
    m_labelled = labelled;
}

void Reader::close()
{
    if (!m_current)
        return;
    FoundDocument found = *std::exchange(m_current, std::nullopt);
    if (found.document.paragraphs.isEmpty())
        return;
    if (m_labelled && !m_typeName.isEmpty() && isBareLabel(found.heading))
        found.heading = found.heading.trimmed() + u'\u3000' + m_typeName;
    found.document.heading = found.heading;
    m_found.append(std::move(found));
}

QList<FoundDocument> Reader::run()
{
    QString docType; // the first title after the court line, for the heading
    bool useTaken = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line &line = m_lines.at(i);
        if (line.chrome)
            continue;
        if (isLabel(line, i)) {
            open(i, true);
            docType.clear();
            continue;
        }
        // Notes end a document, but a line of them right under its titles is
        // the form's own word to whoever fills it in ("说明：请在下列表格中填写…").
        if (!line.table && isNotes(line.text) && !underTitles()) {
            close();
            continue;
        }
        if (isCourtLine(line)) {
            const qsizetype next = nextContent(i);
            const bool starts = next >= 0 && isDocTypeLine(m_lines.at(next));
            const bool fresh = m_current && m_labelled
                && std::none_of(m_current->document.paragraphs.cbegin(), m_current->document.paragraphs.cend(),
                                [](const Paragraph &p) { return p.role == Role::Court || p.role == Role::DocType; });
            if (starts && !fresh) {
                open(i, false);
                docType.clear();
                m_useBefore = previousContent(i);
                if (m_useBefore >= 0 && !isUseLine(m_lines.at(m_useBefore).bare))
                    m_useBefore = -1;
            }
        }
        if (!m_current)
            continue;
        QList<Paragraph> &paragraphs = m_current->document.paragraphs;
        const bool afterCourt = !paragraphs.isEmpty() && paragraphs.constLast().role == Role::Court;
        const bool afterSign = !paragraphs.isEmpty() && paragraphs.constLast().role == Role::Sign;
        const bool afterTitle = !paragraphs.isEmpty()
            && (paragraphs.constLast().role == Role::Court || paragraphs.constLast().role == Role::DocType);
        // The use under the document type is part of its name, not of the document.
        if (!useTaken && !docType.isEmpty() && !paragraphs.isEmpty() && paragraphs.constLast().role == Role::DocType
            && isUseLine(line.bare)) {
            useTaken = true;
            const bool ownUse = docType.contains(u'（') || docType.contains(u'(');
            if (!m_labelled && !ownUse)
                m_current->heading = docType + line.bare;
            else if (m_labelled && !ownUse)
                m_typeName = docType + line.bare;
            continue;
        }
        Paragraph p;
        p.role = roleOf(line, afterCourt, afterTitle, afterSign);
        if (p.role == Role::Table)
            p.rows = line.look->rows;
        else
            p.text = line.text;
        p.indent = line.ownIndent;
        if (p.role == Role::DocType && docType.isEmpty()) {
            docType = line.bare;
            useTaken = false;
            if (m_labelled) {
                m_typeName = docType;
            } else {
                const bool ownUse = docType.contains(u'（') || docType.contains(u'(');
                m_current->heading = docType + (!ownUse && m_useBefore >= 0 ? m_lines.at(m_useBefore).bare : QString());
            }
        }
        m_current->sources.append({line.block, line.start, int(line.text.size())});
        m_current->endBlock = line.block + 1;
        paragraphs.append(std::move(p));
    }
    close();
    return m_found;
}

} // namespace

QList<FoundDocument> findModelDocuments(const QList<PageBlock> &blocks)
{
    return Reader(blocks).run();
}

} // namespace Juanzong
