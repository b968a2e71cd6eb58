// Any bytes as the start of an HTTP request to the web console: the head parser never crashes,
// a complete head lies within the limit and within the bytes given, its fields are lower-case
// tokens, adding bytes after a complete head changes nothing, and whatever the target, a page
// file path stays below the web folder (no "..", no empty segment, no percent or backslash).
#include "web/http_request.h"
#include "web/web_route.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckFile(const std::string& file)
{
    Check(!file.empty() && file.front() != '/');
    Check(file.find("//") == std::string::npos);
    Check(file.find('%') == std::string::npos && file.find('\\') == std::string::npos);
    Check(file.front() != '.' && file.find("/.") == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const vantora::HeadResult head = vantora::ParseRequestHead(bytes);
    if (head.status == vantora::HeadStatus::Complete) {
        const vantora::HttpRequest& request = head.request;
        Check(request.headBytes <= bytes.size() && request.headBytes <= vantora::kMaxRequestHeadBytes);
        Check(bytes.substr(request.headBytes - 4, 4) == "\r\n\r\n");
        Check(request.fields.size() <= vantora::kMaxHeaderFields);
        for (const auto& [name, value] : request.fields)
            for (const char c : name)
                Check(!(c >= 'A' && c <= 'Z') && c != ':' && c != ' ');
        // What follows the head (a body, the next request) does not change the head.
        const std::string longer = std::string(bytes) + "\r\n\r\nGET /x HTTP/1.1\r\n\r\n";
        const vantora::HeadResult again = vantora::ParseRequestHead(longer);
        Check(again.status == head.status && again.request.target == request.target
              && again.request.headBytes == request.headBytes && again.request.fields == request.fields);
        const vantora::WebRoute route = vantora::RouteRequest(request);
        if (route.kind == vantora::WebRouteKind::File)
            CheckFile(route.file);
        if (const auto cookie = request.Field("cookie"))
            (void)vantora::CookieValue(*cookie, "vantora_session");
        if (const auto origin = request.Field("origin"))
            (void)vantora::OriginMatchesHost(*origin, request.Field("host").value_or(""), size % 2 == 0);
    } else if (head.status == vantora::HeadStatus::Incomplete) {
        Check(bytes.size() < vantora::kMaxRequestHeadBytes);
    }
    // Any text as a page address.
    if (const auto file = vantora::PageFilePath(bytes); file && *file != "index.html")
        CheckFile(*file);
    return 0;
}
