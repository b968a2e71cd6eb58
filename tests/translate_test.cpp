// The English/Czech table against the reference pairs in tests/data/translations.tsv, and the
// lookup rules of Translate.
#include "settings/translate.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace vantora {
namespace {

struct ReferencePair {
    int number;
    std::string english;
    std::string czech;
};

// Lines "number<TAB>English<TAB>Czech"; lines starting with # are comments.
std::vector<ReferencePair> ReadReference()
{
    const char* source = std::getenv("VANTORA_SOURCE_DIR");
    if (source == nullptr) {
        ADD_FAILURE() << "VANTORA_SOURCE_DIR is not set (run through ctest)";
        return {};
    }
    std::ifstream file(std::string(source) + "/tests/data/translations.tsv", std::ios::binary);
    EXPECT_TRUE(file.is_open());
    std::vector<ReferencePair> pairs;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const auto first = line.find('\t');
        const auto second = line.find('\t', first + 1);
        EXPECT_NE(second, std::string::npos) << line;
        if (second == std::string::npos) {
            continue;
        }
        EXPECT_EQ(line.find('\t', second + 1), std::string::npos) << line;
        pairs.push_back({std::stoi(line.substr(0, first)), line.substr(first + 1, second - first - 1),
                         line.substr(second + 1)});
    }
    return pairs;
}

TEST(TranslationTable, EqualsTheReferencePairByPairInOrder)
{
    const std::vector<ReferencePair> reference = ReadReference();
    const auto table = TranslationTable();
    ASSERT_EQ(reference.size(), 57u);
    // Texts added since follow the reference pairs.
    ASSERT_GE(table.size(), reference.size());
    for (std::size_t i = 0; i < reference.size(); ++i) {
        EXPECT_EQ(reference[i].number, static_cast<int>(i) + 1);
        EXPECT_EQ(table[i].english, reference[i].english) << "pair " << i + 1;
        EXPECT_EQ(table[i].czech, reference[i].czech) << "pair " << i + 1;
    }
}

TEST(TranslationTable, NoKeyOccursTwice)
{
    std::set<std::string_view> keys;
    for (const TranslationPair& pair : TranslationTable()) {
        EXPECT_TRUE(keys.insert(pair.english).second) << '"' << pair.english << '"';
    }
}

TEST(Translate, CzechGivesEachPairsTextOtherLanguagesTheKey)
{
    for (const ReferencePair& pair : ReadReference()) {
        EXPECT_EQ(Translate(1, pair.english), pair.czech) << pair.number;
        for (const int language : {0, -1, 2}) {
            EXPECT_EQ(Translate(language, pair.english), pair.english) << pair.number << " in " << language;
        }
    }
}

TEST(Translate, BlanksAndCaseMustMatchExactly)
{
    EXPECT_EQ(Translate(1, " Name ( callsign ) "), " Jm\u00e9no (volac\u00ed znak)");
    EXPECT_EQ(Translate(1, "Maximum elevation [\u00b0]:"), "Maxim\u00e1ln\u00ed elevace:");
    EXPECT_EQ(Translate(1, "Setpoint:"), "Zvolen\u00e1 pozice:");
    for (const TranslationPair& pair : TranslationTable()) {
        const std::string key(pair.english);
        EXPECT_EQ(Translate(1, " " + key), " " + key);
        EXPECT_EQ(Translate(1, key + " "), key + " ");
    }
    for (const char* unchanged : {"Tracking", "Tracking:", "Measure", "setpoint:", "SETPOINT:",
                                  "Name ( callsign )", "", "OK", "English", "Czech"}) {
        EXPECT_EQ(Translate(1, unchanged), unchanged);
    }
}

TEST(Translate, AddedTextsHaveCzechAndLeaveTheTableAlone)
{
    std::set<std::string_view> keys;
    for (const TranslationPair& pair : TranslationTable())
        keys.insert(pair.english);
    for (const TranslationPair& pair : AddedTranslationTable()) {
        EXPECT_FALSE(pair.czech.empty()) << pair.english;
        EXPECT_TRUE(keys.insert(pair.english).second) << "twice: " << pair.english;
        EXPECT_EQ(Translate(1, pair.english), pair.czech);
        EXPECT_EQ(Translate(0, pair.english), pair.english);
    }
    EXPECT_EQ(Translate(1, "Network"), "S\u00ed\u0165");
    EXPECT_EQ(Translate(1, "Cancel"), "Storno");  // the table's pairs still win
}

}  // namespace
}  // namespace vantora
