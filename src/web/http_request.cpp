#include "web/http_request.h"

#include "common/integer_text.h"

#include <algorithm>

namespace vantora {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHeadEnd = "\r\n\r\n";

bool IsTokenChar(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool IsToken(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), IsTokenChar);
}

// Visible ASCII in a request target: no blanks, no controls, no bytes above 0x7e.
bool IsTargetText(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c > 0x20 && c < 0x7f; });
}

bool IsFieldValueChar(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return c == '\t' || (byte >= 0x20 && byte != 0x7f);
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

bool ParseRequestLine(std::string_view line, HttpRequest& request)
{
    const std::size_t first = line.find(' ');
    if (first == std::string_view::npos)
        return false;
    const std::size_t second = line.find(' ', first + 1);
    if (second == std::string_view::npos)
        return false;
    const std::string_view method = line.substr(0, first);
    const std::string_view target = line.substr(first + 1, second - first - 1);
    const std::string_view version = line.substr(second + 1);
    if (!IsToken(method) || !IsTargetText(target))
        return false;
    if (version.size() != 8 || version.substr(0, 7) != "HTTP/1." || (version[7] != '0' && version[7] != '1'))
        return false;
    request.method = std::string(method);
    request.target = std::string(target);
    request.minorVersion = version[7] - '0';
    return true;
}

}  // namespace

std::optional<std::string_view> HttpRequest::Field(std::string_view lowerName) const
{
    for (const auto& [name, value] : fields)
        if (name == lowerName)
            return std::string_view(value);
    return std::nullopt;
}

std::string_view HttpRequest::Path() const
{
    const std::string_view whole(target);
    return whole.substr(0, whole.find('?'));
}

HeadResult ParseRequestHead(std::string_view bytes)
{
    HeadResult result;
    const std::size_t end = bytes.substr(0, kMaxRequestHeadBytes).find(kHeadEnd);
    if (end == std::string_view::npos) {
        // The blank line may still come within the limit; beyond it the head is too large.
        result.status = bytes.size() >= kMaxRequestHeadBytes ? HeadStatus::TooLarge : HeadStatus::Incomplete;
        return result;
    }
    HttpRequest& request = result.request;
    request.headBytes = end + kHeadEnd.size();
    std::string_view head = bytes.substr(0, end + kLineEnd.size());  // every line ends in CRLF

    result.status = HeadStatus::Malformed;
    std::size_t lineEnd = head.find(kLineEnd);
    if (!ParseRequestLine(head.substr(0, lineEnd), request))
        return result;
    head.remove_prefix(lineEnd + kLineEnd.size());

    bool sawLength = false;
    bool sawTransferEncoding = false;
    while (!head.empty()) {
        lineEnd = head.find(kLineEnd);
        const std::string_view line = head.substr(0, lineEnd);
        head.remove_prefix(lineEnd + kLineEnd.size());
        if (request.fields.size() >= kMaxHeaderFields) {
            result.status = HeadStatus::TooLarge;
            return result;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || !IsToken(line.substr(0, colon)))
            return result;  // also a folded line, which starts with a blank
        const std::string_view value = Trim(line.substr(colon + 1));
        if (!std::all_of(value.begin(), value.end(), IsFieldValueChar))
            return result;
        std::string name = Lower(line.substr(0, colon));
        if (name == "content-length") {
            const auto length = ParseDecimalDigits(value, 9, 999999999);
            if (!length || sawLength)
                return result;
            sawLength = true;
            request.contentLength = *length;
        } else if (name == "transfer-encoding") {
            sawTransferEncoding = true;
        }
        request.fields.emplace_back(std::move(name), std::string(value));
    }
    result.status = sawTransferEncoding ? HeadStatus::NotImplemented : HeadStatus::Complete;
    return result;
}

std::optional<std::string_view> CookieValue(std::string_view cookieField, std::string_view name)
{
    while (!cookieField.empty()) {
        const std::size_t semicolon = cookieField.find(';');
        const std::string_view pair = Trim(cookieField.substr(0, semicolon));
        cookieField.remove_prefix(semicolon == std::string_view::npos ? cookieField.size() : semicolon + 1);
        const std::size_t equals = pair.find('=');
        if (equals != std::string_view::npos && Trim(pair.substr(0, equals)) == name)
            return Trim(pair.substr(equals + 1));
    }
    return std::nullopt;
}

}  // namespace vantora
