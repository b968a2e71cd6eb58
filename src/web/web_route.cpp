#include "web/web_route.h"

#include <algorithm>

namespace vantora {

namespace {

bool IsNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_'
           || c == '-';
}

bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

// "host:port" with the scheme's default port removed, in lower case.
std::string Authority(std::string_view authority, std::string_view defaultPort)
{
    std::string lower = Lower(authority);
    const std::string suffix = ":" + std::string(defaultPort);
    if (EndsWith(lower, suffix))
        lower.resize(lower.size() - suffix.size());
    return lower;
}

}  // namespace

std::optional<std::string> PageFilePath(std::string_view path)
{
    if (path == "/")
        return std::string("index.html");
    if (path.size() < 2 || path.front() != '/')
        return std::nullopt;
    std::string_view rest = path.substr(1);
    while (true) {
        const std::size_t slash = rest.find('/');
        const std::string_view segment = rest.substr(0, slash);
        if (segment.empty() || segment.front() == '.' || !std::all_of(segment.begin(), segment.end(), IsNameChar))
            return std::nullopt;
        if (slash == std::string_view::npos)
            break;
        rest.remove_prefix(slash + 1);
    }
    return std::string(path.substr(1));
}

std::string_view PageContentType(std::string_view file)
{
    if (EndsWith(file, ".html"))
        return "text/html; charset=utf-8";
    if (EndsWith(file, ".js") || EndsWith(file, ".mjs"))
        return "text/javascript; charset=utf-8";
    if (EndsWith(file, ".css"))
        return "text/css; charset=utf-8";
    if (EndsWith(file, ".svg"))
        return "image/svg+xml";
    if (EndsWith(file, ".png"))
        return "image/png";
    if (EndsWith(file, ".ico"))
        return "image/x-icon";
    if (EndsWith(file, ".json") || EndsWith(file, ".webmanifest"))
        return "application/json";
    if (EndsWith(file, ".txt"))
        return "text/plain; charset=utf-8";
    return "application/octet-stream";
}

WebRoute RouteRequest(const HttpRequest& request)
{
    const std::string_view path = request.Path();
    const bool get = request.method == "GET";
    const bool post = request.method == "POST";
    const auto api = [&](WebRouteKind kind, bool allowed) {
        return allowed ? WebRoute{kind, {}} : WebRoute{WebRouteKind::MethodNotAllowed, {}};
    };
    if (path == "/api/texts")
        return api(WebRouteKind::Texts, get);
    if (path == "/api/session")
        return api(WebRouteKind::Session, get);
    if (path == "/api/login")
        return api(WebRouteKind::Login, post);
    if (path == "/api/logout")
        return api(WebRouteKind::Logout, post);
    if (path == "/api/live")
        return api(WebRouteKind::Live, get);
    if (path == "/api" || path.substr(0, 5) == "/api/")
        return WebRoute{};
    auto file = PageFilePath(path);
    if (!file)
        return WebRoute{};
    if (!get)
        return WebRoute{WebRouteKind::MethodNotAllowed, {}};
    return WebRoute{WebRouteKind::File, std::move(*file)};
}

bool OriginMatchesHost(std::string_view origin, std::string_view host, bool tls)
{
    if (host.empty())
        return false;
    std::string_view scheme;
    std::string_view defaultPort;
    const std::string lowerOrigin = Lower(origin);
    std::string_view rest(lowerOrigin);
    if (rest.substr(0, 8) == "https://") {
        scheme = "https";
        defaultPort = "443";
        rest.remove_prefix(8);
    } else if (rest.substr(0, 7) == "http://" && !tls) {
        scheme = "http";
        defaultPort = "80";
        rest.remove_prefix(7);
    } else {
        return false;
    }
    if (rest.empty() || rest.find('/') != std::string_view::npos)
        return false;
    return Authority(rest, defaultPort) == Authority(host, defaultPort);
}

}  // namespace vantora
