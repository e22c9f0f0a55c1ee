#include "natural_order.h"

#include "row_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <random>

using namespace commands;

namespace {

struct Pair {
    const char* before;
    const char* after;
};

void PrintTo(const Pair& pair, std::ostream* out) { *out << pair.before << " < " << pair.after; }

class NaturalOrderTest : public ::testing::TestWithParam<Pair> {};

TEST_P(NaturalOrderTest, GoesBefore)
{
    EXPECT_TRUE(NaturalLess(GetParam().before, GetParam().after));
    EXPECT_FALSE(NaturalLess(GetParam().after, GetParam().before));
}

INSTANTIATE_TEST_SUITE_P(
    Names, NaturalOrderTest,
    ::testing::Values(Pair{"img2", "img10"}, Pair{"img9.png", "img10.png"},
                      Pair{"a", "B"}, Pair{"B", "c"}, Pair{"file", "File1"},
                      Pair{"photo_00009.jpg", "photo_00010.jpg"}, Pair{"x2", "x02"},
                      Pair{"x99999999999999999999", "x100000000000000000000"},
                      Pair{"9", "a"}, Pair{"abc", "abcd"}, Pair{"Ärger", "ärger2"},
                      Pair{"яблоко", "Яблоко2"}, Pair{"Ёж", "ёж1"}, Pair{"Z", "а"},
                      Pair{"A", "a"},  // equal but for case: bytes decide, so the order is total
                      Pair{"bad\x80", "bad\xff"}, Pair{"a", "a0"}, Pair{"a0", "a00"},
                      Pair{"a0", "a0b"}, Pair{"a/", "a5"}, Pair{"a5", "a:"},
                      Pair{"x1y", "x01y"}, Pair{"a01b1", "a1b2"}, Pair{"0", "00"}),
    [](const auto& row) { return RowName(row.index, row.param.before, row.param.after); });

TEST(NaturalOrder, SortsTheSameWhateverTheLocale)
{
    std::vector<std::filesystem::path> names{"b10", "B2", "a", "Я", "я1", "\xff", "b1"};
    std::setlocale(LC_ALL, "C");
    auto inC = names;
    SortNaturally(inC);
    std::setlocale(LC_ALL, "C.UTF-8");
    auto inUtf8 = names;
    SortNaturally(inUtf8);
    EXPECT_EQ(inC, inUtf8);
    EXPECT_EQ(inC, (std::vector<std::filesystem::path>{"a", "b1", "B2", "b10", "Я", "я1", "\xff"}));
    EXPECT_TRUE(std::is_sorted(inC.begin(), inC.end(), [](const auto& x, const auto& y) {
        return NaturalLess(x.string(), y.string());
    }));
}

// The sort compares a few key bytes after the beginning that all names share before whole keys:
// it must give the pairwise order whether the names differ early, late or only in case, and
// whether a key ends before those bytes do.
TEST(NaturalOrder, SortingGivesThePairwiseOrder)
{
    const char* tails[] = {"1.jpg", "01.jpg", "10.jpg", "9", "", "a", "A", "\xff", "\x80", "Я",
                           "_a_long_tail_that_differs_only_at_its_end_1",
                           "_a_long_tail_that_differs_only_at_its_end_2"};
    std::mt19937 random(7);
    for (const char* prefix : {"", "photo_", "photo_0000", "PHOTO_0000000000000000"}) {
        std::vector<std::filesystem::path> names;
        for (const char* tail : tails)
            names.emplace_back(std::string(prefix) + tail);
        for (int round = 0; round < 10; ++round) {
            std::shuffle(names.begin(), names.end(), random);
            auto sorted = names;
            SortNaturally(sorted);
            EXPECT_TRUE(std::is_permutation(sorted.begin(), sorted.end(), names.begin()));
            EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end(), [](const auto& x, const auto& y) {
                return NaturalLess(x.string(), y.string());
            })) << "prefix " << prefix;
        }
    }
}

} // namespace
