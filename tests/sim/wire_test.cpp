#include "tests/sim/wire.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

Bytes Checked(std::uint8_t letter, std::uint8_t a1, std::uint8_t a2, const Bytes& data = {})
{
    return BuildFrame(letter, a1, a2, data);
}

TEST(WireFrames, RequestVectorsOfTheProtocol)
{
    EXPECT_EQ((Bytes{0x02, 0x42, 0x01, 0xFF, 0x00, 0x42, 0x0A}), Checked('B', 0x01, 0xFF));
    EXPECT_EQ((Bytes{0x02, 0x41, 0x01, 0xFF, 0x00, 0x41, 0x06}), Checked('A', 0x01, 0xFF));
    EXPECT_EQ((Bytes{0x02, 0x41, 0x12, 0x34, 0x00, 0x87, 0xA3}), Checked('A', 0x12, 0x34));
    EXPECT_EQ((Bytes{0x02, 0x44, 0x01, 0xFF, 0x01, 0x80, 0xC5, 0xD8}), Checked('D', 0x01, 0xFF, {0x80}));
    EXPECT_EQ((Bytes{0x02, 0x5A, 0x01, 0xFF, 0x05, 0x03, 0x19, 0x00, 0x00, 0x43, 0xBE, 0x03}),
              Checked('Z', 0x01, 0xFF, {0x03, 25, 0x00, 0x00, 'C'}));
}

TEST(WireFrames, AcknowledgementOfSensorOne)
{
    EXPECT_EQ((Bytes{0x02, 0x06, 0xFF, 0x01, 0x00, 0x06, 0x17}), Checked(kAck, 0xFF, 0x01));
}

TEST(WireFrames, WeightedSumWrapsBySubtracting255)
{
    // 0xC7 + 0x42 = 0x109 becomes 0x0A, not 0x09.
    const Bytes covered{0x42, 0x01, 0xFF, 0x00};
    const CheckBytes check = ComputeCheckBytes(covered.data(), covered.size());
    EXPECT_EQ(0x42, check.s);
    EXPECT_EQ(0x0A, check.w);
}

TEST(WireFrames, StartBytesAreDoubledAfterTheFirst)
{
    const Bytes frame = Checked('E', 0x02, 0xFF, {0x01});
    EXPECT_EQ((Bytes{0x02, 0x45, 0x02, 0xFF, 0x01, 0x01, 0x48, 0x62}), frame);
    EXPECT_EQ((Bytes{0x02, 0x45, 0x02, 0x02, 0xFF, 0x01, 0x01, 0x48, 0x62}), StuffStx(frame));
}

TEST(WireFrames, BlockCheckWords)
{
    Bytes ones(28, 0x01);
    BlockCheckWords words = ComputeBlockCheckWords(ones.data());
    EXPECT_EQ(28, words.a);
    EXPECT_EQ(406, words.b);
    // B wraps with end-around carry: 28 bytes of 0xFF give A = 7140 and B = 7140*29/2 - 65535*k.
    Bytes full(28, 0xFF);
    words = ComputeBlockCheckWords(full.data());
    EXPECT_EQ(7140, words.a);
    std::uint32_t b = 0;
    for (int i = 1; i <= 28; ++i) {
        b += 255u * i;
        if (b > 65535) b -= 65535;
    }
    EXPECT_EQ(b, words.b);
}

class ReaderTest : public ::testing::Test {
protected:
    HostFrameReader reader;
    std::int64_t now = 0;

    std::vector<HostFrameReader::Event> Feed(const Bytes& bytes)
    {
        return reader.Feed(bytes.data(), bytes.size(), now);
    }
};

TEST_F(ReaderTest, FoldsDoubledStartBytesAndDropsLeadingGarbage)
{
    auto events = Feed({0x55, 0xAA, 0x02, 0x45, 0x02, 0x02, 0xFF, 0x01, 0x01, 0x48, 0x62});
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(HostFrameReader::Event::Kind::Frame, events[0].kind);
    EXPECT_EQ((Bytes{0x02, 0x45, 0x02, 0xFF, 0x01, 0x01, 0x48, 0x62}), events[0].frame);
}

TEST_F(ReaderTest, FrameArrivingInPiecesAndTwoFramesInOnePiece)
{
    EXPECT_TRUE(Feed({0x02, 0x42, 0x01}).empty());
    auto events = Feed({0xFF, 0x00, 0x42, 0x0A, 0x02, 0x41, 0x01, 0xFF, 0x00, 0x41, 0x06});
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ(0x42, events[0].frame[1]);
    EXPECT_EQ(0x41, events[1].frame[1]);
}

TEST_F(ReaderTest, DoubledStartByteAsLastCheckByte)
{
    // A frame whose W is 0x02 only completes with the second copy of it.
    Bytes frame = Checked('E', 0x01, 0xFF, {0x00});
    frame.back() = 0x02;
    Bytes wire = StuffStx(frame);
    EXPECT_TRUE(Feed(Bytes(wire.begin(), wire.end() - 1)).empty());
    auto events = Feed({0x02});
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(frame, events[0].frame);
}

TEST_F(ReaderTest, RunOfStartBytesIsOneStopSignal)
{
    auto events = Feed(Bytes(10, 0x02));
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(HostFrameReader::Event::Kind::StopSignal, events[0].kind);
    // The next request right behind the stop is read normally.
    events = Feed({0x02, 0x42, 0x01, 0xFF, 0x00, 0x42, 0x0A});
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(HostFrameReader::Event::Kind::Frame, events[0].kind);
}

TEST_F(ReaderTest, SingleStartByteInsideAFrameStartsAFreshOne)
{
    auto events = Feed({0x02, 0x42, 0x01, 0x02, 0x42, 0x01, 0xFF, 0x00, 0x42, 0x0A});
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ((Bytes{0x02, 0x42, 0x01, 0xFF, 0x00, 0x42, 0x0A}), events[0].frame);
}

TEST_F(ReaderTest, StaleIncompleteFrameIsAbandoned)
{
    EXPECT_TRUE(Feed({0x02, 0x44, 0x01, 0xFF, 0x01}).empty());
    now += 500'000;
    auto events = Feed({0x02, 0x42, 0x01, 0xFF, 0x00, 0x42, 0x0A});
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(0x42, events[0].frame[1]);
}

}  // namespace
}  // namespace sim
