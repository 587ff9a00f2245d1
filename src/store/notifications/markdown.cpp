#include "store/notifications/markdown.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <QTextBoundaryFinder>
#include <vector>

namespace {

constexpr std::size_t npos = static_cast<std::size_t>(-1);

// One user-perceived character. `code` is the character itself when the cluster is a single code unit
// (so a marker with a combining mark is never a marker), else 0.
struct Grapheme {
    qsizetype start;
    qsizetype length;
    char16_t code;
};

// Below U+0300 no character joins its neighbour in a cluster (no marks, joiners or other extenders
// live there) except a line feed after a carriage return, so such text needs no boundary finder.
bool simpleClusters(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x300; });
}

std::vector<Grapheme> graphemes(const QString &text)
{
    std::vector<Grapheme> result;
    result.reserve(std::size_t(text.size()));
    if (simpleClusters(text)) {
        for (qsizetype start = 0; start < text.size(); ++start) {
            if (text.at(start) == u'\r' && start + 1 < text.size() && text.at(start + 1) == u'\n') {
                result.push_back({start, 2, char16_t(0)});
                ++start;
            } else {
                result.push_back({start, 1, text.at(start).unicode()});
            }
        }
        return result;
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype next = finder.toNextBoundary();
        if (next <= start || next > text.size())
            next = text.size();
        const qsizetype length = next - start;
        result.push_back({start, length, length == 1 ? text.at(start).unicode() : char16_t(0)});
        start = next;
    }
    return result;
}

// Finds runs of one character, remembering the last answer: the scan only moves forward, so a long
// text full of unmatched markers stays linear instead of searching the whole rest again each time.
class RunFinder {
public:
    RunFinder(const std::vector<Grapheme> &chars, char16_t code, std::size_t length)
        : m_chars(chars), m_code(code), m_length(length)
    {}

    // First index >= from where `length` graphemes of `code` stand in a row.
    std::size_t find(std::size_t from)
    {
        if (m_searched && from >= m_from && (m_found == npos || from <= m_found))
            return m_found;
        std::size_t run = 0;
        std::size_t found = npos;
        for (std::size_t i = from; i < m_chars.size(); ++i) {
            run = m_chars[i].code == m_code ? run + 1 : 0;
            if (run == m_length) {
                found = i + 1 - m_length;
                break;
            }
        }
        m_searched = true;
        m_from = from;
        m_found = found;
        return found;
    }

private:
    const std::vector<Grapheme> &m_chars;
    char16_t m_code;
    std::size_t m_length;
    bool m_searched = false;
    std::size_t m_from = 0;
    std::size_t m_found = npos;
};

bool isMarker(char16_t code)
{
    return code == u'*' || code == u'_' || code == u'`' || code == u'[';
}

} // namespace

namespace Markdown {

QString strip(const QString &text)
{
    const std::vector<Grapheme> chars = graphemes(text);
    const std::size_t count = chars.size();
    std::map<std::pair<char16_t, std::size_t>, RunFinder> finders;
    auto finder = [&](char16_t code, std::size_t length) -> RunFinder & {
        return finders.try_emplace({code, length}, chars, code, length).first->second;
    };
    // Text offset of grapheme i (or the end).
    auto offset = [&](std::size_t i) { return i < count ? chars[i].start : text.size(); };

    QString output;
    output.reserve(text.size());
    auto append = [&](std::size_t from, std::size_t to) {
        if (to > from)
            output.append(QStringView(text).mid(offset(from), offset(to) - offset(from)));
    };

    std::size_t pos = 0;
    while (pos < count) {
        std::size_t marker = pos;
        while (marker < count && !isMarker(chars[marker].code))
            ++marker;
        append(pos, marker);
        if (marker == count)
            break;
        const char16_t code = chars[marker].code;
        if (code == u'[') {
            const std::size_t close = finder(u']', 1).find(marker + 1);
            if (close == npos) {
                output.append(u'[');
                pos = marker + 1;
                continue;
            }
            append(marker + 1, close);
            pos = close + 1;
            if (pos < count && chars[pos].code == u'(') {
                const std::size_t paren = finder(u')', 1).find(pos + 1);
                if (paren != npos)
                    pos = paren + 1;
            }
            continue;
        }
        std::size_t runEnd = marker;
        while (runEnd < count && chars[runEnd].code == code)
            ++runEnd;
        const std::size_t length = runEnd - marker;
        const std::size_t closing = finder(code, length).find(runEnd);
        if (closing == npos) {
            append(marker, runEnd);
            pos = runEnd;
        } else {
            append(runEnd, closing);
            pos = closing + length;
        }
    }
    return output.trimmed();
}

} // namespace Markdown
