#include "HostList.h"

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

} // namespace
} // namespace pondel
