#include "web/json_text.h"

#include <charconv>

namespace vantora {

namespace {

void AppendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The length of the valid UTF-8 sequence at the start of `text`, or 0.
std::size_t Utf8SequenceLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF))
        || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    void SkipBlanks()
    {
        while (m_pos < m_text.size()
               && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' || m_text[m_pos] == '\n' || m_text[m_pos] == '\r'))
            ++m_pos;
    }
    bool AtEnd() const { return m_pos >= m_text.size(); }
    bool Take(char c)
    {
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool TakeWord(std::string_view word)
    {
        if (m_text.substr(m_pos, word.size()) != word)
            return false;
        m_pos += word.size();
        return true;
    }
    char Peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }

    std::optional<std::string> String()
    {
        if (!Take('"'))
            return std::nullopt;
        std::string out;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == '"') {
                ++m_pos;
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                return std::nullopt;
            if (c == '\\') {
                ++m_pos;
                if (!Escape(out))
                    return std::nullopt;
                continue;
            }
            const std::size_t length = Utf8SequenceLength(m_text.substr(m_pos));
            if (length == 0)
                return std::nullopt;
            out.append(m_text.substr(m_pos, length));
            m_pos += length;
        }
        return std::nullopt;
    }

    std::optional<JsonNumber> Number()
    {
        const std::size_t start = m_pos;
        Take('-');
        if (Take('0')) {
        } else if (!Digits()) {
            return std::nullopt;
        }
        bool whole = true;
        if (Take('.')) {
            whole = false;
            if (!Digits())
                return std::nullopt;
        }
        if (Take('e') || Take('E')) {
            whole = false;
            if (!Take('+'))
                Take('-');
            if (!Digits())
                return std::nullopt;
        }
        JsonNumber number;
        if (whole) {
            std::int64_t value = 0;
            const char* first = m_text.data() + start;
            const char* last = m_text.data() + m_pos;
            const auto [end, error] = std::from_chars(first, last, value);
            if (error == std::errc() && end == last)
                number.whole = value;
        }
        return number;
    }

private:
    bool Digits()
    {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9')
            ++m_pos;
        return m_pos > start;
    }

    std::optional<std::uint32_t> Hex4()
    {
        if (m_text.size() - m_pos < 4)
            return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_pos++];
            value <<= 4;
            if (c >= '0' && c <= '9')
                value |= static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f')
                value |= static_cast<std::uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                value |= static_cast<std::uint32_t>(c - 'A' + 10);
            else
                return std::nullopt;
        }
        return value;
    }

    bool Escape(std::string& out)
    {
        if (m_pos >= m_text.size())
            return false;
        const char c = m_text[m_pos++];
        switch (c) {
        case '"': out += '"'; return true;
        case '\\': out += '\\'; return true;
        case '/': out += '/'; return true;
        case 'b': out += '\b'; return true;
        case 'f': out += '\f'; return true;
        case 'n': out += '\n'; return true;
        case 'r': out += '\r'; return true;
        case 't': out += '\t'; return true;
        case 'u': break;
        default: return false;
        }
        const auto high = Hex4();
        if (!high)
            return false;
        std::uint32_t code = *high;
        if (code >= 0xDC00 && code <= 0xDFFF)
            return false;  // a low surrogate alone
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (!TakeWord("\\u"))
                return false;
            const auto low = Hex4();
            if (!low || *low < 0xDC00 || *low > 0xDFFF)
                return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (*low - 0xDC00);
        }
        AppendUtf8(out, code);
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

}  // namespace

std::string JsonQuote(std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
            ++pos;
        } else if (byte < 0x20 || byte == 0x7f) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
            ++pos;
        } else {
            const std::size_t length = Utf8SequenceLength(text.substr(pos));
            if (length == 0) {
                out += "\xEF\xBF\xBD";  // U+FFFD
                ++pos;
            } else {
                out.append(text.substr(pos, length));
                pos += length;
            }
        }
    }
    out += '"';
    return out;
}

std::optional<JsonFlatObject> ParseJsonFlatObject(std::string_view text)
{
    Reader reader(text);
    JsonFlatObject object;
    reader.SkipBlanks();
    if (!reader.Take('{'))
        return std::nullopt;
    reader.SkipBlanks();
    if (!reader.Take('}')) {
        for (;;) {
            reader.SkipBlanks();
            auto name = reader.String();
            if (!name || object.size() >= kMaxJsonMembers)
                return std::nullopt;
            for (const auto& member : object)
                if (member.first == *name)
                    return std::nullopt;
            reader.SkipBlanks();
            if (!reader.Take(':'))
                return std::nullopt;
            reader.SkipBlanks();
            JsonScalar value;
            const char next = reader.Peek();
            if (next == '"') {
                auto string = reader.String();
                if (!string)
                    return std::nullopt;
                value = std::move(*string);
            } else if (next == '-' || (next >= '0' && next <= '9')) {
                auto number = reader.Number();
                if (!number)
                    return std::nullopt;
                value = *number;
            } else if (reader.TakeWord("true")) {
                value = true;
            } else if (reader.TakeWord("false")) {
                value = false;
            } else if (reader.TakeWord("null")) {
                value = JsonNull{};
            } else {
                return std::nullopt;
            }
            object.emplace_back(std::move(*name), std::move(value));
            reader.SkipBlanks();
            if (reader.Take('}'))
                break;
            if (!reader.Take(','))
                return std::nullopt;
        }
    }
    reader.SkipBlanks();
    if (!reader.AtEnd())
        return std::nullopt;
    return object;
}

const std::string* JsonString(const JsonFlatObject& object, std::string_view name)
{
    for (const auto& [key, value] : object)
        if (key == name)
            return std::get_if<std::string>(&value);
    return nullptr;
}

std::optional<std::int64_t> JsonWhole(const JsonFlatObject& object, std::string_view name)
{
    for (const auto& [key, value] : object)
        if (key == name)
            if (const auto* number = std::get_if<JsonNumber>(&value))
                return number->whole;
    return std::nullopt;
}

}  // namespace vantora
