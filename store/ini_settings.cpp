#include "store/ini_settings.h"

#include <cerrno>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "store/file_io.h"

namespace corvane {

namespace {

// Blanks around names and values: what Windows strips, Ctrl-Z included
// (old editors ended text files with it).
bool isProfileBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1A; }

bool isQuote(char c) { return c == '"' || c == '\''; }

// Width of the Shift_JIS character at `i`: 2 for a lead byte with a byte
// after it, else 1.
size_t charWidth(const std::string& text, size_t i, size_t end) {
    return isShiftJisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < end ? 2 : 1;
}

struct Span {
    size_t begin = 0;
    size_t end = 0;
};

Span trimmed(const std::string& text, size_t begin, size_t end) {
    while (begin < end && isProfileBlank(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && isProfileBlank(static_cast<unsigned char>(text[end - 1]))) --end;
    return {begin, end};
}

std::string trimmedCopy(const std::string& text) {
    const Span s = trimmed(text, 0, text.size());
    return text.substr(s.begin, s.end - s.begin);
}

// Names match without regard to ASCII case; the second byte of a double-byte
// character is compared exactly (it may look like an ASCII letter).
bool sameName(const std::string& text, Span name, const std::string& wanted) {
    if (name.end - name.begin != wanted.size()) return false;
    size_t i = 0;
    while (i < wanted.size()) {
        const unsigned char a = static_cast<unsigned char>(text[name.begin + i]);
        const unsigned char b = static_cast<unsigned char>(wanted[i]);
        if (isShiftJisLeadByte(a) && i + 1 < wanted.size()) {
            if (a != b || text[name.begin + i + 1] != wanted[i + 1]) return false;
            i += 2;
            continue;
        }
        const auto lower = [](unsigned char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
        };
        if (lower(a) != lower(b)) return false;
        ++i;
    }
    return true;
}

struct IniLine {
    enum class Kind { blank, section, key };
    Kind kind = Kind::blank;
    Span content;        // the line without its terminator and outer blanks
    size_t next = 0;     // start of the following line
    bool terminated = false;
    Span name;           // section or key name, trimmed
    bool hasValue = false;
    Span value;          // trimmed, quotes still on
};

std::vector<IniLine> splitLines(const std::string& text) {
    std::vector<IniLine> lines;
    size_t pos = 0;
    // A UTF-8 byte order mark is not part of the first line.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    while (pos < text.size()) {
        IniLine line;
        size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        line.next = end;
        if (line.next < text.size()) {
            line.terminated = true;
            if (text[line.next] == '\r' && line.next + 1 < text.size() && text[line.next + 1] == '\n')
                line.next += 2;
            else
                line.next += 1;
        }
        line.content = trimmed(text, pos, end);
        const size_t b = line.content.begin;
        const size_t e = line.content.end;
        if (b < e && text[b] == '[') {
            // The section name runs to the last ']' of the line.
            size_t close = e;
            for (size_t i = b + 1; i < e; i += charWidth(text, i, e))
                if (text[i] == ']') close = i;
            if (close != e) {
                line.kind = IniLine::Kind::section;
                line.name = trimmed(text, b + 1, close);
            }
        }
        if (b < e && line.kind == IniLine::Kind::blank) {
            line.kind = IniLine::Kind::key;
            // '=' never occurs as the second byte of a double-byte character.
            size_t equals = b;
            while (equals < e && text[equals] != '=') ++equals;
            if (equals < e) {
                line.name = trimmed(text, b, equals);
                line.hasValue = true;
                line.value = trimmed(text, equals + 1, e);
            } else {
                line.name = {b, e};
            }
        }
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

// Where a key stands in the parsed file: the first section of that name and
// the first key of that name inside it.
struct KeyLocation {
    bool sectionFound = false;
    size_t lastLineOfSection = 0;  // index of the header or of the last non-blank line
    std::optional<size_t> keyLine;
};

KeyLocation locate(const std::string& text, const std::vector<IniLine>& lines,
                   const std::string& section, const std::string& key) {
    KeyLocation where;
    bool inSection = false;  // lines before the first header belong to no named section
    for (size_t i = 0; i < lines.size(); ++i) {
        const IniLine& line = lines[i];
        if (line.kind == IniLine::Kind::section) {
            if (where.sectionFound) break;  // only the first section of that name counts
            inSection = sameName(text, line.name, section);
            if (inSection) {
                where.sectionFound = true;
                where.lastLineOfSection = i;
            }
            continue;
        }
        if (!inSection || line.kind != IniLine::Kind::key) continue;
        where.lastLineOfSection = i;
        if (!where.keyLine && sameName(text, line.name, key)) where.keyLine = i;
    }
    return where;
}

enum class LoadResult { loaded, missing, failed };

LoadResult loadFile(const std::string& path, std::string& text) {
    text.clear();
    InputFile file;
    if (!file.open(path.c_str())) return errno == ENOENT ? LoadResult::missing : LoadResult::failed;
    char chunk[16384];
    for (;;) {
        const long got = file.read(chunk, sizeof chunk);
        if (got < 0) return LoadResult::failed;
        if (got == 0) break;
        text.append(chunk, static_cast<size_t>(got));
    }
    return LoadResult::loaded;
}

// The stored value of a key, or nothing when the file, section or key is
// missing or the key has no '='.
std::optional<std::string> storedValue(const std::string& path, const std::string& section,
                                       const std::string& key) {
    std::string text;
    if (loadFile(path, text) != LoadResult::loaded) return std::nullopt;
    const std::vector<IniLine> lines = splitLines(text);
    const KeyLocation where = locate(text, lines, trimmedCopy(section), trimmedCopy(key));
    if (!where.keyLine) return std::nullopt;
    const IniLine& line = lines[*where.keyLine];
    if (!line.hasValue) return std::nullopt;
    return text.substr(line.value.begin, line.value.end - line.value.begin);
}

std::string withoutQuotes(const std::string& value) {
    if (value.size() >= 2 && isQuote(value[0]) && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

// Integer reading looks at the value through a buffer of 30 characters, the
// way Windows does: at most 29 characters count, and for a quoted value that
// fills the buffer exactly the closing quote and the character before it
// both drop out.
std::string integerWindow(const std::string& value) {
    constexpr size_t bufferChars = 30;
    const bool quoted = value.size() >= 2 && isQuote(value[0]) && value.back() == value[0];
    const size_t start = quoted ? 1 : 0;
    std::vector<size_t> ends;  // end offset of each character after `start`
    for (size_t i = start; i < value.size(); i += charWidth(value, i, value.size()))
        ends.push_back(i + charWidth(value, i, value.size()));
    const size_t chars = ends.size();
    size_t kept = chars < bufferChars - 1 ? chars : bufferChars - 1;
    if (quoted && bufferChars >= chars && kept > 0) --kept;
    const size_t end = kept == 0 ? start : ends[kept - 1];
    return value.substr(start, end - start);
}

// Decimal with optional sign; lower-case "0x", "0o", "0b" choose another
// base; the total wraps at 32 bits.
int parseProfileInteger(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        const char p = text[i + 1];
        if (p == 'x') base = 16;
        else if (p == 'o') base = 8;
        else if (p == 'b') base = 2;
        if (base != 10) i += 2;
    }
    uint32_t total = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit = 99;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'z') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'Z') digit = static_cast<unsigned>(c - 'A' + 10);
        if (digit >= base) break;
        total = total * base + digit;
    }
    if (negative) total = 0u - total;
    return static_cast<int>(total);
}

}  // namespace

int IniFileSettings::readInt(const std::string& section, const std::string& key, int defaultValue) {
    const std::optional<std::string> value = storedValue(path_, section, key);
    if (!value) return defaultValue;
    const std::string window = integerWindow(*value);
    if (window.empty()) return defaultValue;
    return parseProfileInteger(window);
}

std::string IniFileSettings::readString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue, int capacity) {
    if (capacity <= 0) return std::string();
    const std::optional<std::string> value = storedValue(path_, section, key);
    if (value) return cutToCapacity(withoutQuotes(*value), capacity);
    // Trailing spaces of the default go, but never its first character.
    size_t end = defaultValue.size();
    while (end > 1 && defaultValue[end - 1] == ' ') --end;
    return cutToCapacity(withoutQuotes(defaultValue.substr(0, end)), capacity);
}

bool IniFileSettings::writeString(const std::string& section, const std::string& key,
                                  const std::string& value) {
    const std::string sectionName = trimmedCopy(section);
    const std::string keyName = trimmedCopy(key);
    std::string newValue = value;
    size_t first = 0;
    while (first < newValue.size() && isProfileBlank(static_cast<unsigned char>(newValue[first])))
        ++first;
    newValue.erase(0, first);
    const size_t lineBreak = newValue.find_first_of("\r\n");
    if (lineBreak != std::string::npos) newValue.erase(lineBreak);

    std::string text;
    // An existing file that cannot be read must not be replaced by one key.
    if (loadFile(path_, text) == LoadResult::failed) return false;
    const std::vector<IniLine> lines = splitLines(text);
    const KeyLocation where = locate(text, lines, sectionName, keyName);

    if (where.keyLine) {
        const IniLine& line = lines[*where.keyLine];
        if (line.hasValue && text.compare(line.value.begin, line.value.end - line.value.begin,
                                          newValue) == 0)
            return true;
        const std::string storedName = text.substr(line.name.begin, line.name.end - line.name.begin);
        text.replace(line.content.begin, line.content.end - line.content.begin,
                     storedName + "=" + newValue);
    } else if (where.sectionFound) {
        const IniLine& after = lines[where.lastLineOfSection];
        std::string insertion = keyName + "=" + newValue + "\r\n";
        if (!after.terminated) insertion.insert(0, "\r\n");
        text.insert(after.next, insertion);
    } else {
        if (!text.empty() && text.back() != '\n' && text.back() != '\r') text += "\r\n";
        text += "[" + sectionName + "]\r\n" + keyName + "=" + newValue + "\r\n";
    }

    auto out = std::make_unique<AtomicOutputFile>();
    if (!out->open(path_.c_str())) return false;
    out->write(text.data(), text.size());
    return out->commit();
}

}  // namespace corvane
