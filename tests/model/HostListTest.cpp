#include "HostList.h"

#include "HostGroups.h"

#include <cstring>
#include <stdexcept>

#include <gtest/gtest.h>

namespace pondel {
namespace {

tHostInfo Host(const char* name)
{
    return MakeHostInfo(name, "", "198.51.100.1", "", "");
}

std::string NamesOf(const HostList& list)
{
    std::string names;
    for (const auto& host : list)
        names += std::string(host.hostName) + ' ';
    return names;
}

TEST(HostListTest, InsertMovesLaterRowsUpAndPastTheEndGrowsWithEmptyRecords)
{
    HostList list;
    list.Append(Host("a"));
    list.Append(Host("c"));
    list.InsertAt(1, Host("b"));
    list.InsertAt(3, Host("d"));
    list.InsertAt(0, Host("z"));
    list.InsertAt(7, Host("f"));
    EXPECT_EQ(NamesOf(list), "z a b c d   f ");
    const tHostInfo empty{};
    EXPECT_EQ(std::memcmp(&list[5], &empty, sizeof empty), 0);
    list.RemoveAt(1);
    EXPECT_EQ(NamesOf(list), "z b c d   f ");
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
}

TEST(HostListTest, IndicesOutOfRangeAreRefused)
{
    HostList list;
    list.Append(Host("a"));
    EXPECT_THROW(list[1], std::out_of_range);
    EXPECT_THROW(list[-1], std::out_of_range);
    EXPECT_THROW(list.RemoveAt(1), std::out_of_range);
    EXPECT_THROW(list.InsertAt(-1, Host("x")), std::out_of_range);
    EXPECT_EQ(list.Count(), 1);
}

TEST(HostGroupsTest, NamesAreCheckedListedOnceAndMatchedWithoutCase)
{
    struct NameCase {
        std::string name;
        bool valid;
    };
    const NameCase names[]{{"", true}, {"lab", true}, {"rack 3", true},
        {"\xE7\xA0\x94\xE7\xA9\xB6\xE5\xAE\xA4", true}, {std::string(31, 'g'), true},
        {std::string(32, 'g'), false}, {"*", false}, {" lab", false}, {"lab ", false},
        {"la\tb", false}, {"\xE7\xA0", false}, {"\xFFlab", false}};
    for (const NameCase& c : names)
        EXPECT_EQ(IsValidGroupName(c.name), c.valid) << c.name;

    HostList list;
    for (const char* group : {"rack 3", "", "Lab", "lab", "rack 3", "LAB"}) {
        tHostInfo host = Host("h");
        SetField(host.group, group);
        list.Append(host);
    }
    EXPECT_EQ(GroupNamesOf(list), (std::vector<std::string>{"Lab", "rack 3"}));
    EXPECT_EQ(RowsOfGroup(list, "lab"), (std::vector<std::int32_t>{2, 3, 5}));
    EXPECT_EQ(RowsOfGroup(list, "*"), (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_TRUE(RowsOfGroup(list, "").empty());
    EXPECT_TRUE(RowsOfGroup(list, "rack").empty());
}

} // namespace
} // namespace pondel
