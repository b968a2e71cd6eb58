#include "web/http_response.h"

#include "web/json_text.h"

namespace vantora {

std::string_view ReasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 413: return "Content Too Large";
    case 415: return "Unsupported Media Type";
    case 429: return "Too Many Requests";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 503: return "Service Unavailable";
    default: return "Error";
    }
}

std::string BuildReply(const HttpReply& reply)
{
    std::string text =
        "HTTP/1.1 " + std::to_string(reply.status) + " " + std::string(ReasonPhrase(reply.status)) + "\r\n";
    text += "Connection: close\r\n";
    text += "Content-Security-Policy: default-src 'self'\r\n";
    text += "X-Content-Type-Options: nosniff\r\n";
    text += "Referrer-Policy: no-referrer\r\n";
    text += "X-Frame-Options: DENY\r\n";
    if (reply.api)
        text += "Cache-Control: no-store\r\n";
    if (!reply.contentType.empty())
        text += "Content-Type: " + reply.contentType + "\r\n";
    text += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    for (const std::string& field : reply.extraFields)
        text += field + "\r\n";
    text += "\r\n";
    text += reply.body;
    return text;
}

HttpReply JsonReply(int status, std::string body)
{
    HttpReply reply;
    reply.status = status;
    reply.contentType = "application/json";
    reply.body = std::move(body);
    reply.api = true;
    return reply;
}

HttpReply ErrorReply(int status, std::string_view text)
{
    return JsonReply(status, "{\"error\":" + JsonQuote(text) + "}");
}

std::string SessionCookieField(std::string_view sessionId, bool secure)
{
    std::string field = "Set-Cookie: " + std::string(kSessionCookieName) + "=" + std::string(sessionId)
                        + "; HttpOnly; SameSite=Strict; Path=/";
    if (secure)
        field += "; Secure";
    return field;
}

std::string ClearedSessionCookieField(bool secure)
{
    return SessionCookieField("", secure) + "; Max-Age=0";
}

}  // namespace vantora
