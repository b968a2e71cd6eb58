#pragma once
// Where one HTTP request of the web console goes: a page file from the program's resources, one
// of the API's addresses, the live WebSocket, or nowhere.

#include "web/http_request.h"

#include <optional>
#include <string>
#include <string_view>

namespace vantora {

enum class WebRouteKind { File, Texts, Session, Login, Logout, Live, NotFound, MethodNotAllowed };

struct WebRoute {
    WebRouteKind kind = WebRouteKind::NotFound;
    std::string file;  // File: the path below the resources' web folder ("index.html", "static/app.js")
    bool operator==(const WebRoute&) const = default;
};

WebRoute RouteRequest(const HttpRequest& request);

// The resource path of a page address: "/" is "index.html"; otherwise one or more segments of
// letters, digits, '.', '_' and '-', none starting with '.', separated by single slashes. A
// percent sign (an encoded slash or dot), a backslash, "..", an empty segment or a path that is
// not below "/" is no file.
std::optional<std::string> PageFilePath(std::string_view path);

// The Content-Type of a page file by its ending; "application/octet-stream" for others.
std::string_view PageContentType(std::string_view file);

// True when `origin` (the Origin field of a WebSocket upgrade) is the origin the page was served
// from: the same host and port as the request's Host field (letters compared without case, the
// scheme's default port may be left out on either side), with scheme "https" under TLS, and
// "http" or "https" without it (behind a TLS proxy the page is https while this server is not).
bool OriginMatchesHost(std::string_view origin, std::string_view host, bool tls);

}  // namespace vantora
