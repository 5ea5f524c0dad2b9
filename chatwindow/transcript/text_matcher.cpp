#include "chatwindow/transcript/text_matcher.h"

#include "session/wire_codec.h"

#include <algorithm>
#include <array>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Windows-1252's capitals and their small letters: A-Z, the accented letters from
// 0xC0 to 0xDE but the multiplication sign, and Š, Œ, Ž, Ÿ.
constexpr std::array<unsigned char, 256> makeFoldTable()
{
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = static_cast<unsigned char>(c);
    for (int c = 'A'; c <= 'Z'; ++c)
        table[c] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c) {
        if (c != 0xD7)
            table[c] = static_cast<unsigned char>(c + 32);
    }
    table[0x8A] = 0x9A;
    table[0x8C] = 0x9C;
    table[0x8E] = 0x9E;
    table[0x9F] = 0xFF;
    return table;
}

constexpr std::array<unsigned char, 256> kFold = makeFoldTable();

// The capital of a small letter, the character itself if it has none.
constexpr std::array<unsigned char, 256> makeOtherCaseTable()
{
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = static_cast<unsigned char>(c);
    for (int c = 0; c < 256; ++c) {
        if (kFold[c] != c)
            table[kFold[c]] = static_cast<unsigned char>(c);
    }
    return table;
}

constexpr std::array<unsigned char, 256> kCapital = makeOtherCaseTable();

inline unsigned char folded(char c)
{
    return kFold[static_cast<unsigned char>(c)];
}

#ifdef __SSE2__
// Sixteen places at a time, from at while a whole run of them fits before end: calls
// visit(run, mask) with a bit set in mask for each place of the run where the term's
// first and its last character stand, in either case, so that only there the whole term
// need be compared. Stops early when visit gives true. Gives back the first place of
// the run where it stopped, or the first one it did not look at.
template <typename Visit>
qsizetype scanCandidates(QByteArrayView term, const char* data, qsizetype at, qsizetype end,
                         Visit visit)
{
    const auto both = [](char c) {
        const auto small = static_cast<unsigned char>(c);
        return std::pair{_mm_set1_epi8(static_cast<char>(small)),
                         _mm_set1_epi8(static_cast<char>(kCapital[small]))};
    };
    const auto [firstSmall, firstCapital] = both(term.front());
    const auto [lastSmall, lastCapital] = both(term.back());
    for (; at + 16 <= end; at += 16) {
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        const __m128i last =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + term.size() - 1));
        const __m128i hits = _mm_and_si128(
            _mm_or_si128(_mm_cmpeq_epi8(first, firstSmall), _mm_cmpeq_epi8(first, firstCapital)),
            _mm_or_si128(_mm_cmpeq_epi8(last, lastSmall), _mm_cmpeq_epi8(last, lastCapital)));
        if (visit(at, static_cast<unsigned>(_mm_movemask_epi8(hits))))
            break;
    }
    return at;
}
#endif

} // namespace

char TextMatcher::fold(char c)
{
    return static_cast<char>(folded(c));
}

TextMatcher::TextMatcher(const QString& term)
{
    QByteArray bytes;
    bytes.reserve(term.size());
    for (const QChar c : term) {
        const int code = windows1252Code(c);
        if (code < 0)
            return;
        bytes.append(fold(static_cast<char>(code)));
    }
    folded_ = bytes;
}

bool TextMatcher::matchesAt(const char* at) const
{
    const char* term = folded_.constData();
    for (qsizetype i = 0; i < folded_.size(); ++i) {
        if (folded(at[i]) != static_cast<unsigned char>(term[i]))
            return false;
    }
    return true;
}

qint64 TextMatcher::count(QByteArrayView text) const
{
    const qsizetype size = folded_.size();
    if (size == 0)
        return 0;
    const char* data = text.data();
    const qsizetype end = text.size() - size + 1;
    qint64 found = 0;
    qsizetype at = 0;
#ifdef __SSE2__
    // For a term of one or two characters the first and the last are the whole term,
    // and the places are only counted.
    at = scanCandidates(folded_, data, at, end, [&](qsizetype run, unsigned mask) {
        if (size <= 2) {
            found += __builtin_popcount(mask);
            return false;
        }
        for (; mask != 0; mask &= mask - 1) {
            if (matchesAt(data + run + __builtin_ctz(mask)))
                ++found;
        }
        return false;
    });
#endif
    for (; at < end; ++at) {
        if (matchesAt(data + at))
            ++found;
    }
    return found;
}

qsizetype TextMatcher::indexIn(QByteArrayView text, qsizetype from) const
{
    const qsizetype size = folded_.size();
    if (size == 0)
        return -1;
    const char* data = text.data();
    const qsizetype end = text.size() - size + 1; // the last place a match may begin, plus one
    qsizetype at = std::max<qsizetype>(from, 0);
#ifdef __SSE2__
    qsizetype found = -1;
    at = scanCandidates(folded_, data, at, end, [&](qsizetype run, unsigned mask) {
        for (; mask != 0; mask &= mask - 1) {
            const qsizetype place = run + __builtin_ctz(mask);
            if (matchesAt(data + place)) {
                found = place;
                return true;
            }
        }
        return false;
    });
    if (found >= 0)
        return found;
#endif
    for (; at < end; ++at) {
        if (matchesAt(data + at))
            return at;
    }
    return -1;
}
