#include "settings/ini_text.h"

#include <cstdint>
#include <vector>

namespace vantora {

namespace {

constexpr std::string_view kGeneral = "General";

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return c - 'A' + 10;
}

void AppendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Code points of a UTF-8 text; a byte that starts no valid sequence stands for itself
// (U+0080..U+00FF), so nothing is lost.
std::vector<std::uint32_t> CodePoints(std::string_view text)
{
    std::vector<std::uint32_t> points;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        std::uint32_t cp = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
        for (int k = 1; k < length; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                length = 0;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        if (length == 0) {
            points.push_back(lead);
            ++i;
        } else {
            points.push_back(cp);
            i += static_cast<std::size_t>(length);
        }
    }
    return points;
}

// Letters, digits, '_', '-' and '.' stay; '/' (a group separator) becomes '\'; everything
// else %XX (up to U+00FF) or %UXXXX (UTF-16 units).
std::string EscapeKey(std::string_view key)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    const auto hex = [&](std::uint32_t value, int digits) {
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
            out += kHex[(value >> shift) & 0xF];
        }
    };
    for (const std::uint32_t cp : CodePoints(key)) {
        if ((cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z') || (cp >= '0' && cp <= '9') ||
            cp == '_' || cp == '-' || cp == '.') {
            out += static_cast<char>(cp);
        } else if (cp == '/') {
            out += '\\';
        } else if (cp <= 0xFF) {
            out += '%';
            hex(cp, 2);
        } else if (cp <= 0xFFFF) {
            out += "%U";
            hex(cp, 4);
        } else {
            const std::uint32_t v = cp - 0x10000;
            out += "%U";
            hex(0xD800 + (v >> 10), 4);
            out += "%U";
            hex(0xDC00 + (v & 0x3FF), 4);
        }
    }
    return out;
}

std::string UnescapeKey(std::string_view key)
{
    std::string out;
    std::uint32_t highSurrogate = 0;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const char c = key[i];
        std::uint32_t cp = 0;
        if (c == '%' && i + 5 < key.size() && key[i + 1] == 'U' && IsHexDigit(key[i + 2]) &&
            IsHexDigit(key[i + 3]) && IsHexDigit(key[i + 4]) && IsHexDigit(key[i + 5])) {
            cp = (HexValue(key[i + 2]) << 12) | (HexValue(key[i + 3]) << 8) |
                 (HexValue(key[i + 4]) << 4) | HexValue(key[i + 5]);
            i += 5;
        } else if (c == '%' && i + 2 < key.size() && IsHexDigit(key[i + 1]) && IsHexDigit(key[i + 2])) {
            cp = static_cast<std::uint32_t>((HexValue(key[i + 1]) << 4) | HexValue(key[i + 2]));
            i += 2;
        } else {
            out += c == '\\' ? '/' : c;
            continue;
        }
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            highSurrogate = cp;
            continue;
        }
        if (cp >= 0xDC00 && cp <= 0xDFFF && highSurrogate != 0) {
            cp = 0x10000 + ((highSurrogate - 0xD800) << 10) + (cp - 0xDC00);
        }
        highSurrogate = 0;
        AppendUtf8(out, cp);
    }
    return out;
}

std::string EscapeValue(std::string_view value)
{
    std::string body;
    bool quote = !value.empty() && (value.front() == ' ' || value.front() == '\t' ||
                                    value.back() == ' ' || value.back() == '\t');
    if (!value.empty() && value.front() == '@') {
        body += '@';  // a leading @ announces a typed value; @@ is a plain @
    }
    bool hexPending = false;  // a digit right after \x.. would extend the escape
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (hexPending && IsHexDigit(c)) {
            static constexpr char kHex[] = "0123456789abcdef";
            body += "\\x";
            body += kHex[byte >> 4];
            body += kHex[byte & 0xF];
            continue;
        }
        hexPending = false;
        switch (c) {
        case '\\': body += "\\\\"; break;
        case '"': body += "\\\""; break;
        case '\a': body += "\\a"; break;
        case '\b': body += "\\b"; break;
        case '\f': body += "\\f"; break;
        case '\n': body += "\\n"; break;
        case '\r': body += "\\r"; break;
        case '\t': body += "\\t"; break;
        case '\v': body += "\\v"; break;
        case ';':
        case ',':
        case '=':
            quote = true;
            body += c;
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                static constexpr char kHex[] = "0123456789abcdef";
                body += "\\x";
                if (byte >= 0x10) {
                    body += kHex[byte >> 4];
                }
                body += kHex[byte & 0xF];
                hexPending = true;
            } else {
                body += c;
            }
        }
    }
    return quote ? '"' + body + '"' : body;
}

std::string UnescapeValue(std::string_view text)
{
    std::string out;
    std::size_t hardLength = 0;  // up to here nothing is trimmed: quoted or escaped text
    bool quoted = false;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
            hardLength = out.size();
            continue;
        }
        if (!quoted && c == ';') {
            break;  // comment
        }
        if (c != '\\' || i + 1 >= text.size()) {
            out += c;
            if (quoted || (c != ' ' && c != '\t')) {
                hardLength = out.size();
            }
            continue;
        }
        const char e = text[++i];
        switch (e) {
        case 'a': out += '\a'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'v': out += '\v'; break;
        case 'x': {
            std::uint32_t cp = 0;
            bool any = false;
            while (i + 1 < text.size() && IsHexDigit(text[i + 1])) {
                cp = (cp << 4) | static_cast<std::uint32_t>(HexValue(text[++i]));
                any = true;
            }
            if (any && cp < 0x110000) {
                AppendUtf8(out, cp);
            }
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                std::uint32_t cp = static_cast<std::uint32_t>(e - '0');
                while (i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7') {
                    cp = (cp << 3) | static_cast<std::uint32_t>(text[++i] - '0');
                }
                if (cp < 0x110000) {
                    AppendUtf8(out, cp);
                }
            } else {
                out += e;  // \\ \" \' \? and anything unknown: the character itself
            }
        }
        hardLength = out.size();
    }
    out.resize(hardLength);
    // A leading @ announces a typed value: @@ is a plain @, and @String(...) the text that
    // QSettings could not write plainly (one with a NUL character). Other types stay as text.
    constexpr std::string_view kStringType = "@String(";
    if (out.size() >= 2 && out[0] == '@' && out[1] == '@') {
        out.erase(0, 1);
    } else if (out.size() > kStringType.size() && out.compare(0, kStringType.size(), kStringType) == 0 &&
               out.back() == ')') {
        out = out.substr(kStringType.size(), out.size() - kStringType.size() - 1);
    }
    return out;
}

// Group separators as QSettings keeps them: none leading or trailing, never two in a row.
std::string NormalizeKey(std::string_view key)
{
    std::string out;
    for (const char c : key) {
        if (c == '/' && (out.empty() || out.back() == '/')) {
            continue;
        }
        out += c;
    }
    if (!out.empty() && out.back() == '/') {
        out.pop_back();
    }
    return out;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

IniValues ParseIni(std::string_view text)
{
    IniValues values;
    std::string section;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            if (close == std::string_view::npos) {
                continue;
            }
            const std::string_view name = Trim(line.substr(1, close - 1));
            if (name == kGeneral) {
                section.clear();
            } else if (name.size() == kGeneral.size() + 1 && name.front() == '%' &&
                       name.substr(1) == kGeneral) {
                section = std::string(kGeneral);
            } else {
                section = UnescapeKey(name);
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string key = NormalizeKey(
            section + '/' + UnescapeKey(Trim(line.substr(0, equals))));
        if (key.empty()) {
            continue;
        }
        values[key] = UnescapeValue(line.substr(equals + 1));
    }
    return values;
}

std::string FormatIni(const IniValues& values)
{
    std::map<std::string, std::vector<const IniValues::value_type*>> sections;
    for (const auto& entry : values) {
        const std::size_t slash = entry.first.rfind('/');
        sections[slash == std::string::npos ? std::string() : entry.first.substr(0, slash)].push_back(&entry);
    }
    std::string text;
    for (const auto& [section, entries] : sections) {
        if (!text.empty()) {
            text += '\n';
        }
        // A real group called General is told from the top level by a leading %.
        text += '[' + (section.empty() ? std::string(kGeneral)
                                       : (section == kGeneral ? "%" : "") + EscapeKey(section)) + "]\n";
        for (const auto* entry : entries) {
            const std::size_t slash = entry->first.rfind('/');
            const std::string_view name = slash == std::string::npos
                                              ? std::string_view(entry->first)
                                              : std::string_view(entry->first).substr(slash + 1);
            text += EscapeKey(name) + '=' + EscapeValue(entry->second) + '\n';
        }
    }
    return text;
}

}  // namespace vantora
