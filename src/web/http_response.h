#pragma once
// The bytes of one HTTP reply of the web console: status line, the security fields every reply
// carries, the body's type and length, and the session cookie.

#include <string>
#include <string_view>
#include <vector>

namespace vantora {

inline constexpr std::string_view kSessionCookieName = "vantora_session";

struct HttpReply {
    int status = 200;
    std::string contentType;  // empty: no body type (a reply without a body)
    std::string body;
    bool api = false;                      // an API reply: also Cache-Control: no-store
    std::vector<std::string> extraFields;  // whole field lines without CRLF ("Set-Cookie: ...")
};

// "OK", "Not Found", ... for the statuses this server sends; "Error" for any other.
std::string_view ReasonPhrase(int status);

// The reply as sent: HTTP/1.1, Connection: close, Content-Length, and on every reply
// Content-Security-Policy: default-src 'self', X-Content-Type-Options: nosniff,
// Referrer-Policy: no-referrer and X-Frame-Options: DENY.
std::string BuildReply(const HttpReply& reply);

// An API reply with a JSON body.
HttpReply JsonReply(int status, std::string body);
// {"error":"<text>"} as an API reply.
HttpReply ErrorReply(int status, std::string_view text);

// "Set-Cookie: vantora_session=<id>; HttpOnly; SameSite=Strict; Path=/" (+ "; Secure" under TLS).
std::string SessionCookieField(std::string_view sessionId, bool secure);
// The same cookie emptied and expired at once (Max-Age=0).
std::string ClearedSessionCookieField(bool secure);

}  // namespace vantora
