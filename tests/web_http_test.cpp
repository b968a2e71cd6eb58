// The web console's HTTP side without sockets: the request head's parser and its limits, the
// cookie, where a request goes (page files, the API, traversal), the Origin rule and the reply's
// fields.
#include "web/http_request.h"
#include "web/http_response.h"
#include "web/web_route.h"

#include <gtest/gtest.h>

#include <string>

namespace vantora {
namespace {

struct HeadCase {
    const char* name;
    std::string bytes;
    HeadStatus status;
};

TEST(HttpRequestHead, StatusOfEachKindOfHead)
{
    const std::string big(kMaxRequestHeadBytes, 'a');
    const std::string longField =
        "GET / HTTP/1.1\r\nX-Pad: " + std::string(kMaxRequestHeadBytes - 30, 'p') + "\r\n\r\n";
    std::string manyFields = "GET / HTTP/1.1\r\n";
    for (std::size_t i = 0; i <= kMaxHeaderFields; ++i)
        manyFields += "X-" + std::to_string(i) + ": 1\r\n";
    manyFields += "\r\n";
    const HeadCase cases[] = {
        {"whole", "GET / HTTP/1.1\r\nHost: a\r\n\r\n", HeadStatus::Complete},
        {"no fields", "GET / HTTP/1.0\r\n\r\n", HeadStatus::Complete},
        {"body follows", "POST /api/login HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc", HeadStatus::Complete},
        {"half a line", "GET / HTT", HeadStatus::Incomplete},
        {"no blank line yet", "GET / HTTP/1.1\r\nHost: a\r\n", HeadStatus::Incomplete},
        {"nothing", "", HeadStatus::Incomplete},
        {"16 KiB without an end", big, HeadStatus::TooLarge},
        {"end just past 16 KiB", longField.substr(0, 10) + std::string(kMaxRequestHeadBytes, 'x') + "\r\n\r\n",
         HeadStatus::TooLarge},
        {"field just within", longField, HeadStatus::Complete},
        {"too many fields", manyFields, HeadStatus::TooLarge},
        {"bare LF", "GET / HTTP/1.1\nHost: a\n\n", HeadStatus::Incomplete},
        {"HTTP/2", "GET / HTTP/2.0\r\n\r\n", HeadStatus::Malformed},
        {"HTTP/0.9 line", "GET /\r\n\r\n", HeadStatus::Malformed},
        {"lower-case version", "GET / http/1.1\r\n\r\n", HeadStatus::Malformed},
        {"blank in target", "GET /a b HTTP/1.1\r\n\r\n", HeadStatus::Malformed},
        {"control in target", "GET /a\x01 HTTP/1.1\r\n\r\n", HeadStatus::Malformed},
        {"two blanks", "GET  / HTTP/1.1\r\n\r\n", HeadStatus::Malformed},
        {"method not a token", "G(T / HTTP/1.1\r\n\r\n", HeadStatus::Malformed},
        {"field without colon", "GET / HTTP/1.1\r\nHost\r\n\r\n", HeadStatus::Malformed},
        {"folded field", "GET / HTTP/1.1\r\nHost: a\r\n b\r\n\r\n", HeadStatus::Malformed},
        {"blank before colon", "GET / HTTP/1.1\r\nHost : a\r\n\r\n", HeadStatus::Malformed},
        {"NUL in value", std::string("GET / HTTP/1.1\r\nHost: a\0b\r\n\r\n", 29), HeadStatus::Malformed},
        {"length not digits", "POST / HTTP/1.1\r\nContent-Length: 1x\r\n\r\n", HeadStatus::Malformed},
        {"negative length", "POST / HTTP/1.1\r\nContent-Length: -1\r\n\r\n", HeadStatus::Malformed},
        {"empty length", "POST / HTTP/1.1\r\nContent-Length:\r\n\r\n", HeadStatus::Malformed},
        {"huge length", "POST / HTTP/1.1\r\nContent-Length: 99999999999\r\n\r\n", HeadStatus::Malformed},
        {"two lengths", "POST / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 1\r\n\r\n", HeadStatus::Malformed},
        {"chunked", "POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", HeadStatus::NotImplemented},
    };
    for (const HeadCase& c : cases)
        EXPECT_EQ(ParseRequestHead(c.bytes).status, c.status) << c.name;
}

TEST(HttpRequestHead, FieldsTargetAndLengths)
{
    const std::string bytes =
        "POST /api/login?x=1 HTTP/1.1\r\nHOST:  example.org:8733 \r\ncontent-LENGTH: 12\r\nCookie: "
        "a=1\r\n\r\n{\"password\"";
    const HeadResult head = ParseRequestHead(bytes);
    ASSERT_EQ(head.status, HeadStatus::Complete);
    const HttpRequest& r = head.request;
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.target, "/api/login?x=1");
    EXPECT_EQ(r.Path(), "/api/login");
    EXPECT_EQ(r.minorVersion, 1);
    EXPECT_EQ(r.Field("host"), "example.org:8733");
    EXPECT_EQ(r.Field("cookie"), "a=1");
    EXPECT_EQ(r.Field("origin"), std::nullopt);
    EXPECT_EQ(r.contentLength, 12u);
    EXPECT_EQ(r.headBytes, bytes.find("{"));
}

TEST(HttpRequestHead, CookieValue)
{
    struct Case {
        const char* field;
        std::optional<std::string> value;
    } cases[] = {
        {"vantora_session=abc", "abc"},
        {"a=1; vantora_session=abc; b=2", "abc"},
        {"a=1;vantora_session= abc ", "abc"},
        {"xvantora_session=abc", std::nullopt},
        {"vantora_session", std::nullopt},
        {"", std::nullopt},
        {"vantora_session=", ""},
        {";;;", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto value = CookieValue(c.field, "vantora_session");
        EXPECT_EQ(value ? std::optional<std::string>(std::string(*value)) : std::nullopt, c.value) << c.field;
    }
}

TEST(WebRoute, WhereEachRequestGoes)
{
    struct Case {
        const char* method;
        const char* target;
        WebRouteKind kind;
        const char* file;
    } cases[] = {
        {"GET", "/", WebRouteKind::File, "index.html"},
        {"GET", "/?lang=cs", WebRouteKind::File, "index.html"},
        {"GET", "/static/app.js", WebRouteKind::File, "static/app.js"},
        {"GET", "/style.css", WebRouteKind::File, "style.css"},
        {"GET", "/api/texts", WebRouteKind::Texts, ""},
        {"GET", "/api/session", WebRouteKind::Session, ""},
        {"POST", "/api/login", WebRouteKind::Login, ""},
        {"POST", "/api/logout", WebRouteKind::Logout, ""},
        {"GET", "/api/live", WebRouteKind::Live, ""},
        {"GET", "/api/login", WebRouteKind::MethodNotAllowed, ""},
        {"POST", "/api/texts", WebRouteKind::MethodNotAllowed, ""},
        {"PUT", "/", WebRouteKind::MethodNotAllowed, ""},
        {"GET", "/api/other", WebRouteKind::NotFound, ""},
        {"GET", "/api", WebRouteKind::NotFound, ""},
        // Traversal and everything that is not a plain resource name.
        {"GET", "/../etc/passwd", WebRouteKind::NotFound, ""},
        {"GET", "/static/../index.html", WebRouteKind::NotFound, ""},
        {"GET", "/static/..", WebRouteKind::NotFound, ""},
        {"GET", "/static/%2e%2e/index.html", WebRouteKind::NotFound, ""},
        {"GET", "/static%2findex.html", WebRouteKind::NotFound, ""},
        {"GET", "/static%2Findex.html", WebRouteKind::NotFound, ""},
        {"GET", "/static%5cindex.html", WebRouteKind::NotFound, ""},
        {"GET", "/static\\index.html", WebRouteKind::NotFound, ""},
        {"GET", "//etc/passwd", WebRouteKind::NotFound, ""},
        {"GET", "/static//app.js", WebRouteKind::NotFound, ""},
        {"GET", "/static/", WebRouteKind::NotFound, ""},
        {"GET", "/.hidden", WebRouteKind::NotFound, ""},
        {"GET", "http://host/index.html", WebRouteKind::NotFound, ""},
        {"GET", "*", WebRouteKind::NotFound, ""},
        {"GET", "/c:/windows", WebRouteKind::NotFound, ""},
        {"GET", "/:/web/index.html", WebRouteKind::NotFound, ""},
    };
    for (const Case& c : cases) {
        HttpRequest request;
        request.method = c.method;
        request.target = c.target;
        const WebRoute route = RouteRequest(request);
        EXPECT_EQ(route.kind, c.kind) << c.method << " " << c.target;
        EXPECT_EQ(route.file, c.file) << c.method << " " << c.target;
    }
}

TEST(WebRoute, ContentTypes)
{
    EXPECT_EQ(PageContentType("index.html"), "text/html; charset=utf-8");
    EXPECT_EQ(PageContentType("static/app.js"), "text/javascript; charset=utf-8");
    EXPECT_EQ(PageContentType("a.css"), "text/css; charset=utf-8");
    EXPECT_EQ(PageContentType("dial.svg"), "image/svg+xml");
    EXPECT_EQ(PageContentType("noending"), "application/octet-stream");
}

TEST(WebRoute, OriginAgainstHost)
{
    struct Case {
        const char* origin;
        const char* host;
        bool tls;
        bool matches;
    } cases[] = {
        {"http://127.0.0.1:8733", "127.0.0.1:8733", false, true},
        {"http://LOCALHOST:8733", "localhost:8733", false, true},
        {"https://shack.example.org", "shack.example.org", false, true},  // a TLS proxy in front
        {"https://shack.example.org:443", "shack.example.org", true, true},
        {"http://shack.example.org:80", "shack.example.org", false, true},
        {"https://127.0.0.1:8733", "127.0.0.1:8733", true, true},
        {"http://127.0.0.1:8733", "127.0.0.1:8733", true, false},  // not the page of a TLS server
        {"http://evil.example:8733", "127.0.0.1:8733", false, false},
        {"http://127.0.0.1:8734", "127.0.0.1:8733", false, false},
        {"http://127.0.0.1", "127.0.0.1:8733", false, false},
        {"null", "127.0.0.1:8733", false, false},
        {"", "127.0.0.1:8733", false, false},
        {"http://127.0.0.1:8733/", "127.0.0.1:8733", false, false},
        {"ws://127.0.0.1:8733", "127.0.0.1:8733", false, false},
        {"http://127.0.0.1:8733", "", false, false},
        {"http://[::1]:8733", "[::1]:8733", false, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OriginMatchesHost(c.origin, c.host, c.tls), c.matches) << c.origin << " vs " << c.host;
}

TEST(HttpReply, SecurityFieldsOnEveryReplyAndNoStoreOnTheApi)
{
    HttpReply page;
    page.contentType = "text/html; charset=utf-8";
    page.body = "<p>x</p>";
    const std::string pageBytes = BuildReply(page);
    const std::string apiBytes = BuildReply(ErrorReply(401, "wrong password"));
    for (const std::string& bytes : {pageBytes, apiBytes}) {
        EXPECT_NE(bytes.find("\r\nContent-Security-Policy: default-src 'self'\r\n"), std::string::npos);
        EXPECT_NE(bytes.find("\r\nX-Content-Type-Options: nosniff\r\n"), std::string::npos);
        EXPECT_NE(bytes.find("\r\nReferrer-Policy: no-referrer\r\n"), std::string::npos);
        EXPECT_NE(bytes.find("\r\nX-Frame-Options: DENY\r\n"), std::string::npos);
        EXPECT_EQ(bytes.find("Access-Control"), std::string::npos);
    }
    EXPECT_EQ(pageBytes.substr(0, 17), "HTTP/1.1 200 OK\r\n");
    EXPECT_EQ(pageBytes.find("Cache-Control"), std::string::npos);
    EXPECT_NE(pageBytes.find("\r\nContent-Length: 8\r\n\r\n<p>x</p>"), std::string::npos);
    EXPECT_EQ(apiBytes.substr(0, 26), "HTTP/1.1 401 Unauthorized\r");
    EXPECT_NE(apiBytes.find("\r\nCache-Control: no-store\r\n"), std::string::npos);
    EXPECT_NE(apiBytes.find("\r\nContent-Type: application/json\r\n"), std::string::npos);
    EXPECT_NE(apiBytes.find("\r\n\r\n{\"error\":\"wrong password\"}"), std::string::npos);
}

TEST(HttpReply, SessionCookie)
{
    EXPECT_EQ(SessionCookieField("abc", false), "Set-Cookie: vantora_session=abc; HttpOnly; SameSite=Strict; Path=/");
    EXPECT_EQ(SessionCookieField("abc", true),
              "Set-Cookie: vantora_session=abc; HttpOnly; SameSite=Strict; Path=/; Secure");
    EXPECT_EQ(ClearedSessionCookieField(false),
              "Set-Cookie: vantora_session=; HttpOnly; SameSite=Strict; Path=/; Max-Age=0");
    EXPECT_EQ(ClearedSessionCookieField(true),
              "Set-Cookie: vantora_session=; HttpOnly; SameSite=Strict; Path=/; Secure; Max-Age=0");
}

}  // namespace
}  // namespace vantora
