#pragma once
// The head of one HTTP/1.x request (request line and header fields), parsed from the bytes a
// client sent so far, with the limits one client may cost.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantora {

inline constexpr std::size_t kMaxRequestHeadBytes = 16 * 1024;  // request line + fields + blank line
inline constexpr std::size_t kMaxRequestBodyBytes = 4 * 1024;
inline constexpr std::size_t kMaxHeaderFields = 100;

struct HttpRequest {
    std::string method;                                       // "GET", "POST", ...
    std::string target;                                       // as sent: "/", "/api/login", "/static/app.js?v=2"
    int minorVersion = 1;                                     // HTTP/1.<minorVersion>
    std::vector<std::pair<std::string, std::string>> fields;  // names in lower case, values trimmed
    std::size_t contentLength = 0;
    std::size_t headBytes = 0;  // bytes of the head, blank line included; the body follows

    // The value of the first field named `lowerName`, if any.
    std::optional<std::string_view> Field(std::string_view lowerName) const;
    // The target without its query ("/static/app.js").
    std::string_view Path() const;
};

enum class HeadStatus {
    Incomplete,  // no blank line yet and still within the limit: wait for more bytes
    Complete,
    TooLarge,        // the head exceeds kMaxRequestHeadBytes (431), or too many fields
    Malformed,       // not HTTP/1.x as this server takes it (400)
    NotImplemented,  // a Transfer-Encoding (chunked bodies are not taken): 501
};

struct HeadResult {
    HeadStatus status = HeadStatus::Incomplete;
    HttpRequest request;  // filled when Complete
};

// `bytes`: what arrived so far from the start of the request. Lines end in CRLF; a field line
// starting with a blank (obsolete folding), a field name that is not a token, a bad or repeated
// Content-Length, or a control character in a value make the request Malformed.
HeadResult ParseRequestHead(std::string_view bytes);

// The value of cookie `name` in a Cookie field ("a=1; vantora_session=xyz"), if present.
std::optional<std::string_view> CookieValue(std::string_view cookieField, std::string_view name);

}  // namespace vantora
