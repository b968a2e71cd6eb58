// Port 1023's byte stream cut into messages by their layout: merged messages are each taken, a
// split one is put together, and one message per write comes out as before.
#include "track/tcp_framer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vantora;

namespace {

struct FramerCase {
    const char* name;
    std::vector<std::string> writes;    // fed one after another
    std::vector<std::string> messages;  // all that came out
    std::string pending;                // left waiting at the end
};

TEST(TcpMessageFramer, CutsTheStreamByTheMessagesLayout)
{
    const FramerCase cases[] = {
        // One message per write: as before.
        {"a query", {"$00"}, {"$00"}, ""},
        {"a set with its @", {"$01#123@"}, {"$01#123"}, ""},
        {"a set without @, any fourth byte", {"$01x045"}, {"$01x045"}, ""},
        {"a query with trailing bytes", {"$00abcdefg"}, {"$00"}, ""},
        {"above 360 is still one (refused) message", {"$01#361"}, {"$01#361"}, ""},
        {"a non-digit: no message", {"$01#1a3@"}, {}, ""},
        {"no dollar at all", {std::string("\x00\xff\x01", 3)}, {}, ""},
        {"$02", {"$02"}, {}, ""},
        // Merged.
        {"query then set", {"$00$01#123@"}, {"$00", "$01#123"}, ""},
        {"set then query", {"$01#124@$00"}, {"$01#124", "$00"}, ""},
        {"two queries", {"$00$00"}, {"$00", "$00"}, ""},
        {"burst with filler", {"$00xxxxxxx$01#123@xx$00"}, {"$00", "$01#123", "$00"}, ""},
        // Split.
        {"set split after #", {"$01#", "125@"}, {"$01#125"}, ""},
        {"split byte by byte", {"$", "0", "1", "#", "1", "2", "6"}, {"$01#126"}, ""},
        {"query split", {"$0", "0"}, {"$00"}, ""},
        {"unfinished waits", {"$01#12"}, {}, "$01#12"},
        {"an unfinished set cut short by a query", {"$01#", "$00"}, {"$00"}, ""},
        {"a dollar alone waits", {"xx$"}, {}, "$"},
        {"junk before a message is skipped", {"#!$00"}, {"$00"}, ""},
        {"a false start, then a message", {"$0$01#007"}, {"$01#007"}, ""},
    };
    for (const FramerCase& c : cases) {
        TcpMessageFramer framer;
        std::vector<std::string> messages;
        for (const std::string& w : c.writes)
            for (std::string& m : framer.Feed(w))
                messages.push_back(std::move(m));
        EXPECT_EQ(messages, c.messages) << c.name;
        EXPECT_EQ(framer.pending(), c.pending) << c.name;
    }
}

TEST(TcpMessageFramer, KeepsNoMoreThanOneUnfinishedMessage)
{
    TcpMessageFramer framer;
    std::string flood;
    for (int i = 0; i < 1000; ++i)
        flood += "$01#12";  // never finished: each next "$" shows the one before is none
    EXPECT_TRUE(framer.Feed(flood).empty());
    EXPECT_EQ(framer.pending(), "$01#12");
    EXPECT_EQ(framer.Feed("3"), std::vector<std::string>{"$01#123"});
    EXPECT_EQ(framer.pending(), "");
}

}  // namespace
