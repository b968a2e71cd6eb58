// Who may use the web console and how much: the session table, the login limiter, the command
// rate, the hand drive's hold, the rules for a new password and the stored settings.
#include "support/fake_settings_store.h"
#include "web/command_rate.h"
#include "web/jog_hold.h"
#include "web/login_limiter.h"
#include "web/new_password.h"
#include "web/session_table.h"
#include "web/web_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace vantora {
namespace {

constexpr std::int64_t kHour = 60LL * 60 * 1000;
constexpr std::int64_t kMinute = 60LL * 1000;

TEST(SessionTable, UseExpiryAndRemoval)
{
    SessionTable table;
    EXPECT_EQ(table.Add("op", WebRole::Operator, 0), std::nullopt);
    EXPECT_EQ(table.Add("view", WebRole::Viewer, 0), std::nullopt);
    struct Step {
        const char* what;
        const char* id;
        std::int64_t at;
        std::optional<WebRole> role;
    } steps[] = {
        {"operator", "op", 1, WebRole::Operator},
        {"viewer", "view", 1, WebRole::Viewer},
        {"unknown id", "nobody", 1, std::nullopt},
        {"empty id", "", 1, std::nullopt},
        {"prefix of an id", "o", 1, std::nullopt},
        {"used just before 12 h", "op", 12 * kHour, WebRole::Operator},  // 12 h after the first use
        {"viewer idle 12 h", "view", 12 * kHour + 1, std::nullopt},
        {"operator used again", "op", 24 * kHour - 1, WebRole::Operator},
    };
    for (const Step& s : steps)
        EXPECT_EQ(table.Use(s.id, s.at), s.role) << s.what;
    EXPECT_EQ(table.Peek("op", 36 * kHour - 2), WebRole::Operator);
    EXPECT_EQ(table.Peek("op", 36 * kHour - 1), std::nullopt);  // a peek is not a use
    EXPECT_EQ(table.Expire(36 * kHour), std::vector<std::string>({"op", "view"}));
    EXPECT_EQ(table.size(), 0u);

    table.Add("a", WebRole::Operator, 0);
    table.Add("b", WebRole::Viewer, 0);
    table.Add("c", WebRole::Viewer, 0);
    EXPECT_TRUE(table.Remove("a"));
    EXPECT_FALSE(table.Remove("a"));
    EXPECT_EQ(table.Use("a", 1), std::nullopt);
    EXPECT_EQ(table.RemoveRole(WebRole::Viewer), std::vector<std::string>({"b", "c"}));
    EXPECT_EQ(table.size(), 0u);
}

TEST(SessionTable, AtMost64AndTheLongestUnusedGoesFirst)
{
    SessionTable table;
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(table.Add("s" + std::to_string(i), WebRole::Viewer, i), std::nullopt);
    EXPECT_EQ(table.size(), 64u);
    ASSERT_TRUE(table.Use("s0", 100));  // s0 is the oldest but was just used
    EXPECT_EQ(table.Add("new1", WebRole::Operator, 101), "s1");
    EXPECT_EQ(table.Add("new2", WebRole::Operator, 102), "s2");
    EXPECT_EQ(table.size(), 64u);
    EXPECT_EQ(table.Use("s1", 103), std::nullopt);
    EXPECT_EQ(table.Use("s0", 103), WebRole::Viewer);
    EXPECT_EQ(table.Use("new1", 103), WebRole::Operator);
    // An expired session makes room before anyone active is pushed out.
    EXPECT_EQ(table.Add("late", WebRole::Viewer, 12 * kHour + 3), std::nullopt);
    EXPECT_EQ(table.size(), 64u);
    EXPECT_EQ(table.Peek("s3", 12 * kHour + 3), std::nullopt);
    EXPECT_EQ(table.Peek("s4", 12 * kHour + 3), WebRole::Viewer);
}

TEST(SessionTable, ConstantTimeEqual)
{
    EXPECT_TRUE(ConstantTimeEqual("abc", "abc"));
    EXPECT_TRUE(ConstantTimeEqual("", ""));
    EXPECT_FALSE(ConstantTimeEqual("abc", "abd"));
    EXPECT_FALSE(ConstantTimeEqual("abc", "ab"));
    EXPECT_FALSE(ConstantTimeEqual("bbc", "abc"));
}

TEST(LoginLimiter, FiveFailuresWithinTenMinutesBlockForTenMinutes)
{
    LoginLimiter limiter;
    const std::string a = "192.168.1.20";
    const std::string b = "192.168.1.21";
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(limiter.Begin(a, i * kMinute)) << i;
        limiter.End(a, false, i * kMinute);
    }
    // A success neither blocks nor wipes the failures.
    ASSERT_TRUE(limiter.Begin(a, 5 * kMinute));
    limiter.End(a, true, 5 * kMinute);
    ASSERT_TRUE(limiter.Begin(a, 6 * kMinute));
    limiter.End(a, false, 6 * kMinute);  // the fifth failure within 10 minutes
    EXPECT_TRUE(limiter.Blocked(a, 6 * kMinute));
    EXPECT_FALSE(limiter.Begin(a, 6 * kMinute + 1));
    EXPECT_FALSE(limiter.Begin(a, 16 * kMinute - 1));
    EXPECT_TRUE(limiter.Begin(b, 7 * kMinute)) << "another address is not blocked";
    limiter.End(b, false, 7 * kMinute);
    EXPECT_TRUE(limiter.Begin(a, 16 * kMinute)) << "10 minutes later";
    limiter.End(a, false, 16 * kMinute);
    EXPECT_FALSE(limiter.Blocked(a, 16 * kMinute)) << "the count starts again after a block";
}

TEST(LoginLimiter, FailuresOlderThanTenMinutesDoNotCount)
{
    LoginLimiter limiter;
    const std::string a = "::1";
    for (int i = 0; i < 12; ++i) {
        const std::int64_t at = i * 3 * kMinute;  // one failure every 3 minutes: at most 4 in a window
        ASSERT_TRUE(limiter.Begin(a, at)) << i;
        limiter.End(a, false, at);
    }
    EXPECT_FALSE(limiter.Blocked(a, 36 * kMinute));
}

TEST(LoginLimiter, LoginsInProgressCountAsFailures)
{
    LoginLimiter limiter;
    const std::string a = "10.0.0.1";
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(limiter.Begin(a, 0)) << i;
    EXPECT_FALSE(limiter.Begin(a, 0)) << "a sixth at once";
    limiter.End(a, true, 1);
    EXPECT_TRUE(limiter.Begin(a, 1)) << "one ended well: room for one more";
    for (int i = 0; i < 5; ++i)
        limiter.End(a, false, 2);
    EXPECT_TRUE(limiter.Blocked(a, 2));
}

TEST(LoginLimiter, RemembersABoundedNumberOfAddressesKeepingTheBlocked)
{
    LoginLimiter limiter;
    for (int i = 0; i < 5; ++i) {
        limiter.Begin("blocked", 0);
        limiter.End("blocked", false, 0);
    }
    for (std::size_t i = 0; i < LoginLimiter::kMaxAddresses + 100; ++i) {
        const std::string address = "a" + std::to_string(i);
        ASSERT_TRUE(limiter.Begin(address, 1));
        limiter.End(address, false, 1);
    }
    EXPECT_LE(limiter.addressCount(), LoginLimiter::kMaxAddresses);
    EXPECT_TRUE(limiter.Blocked("blocked", 2));
}

TEST(CommandRate, TwentyInAnySecond)
{
    CommandRate rate;
    for (int i = 0; i < 20; ++i)
        EXPECT_TRUE(rate.Take(i * 10)) << i;
    EXPECT_FALSE(rate.Take(200));
    EXPECT_FALSE(rate.Take(999));   // the first was at 0: still within its second
    EXPECT_TRUE(rate.Take(1000));   // the first is a second old
    EXPECT_FALSE(rate.Take(1005));  // the second (at 10) is not yet
    EXPECT_TRUE(rate.Take(1010));

    CommandRate steady;
    for (int i = 0; i < 200; ++i)
        EXPECT_TRUE(steady.Take(i * 50)) << "20 a second, evenly, " << i;
}

TEST(JogHold, PressRepeatReleaseAndTimeout)
{
    using D = JogDirection;
    JogHold jog;
    struct Step {
        const char* what;
        char action;  // 'p' press, 'r' release, 't' tick
        D direction;
        std::int64_t at;
        JogChange change;
    } steps[] = {
        {"first press", 'p', D::Cw, 0, {std::nullopt, D::Cw}},
        {"repeat", 'p', D::Cw, 150, {}},
        {"tick before 500 ms", 't', D::Cw, 649, {}},
        {"repeat at 249 ms", 'p', D::Cw, 399, {}},
        {"other direction", 'p', D::Up, 500, {D::Cw, D::Up}},
        {"release", 'r', D::Cw, 600, {D::Up, std::nullopt}},
        {"release again", 'r', D::Cw, 650, {}},
        {"tick with nothing held", 't', D::Cw, 2000, {}},
        {"press", 'p', D::Ccw, 3000, {std::nullopt, D::Ccw}},
        {"tick at 500 ms", 't', D::Ccw, 3500, {D::Ccw, std::nullopt}},
        {"press after the timeout", 'p', D::Ccw, 3600, {std::nullopt, D::Ccw}},
        {"late repeat", 'p', D::Ccw, 4100, {D::Ccw, D::Ccw}},
    };
    for (const Step& s : steps) {
        JogChange change;
        if (s.action == 'p')
            change = jog.Press(s.direction, s.at);
        else if (s.action == 'r')
            change.release = jog.Release();
        else
            change.release = jog.Tick(s.at);
        EXPECT_EQ(change, s.change) << s.what;
    }
    EXPECT_EQ(jog.Deadline(), 4600);
    jog.Release();
    EXPECT_EQ(jog.Deadline(), std::nullopt);
}

TEST(NewPassword, Rules)
{
    struct Case {
        WebRole role;
        const char* first;
        const char* second;
        NewPasswordCheck check;
    } cases[] = {
        {WebRole::Operator, "12345678", "12345678", NewPasswordCheck::Store},
        {WebRole::Operator, "1234567", "1234567", NewPasswordCheck::TooShort},
        {WebRole::Operator, "", "", NewPasswordCheck::TooShort},
        {WebRole::Operator, "12345678", "12345679", NewPasswordCheck::Mismatch},
        {WebRole::Viewer, "", "", NewPasswordCheck::RemoveViewer},
        {WebRole::Viewer, "", "x", NewPasswordCheck::Mismatch},
        {WebRole::Viewer, "short", "short", NewPasswordCheck::TooShort},
        {WebRole::Viewer, "čžřšěýáí", "čžřšěýáí", NewPasswordCheck::Store},   // 8 characters, 16 bytes
        {WebRole::Viewer, "čžřšěýá", "čžřšěýá", NewPasswordCheck::TooShort},  // 7 characters, 14 bytes
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckNewPassword(c.role, c.first, c.second), c.check) << c.first << "/" << c.second;
    EXPECT_EQ(ParseRoleName("operator"), WebRole::Operator);
    EXPECT_EQ(ParseRoleName("viewer"), WebRole::Viewer);
    EXPECT_EQ(ParseRoleName("Operator"), std::nullopt);
    EXPECT_EQ(ParseRoleName(""), std::nullopt);
}

TEST(WebSettings, DefaultsUnusableValuesAndTheEnvironmentPort)
{
    test::FakeSettingsStore store;
    EXPECT_EQ(LoadWebSettings(store), WebSettings{});
    EXPECT_FALSE(WebSettings{}.enabled);
    EXPECT_EQ(WebSettings{}.address, "127.0.0.1");
    EXPECT_EQ(WebSettings{}.port, 8733);
    EXPECT_EQ(LoadWebPasswordHashes(store), WebPasswordHashes{});

    store.WriteString("WebAddress", "192.168.1.5");  // not one of the three: loopback
    store.WriteInt("WebPort", 70000);
    store.WriteInt("WebEnabled", 1);
    store.WriteString("WebTlsCertificate", "/etc/vantora/cert.pem");
    const WebSettings read = LoadWebSettings(store);
    EXPECT_TRUE(read.enabled);
    EXPECT_EQ(read.address, "127.0.0.1");
    EXPECT_EQ(read.port, 8733);
    EXPECT_FALSE(read.tls());

    WebSettings wide{true, "::", 9000, "/c.pem", "/k.pem"};
    ASSERT_TRUE(SaveWebSettings(store, wide));
    EXPECT_EQ(LoadWebSettings(store), wide);
    EXPECT_TRUE(wide.tls());
    EXPECT_FALSE(wide.loopbackOnly());
    EXPECT_EQ(store.ReadInt("WebEnabled"), 1);
    EXPECT_EQ(store.ReadString("WebAddress"), "::");

    ASSERT_TRUE(SaveWebPasswordHash(store, WebRole::Operator, "$argon2id$op"));
    ASSERT_TRUE(SaveWebPasswordHash(store, WebRole::Viewer, "$argon2id$view"));
    EXPECT_EQ(store.ReadString("WebPasswordHash"), "$argon2id$op");
    EXPECT_EQ(store.ReadString("WebViewerPasswordHash"), "$argon2id$view");
    ASSERT_TRUE(SaveWebPasswordHash(store, WebRole::Viewer, ""));
    EXPECT_EQ(LoadWebPasswordHashes(store), (WebPasswordHashes{"$argon2id$op", ""}));

    EXPECT_EQ(EffectiveWebSettings(wide, std::string("8800")).port, 8800);
    EXPECT_EQ(EffectiveWebSettings(wide, std::string("0")).port, 0);
    EXPECT_EQ(EffectiveWebSettings(wide, std::string("port")).port, 9000);
    EXPECT_EQ(EffectiveWebSettings(wide, std::nullopt).port, 9000);
}

}  // namespace
}  // namespace vantora
