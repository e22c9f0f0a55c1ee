#include "natural_order.h"

#include "win32/text.h"

#include <algorithm>
#include <concepts>
#include <cstdint>

namespace commands {

namespace {

// Simple case folding for the scripts that file names commonly use; the same on every
// machine, whatever its locale.
char32_t foldCase(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return c + 32;
    if (c >= 0x400 && c <= 0x40F)
        return c + 80;
    if (((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177) || (c >= 0x460 && c <= 0x481) ||
         (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F)) &&
        c % 2 == 0)
        return c + 1;
    if (((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) && c % 2 == 1)
        return c + 1;
    if (c == 0x178)
        return 0xFF;
    return c;
}

// Decodes one UTF-8 sequence at text[i]; a byte that starts no valid sequence stands for itself.
char32_t decode(std::string_view text, std::size_t& i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 1 || length == 0 || i + length > text.size()) {
        ++i;
        return lead;
    }
    char32_t c = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return lead;
        }
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    i += length;
    return c;
}

void encode(char32_t c, std::string& out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// In a key a run of digits becomes this marker, its number of significant digits and those
// digits, so that bytewise order is order by value. The marker is the byte of '0': against any
// other character it compares as a digit does.
constexpr char digitRun = '0';

// The sort key's text of a name: POSIX names are their bytes already.
[[maybe_unused]] const std::string& utf8Of(const std::string& native) { return native; }

// Windows names are UTF-16; an unpaired surrogate, which Windows allows in names, becomes U+FFFD
// instead of failing the sort. A template, so that it is only made where names are wide.
template <typename Wide>
    requires std::same_as<Wide, std::wstring>
std::string utf8Of(const Wide& native)
{
    return Utf8FromWide(native);
}

// Appends the sort key of a name to out. Compared bytewise, keys order names with letters
// folded to one case (whatever the locale), runs of digits by value, then by fewer leading zeros.
void appendNaturalKey(std::string_view utf8Name, std::string& out)
{
    std::string zeros;  // leading zeros of each run of digits: the last tie-break
    for (std::size_t i = 0; i < utf8Name.size();) {
        if (isDigit(utf8Name[i])) {
            std::size_t first = i;
            while (first < utf8Name.size() && utf8Name[first] == '0')
                ++first;
            std::size_t end = first;
            while (end < utf8Name.size() && isDigit(utf8Name[end]))
                ++end;
            out += digitRun;
            out += static_cast<char>(std::min<std::size_t>(end - first, 255));
            out.append(utf8Name, first, end - first);
            zeros += static_cast<char>(std::min<std::size_t>(first - i, 255));
            i = end;
            continue;
        }
        const std::size_t start = i;
        const char32_t c = decode(utf8Name, i);
        if (c < 0x80 || i - start > 1)
            encode(foldCase(c), out);
        else
            out += utf8Name[start];  // a stray byte keeps its value
    }
    out += '\0';
    out += zeros;
}

// All keys of a list in one buffer: one allocation instead of one per name.
struct KeyBuffer {
    std::string bytes;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> spans;  // offset and length of each key

    std::string_view operator[](std::uint32_t k) const
    {
        return std::string_view(bytes).substr(spans[k].first, spans[k].second);
    }

    // The length of the prefix that all keys share.
    std::size_t sharedPrefix() const
    {
        std::size_t shared = spans.empty() ? 0 : spans.front().second;
        const std::string_view first = spans.empty() ? std::string_view() : (*this)[0];
        for (std::uint32_t k = 1; k < spans.size() && shared > 0; ++k) {
            const std::string_view key = (*this)[k];
            shared = std::min(shared, key.size());
            std::size_t i = 0;
            while (i < shared && key[i] == first[i])
                ++i;
            shared = i;
        }
        return shared;
    }

    // Eight bytes of a key from the offset on, zero beyond its end, as a number that orders
    // as the bytes do.
    std::uint64_t head(std::uint32_t k, std::size_t offset) const
    {
        const std::string_view key = (*this)[k];
        std::uint64_t head = 0;
        for (std::size_t i = offset; i < offset + 8; ++i)
            head = (head << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
        return head;
    }
};

} // namespace

bool NaturalLess(std::string_view a, std::string_view b)
{
    std::string keyA, keyB;
    appendNaturalKey(a, keyA);
    appendNaturalKey(b, keyB);
    return keyA != keyB ? keyA < keyB : a < b;
}

void SortNaturally(std::vector<std::filesystem::path>& names)
{
    KeyBuffer keys;
    keys.spans.reserve(names.size());
    for (const auto& name : names) {
        const std::size_t offset = keys.bytes.size();
        appendNaturalKey(utf8Of(name.native()), keys.bytes);
        keys.spans.emplace_back(static_cast<std::uint32_t>(offset),
                                static_cast<std::uint32_t>(keys.bytes.size() - offset));
    }
    // Names in one folder often share a beginning ("photo_0..."): the eight key bytes after it
    // settle most comparisons without touching the keys.
    const std::size_t shared = keys.sharedPrefix();
    struct Entry {
        std::uint64_t head;
        std::uint32_t index;
    };
    std::vector<Entry> order(names.size());
    for (std::uint32_t k = 0; k < order.size(); ++k)
        order[k] = {keys.head(k, shared), k};
    std::sort(order.begin(), order.end(), [&](const Entry& x, const Entry& y) {
        if (x.head != y.head)
            return x.head < y.head;
        if (const int c = keys[x.index].compare(keys[y.index]); c != 0)
            return c < 0;
        return names[x.index].native() < names[y.index].native();
    });
    std::vector<std::filesystem::path> sorted;
    sorted.reserve(names.size());
    for (const Entry& entry : order)
        sorted.push_back(std::move(names[entry.index]));
    names = std::move(sorted);
}

} // namespace commands
