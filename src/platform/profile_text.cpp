#include "platform/internal/profile_text.h"

#include <vector>

namespace kivoly::platform {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        const auto la = ca >= 'A' && ca <= 'Z' ? ca + ('a' - 'A') : ca;
        const auto lb = cb >= 'A' && cb <= 'Z' ? cb + ('a' - 'A') : cb;
        if (la != lb) return false;
    }
    return true;
}

// One line of the text: where it starts, its content without the line break, and where the
// next line starts.
struct Line {
    std::size_t begin = 0;
    std::string_view content;
    std::size_t next = 0;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        std::string_view content = text.substr(begin, end - begin);
        if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
        lines.push_back({begin, content, next});
        begin = next;
    }
    return lines;
}

// The name of a section header line, or nothing for another line.
std::optional<std::string_view> SectionName(std::string_view content) {
    const std::string_view line = Trim(content);
    if (line.empty() || line.front() != '[') return std::nullopt;
    std::string_view name = line.substr(1);
    if (const std::size_t close = name.find(']'); close != std::string_view::npos) {
        name = name.substr(0, close);
    }
    return Trim(name);
}

struct Entry {
    std::string_view key;
    std::string_view value;
};

std::optional<Entry> KeyLine(std::string_view content) {
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return Entry{Trim(content.substr(0, equals)), Trim(content.substr(equals + 1))};
}

// Where the lines of `section` are: the header's index and the index after its last line.
struct SectionSpan {
    std::size_t header = 0;
    std::size_t end = 0;
};

std::optional<SectionSpan> FindSection(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i].content);
        if (!name || !SameName(*name, section)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !SectionName(lines[end].content))
            ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<Line>& lines, SectionSpan span,
                                   std::string_view key) {
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const auto entry = KeyLine(lines[i].content);
        if (entry && SameName(entry->key, key)) return i;
    }
    return std::nullopt;
}

// Gives the last line of `text` its line break if it lacks one. A last line that ends in a bare
// "\r" only needs the "\n": another "\r" would become part of its value.
void EndLastLine(std::string& text, std::string_view newline) {
    if (text.empty() || text.back() == '\n') return;
    if (text.back() == '\r') {
        text.push_back('\n');
    } else {
        text.append(newline);
    }
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key) {
    const std::vector<Line> lines = SplitLines(text);
    const auto span = FindSection(lines, section);
    if (!span) return std::nullopt;
    const auto index = FindKey(lines, *span, key);
    if (!index) return std::nullopt;
    std::string_view value = KeyLine(lines[*index].content)->value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

bool IsWritableProfileEntry(std::string_view section, std::string_view key,
                            std::string_view value) {
    constexpr std::string_view kBreaks = "\r\n";
    return section.find_first_of(kBreaks) == std::string_view::npos &&
           section.find(']') == std::string_view::npos &&
           key.find_first_of(kBreaks) == std::string_view::npos &&
           key.find('=') == std::string_view::npos && !Trim(key).empty() &&
           value.find_first_of(kBreaks) == std::string_view::npos;
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
    const std::string_view newline = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    const std::vector<Line> lines = SplitLines(text);
    std::string result;
    result.reserve(text.size() + section.size() + key.size() + value.size() + 8);

    const auto span = FindSection(lines, section);
    if (!span) {
        result.append(text);
        if (!result.empty()) {
            EndLastLine(result, newline);
            result.append(newline);
        }
        result.append("[").append(section).append("]").append(newline);
        result.append(key).append("=").append(value).append(newline);
        return result;
    }

    if (const auto index = FindKey(lines, *span, key)) {
        const Line& line = lines[*index];
        const std::string_view spelling = KeyLine(line.content)->key;
        result.append(text.substr(0, line.begin));
        result.append(spelling).append("=").append(value);
        // The line's own break (or none, on a last line without one) stays as it was.
        result.append(text.substr(line.begin + line.content.size()));
        return result;
    }

    // A new key follows the section's last non-blank line, before the blank lines that
    // separate it from the next section.
    std::size_t last = span->header;
    for (std::size_t i = span->header + 1; i < span->end; ++i) {
        if (!Trim(lines[i].content).empty()) last = i;
    }
    const Line& after = lines[last];
    result.append(text.substr(0, after.next));
    if (after.next == text.size()) EndLastLine(result, newline);
    result.append(key).append("=").append(value).append(newline);
    result.append(text.substr(after.next));
    return result;
}

}  // namespace kivoly::platform
