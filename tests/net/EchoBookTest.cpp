#include "EchoBook.h"

#include <gtest/gtest.h>

namespace pondel {
namespace {

using namespace std::chrono_literals;
using Indexes = std::vector<std::uint64_t>;

const EchoClock::time_point kStart{};
constexpr std::uint32_t kA = 0xC6336402; // 198.51.100.2
constexpr std::uint32_t kB = 0xC6336403;
constexpr std::uint32_t kC = 0xC6336404;

TEST(EchoBookTest, RepliesAnswerTheirRequestOnceInAnyOrder)
{
    EchoBook book(30ms);
    book.Sent(0, kA, 1, kStart);
    book.Sent(1, kB, 2, kStart + 1ms);
    book.Sent(2, kC, 3, kStart + 2ms);
    EXPECT_EQ(book.Answer(kC, 3, kStart + 5ms), 2u);
    EXPECT_EQ(book.Answer(kA, 1, kStart + 6ms), 0u);
    // A duplicate, a reply from the wrong sender and one with another
    // request's sequence number answer nothing.
    EXPECT_EQ(book.Answer(kA, 1, kStart + 7ms), std::nullopt);
    EXPECT_EQ(book.Answer(kA, 2, kStart + 7ms), std::nullopt);
    EXPECT_EQ(book.Answer(kC, 2, kStart + 7ms), std::nullopt);
    EXPECT_FALSE(book.Empty());
    EXPECT_EQ(book.NextExpiry(), kStart + 31ms);
    EXPECT_EQ(book.Answer(kB, 2, kStart + 8ms), 1u);
    EXPECT_TRUE(book.Empty());
    EXPECT_EQ(book.NextExpiry(), std::nullopt);
}

TEST(EchoBookTest, ARequestGivesUpAfterItsOwnTimeoutAndLateRepliesAreIgnored)
{
    EchoBook book(30ms);
    book.Sent(0, kA, 1, kStart);
    book.Sent(1, kB, 2, kStart + 10ms);
    book.Sent(2, kC, 3, kStart + 20ms);
    // Exactly at its timeout a reply still counts; the next request waits on.
    EXPECT_EQ(book.Answer(kA, 1, kStart + 30ms), 0u);
    EXPECT_EQ(book.Expire(kStart + 40ms), Indexes{});
    EXPECT_EQ(book.Expire(kStart + 41ms), Indexes{1});
    EXPECT_EQ(book.Answer(kB, 2, kStart + 42ms), std::nullopt);
    // A reply past the timeout of its request does not count, even before
    // the request was given up.
    EXPECT_EQ(book.Answer(kC, 3, kStart + 51ms), std::nullopt);
    EXPECT_EQ(book.Expire(kStart + 51ms), Indexes{2});
    EXPECT_TRUE(book.Empty());
}

TEST(EchoBookTest, OneAddressProbedTwiceTellsItsRequestsApartBySequence)
{
    EchoBook book(30ms);
    book.Sent(4, kA, 5, kStart);
    book.Sent(9, kA, 10, kStart + 1ms);
    EXPECT_EQ(book.Answer(kA, 10, kStart + 2ms), 9u);
    EXPECT_EQ(book.Answer(kA, 10, kStart + 3ms), std::nullopt);
    EXPECT_EQ(book.Expire(kStart + 31ms), Indexes{4});
    EXPECT_TRUE(book.Empty());
}

TEST(EchoBookTest, ManyRequestsSettleWhateverTheirOrder)
{
    // Every other request is answered, the odd ones backwards; the rest
    // give up in the order they were sent.
    EchoBook book(1s);
    constexpr std::uint64_t kCount = 70000; // more than one round of sequence numbers
    for (std::uint64_t i = 0; i < kCount; ++i)
        book.Sent(i, kA + static_cast<std::uint32_t>(i % 300),
            static_cast<std::uint16_t>(i % 65535 + 1), kStart);
    std::uint64_t answered = 0;
    for (std::uint64_t i = kCount; i-- > 0;) {
        if (i % 2 == 1)
            answered += book.Answer(kA + static_cast<std::uint32_t>(i % 300),
                            static_cast<std::uint16_t>(i % 65535 + 1), kStart + 1ms) == i;
    }
    EXPECT_EQ(answered, kCount / 2);
    const Indexes expired = book.Expire(kStart + 2s);
    ASSERT_EQ(expired.size(), kCount / 2);
    for (std::size_t i = 0; i < expired.size(); ++i)
        ASSERT_EQ(expired[i], 2 * i);
    EXPECT_TRUE(book.Empty());
}

} // namespace
} // namespace pondel
