#include "tests/sim/engine.h"

#include <gtest/gtest.h>

#include "tests/sim/test_support.h"

namespace sim {
namespace {

using testing::CheckBytesRight;
using testing::Hex;
using testing::Request;
using testing::Unstuff;

// Drives the engine alone, on a clock the test moves.
class EngineTest : public ::testing::Test {
protected:
    SensorConfig config;
    std::int64_t now = 10'000'000;
    std::unique_ptr<SensorEngine> engine;

    SensorEngine& Sensor()
    {
        if (!engine) engine = std::make_unique<SensorEngine>(config, now);
        return *engine;
    }

    // Everything the sensor writes in answer, joined.
    Bytes Send(const Bytes& wire)
    {
        std::vector<Batch> batches;
        Sensor().OnHostBytes(wire.data(), wire.size(), now, batches);
        return Join(batches);
    }
    Bytes AdvanceMs(int ms)
    {
        now += ms * 1000LL;
        std::vector<Batch> batches;
        Sensor().Advance(now, batches);
        return Join(batches);
    }
    static Bytes Join(const std::vector<Batch>& batches)
    {
        Bytes all;
        for (const auto& b : batches)
            for (const auto& o : b.outputs) all.insert(all.end(), o.bytes.begin(), o.bytes.end());
        return all;
    }
    Bytes ReadBlock(std::uint8_t number) { return Unstuff(Send(Request('D', {number}))); }
};

TEST_F(EngineTest, StatusAnswerForAddressOne)
{
    config.identity.statorId = 9;
    config.identity.statorRevision = 5;
    config.identity.rotorId = 0x85;  // only 7 bits travel
    config.identity.watchdog = 33;
    config.identity.oemVersion = true;
    const Bytes wire = Send({0x02, 0x42, 0x01, 0xFF, 0x00, 0x42, 0x0A});
    const Bytes answer = Unstuff(wire);
    ASSERT_EQ(21u, answer.size()) << Hex(wire);
    EXPECT_TRUE(CheckBytesRight(answer)) << Hex(answer);
    EXPECT_EQ((Bytes{0x02, 'B', 0xFF, 0x01, 14}), Bytes(answer.begin(), answer.begin() + 5));
    EXPECT_EQ(9, answer[7]);
    EXPECT_EQ(5, answer[8]);
    EXPECT_EQ(0x05, answer[9]);
    EXPECT_EQ(33, answer[18]);
    // Factory calibration valid, user calibration switched off: state 2; HMB-USB and OEM bits.
    EXPECT_EQ(0x02 | 0x40 | 0x80, answer[6]);
}

TEST_F(EngineTest, ValueAnswerCarriesCountsValuesAndControlState)
{
    config.signalA.base = -2;
    config.signalB.base = 1000;
    Bytes answer = Unstuff(Send(Request('A')));
    ASSERT_EQ(16u, answer.size());
    EXPECT_TRUE(CheckBytesRight(answer));
    EXPECT_EQ((Bytes{0x7F, 0xFE, 0x83, 0xE8, 0xFF, 0xFE, 0x03, 0xE8, 0x00}), Bytes(answer.begin() + 5, answer.begin() + 14));

    EXPECT_EQ((Bytes{0x02, 0x06, 0xFF, 0x01, 0x00, 0x06, 0x17}), Send(Request('E', {0x01})));
    EXPECT_TRUE(Sensor().IsControlOn());
    answer = Unstuff(Send(Request('A')));
    EXPECT_EQ(1, answer[13]);
    EXPECT_EQ(4000 - 2, static_cast<std::int16_t>(answer[9] << 8 | answer[10]));
    Send(Request('E', {0x00}));
    EXPECT_FALSE(Sensor().IsControlOn());
}

TEST_F(EngineTest, EveryBlockIsServedWithValidCheckWords)
{
    for (std::size_t slot = 0; slot < kBlockNumbers.size(); ++slot) {
        const std::uint8_t number = kBlockNumbers[slot];
        const Bytes block = ReadBlock(number);
        ASSERT_EQ(40u, block.size()) << int(number);
        EXPECT_TRUE(CheckBytesRight(block));
        EXPECT_EQ('D', block[1]);
        EXPECT_EQ(33, block[4]);
        EXPECT_EQ(number, block[5]);
        EXPECT_EQ(kBlockCodes[slot], block[6]);
        const BlockCheckWords words = ComputeBlockCheckWords(block.data() + 6);
        const bool wordsRight = block[34] == (words.a >> 8) && block[35] == (words.a & 0xFF) &&
                                block[36] == (words.b >> 8) && block[37] == (words.b & 0xFF);
        // The user calibration is stored switched off: its check words are deliberately wrong.
        EXPECT_EQ(number != 0x82, wordsRight) << int(number);
    }
}

TEST_F(EngineTest, IdentityFieldsSitWhereTheHostReadsThem)
{
    config.identity.statorSerial = 0x01020304;
    config.identity.moduleIndex = 2;
    config.identity.rotorTypeClass = 'Y';
    config.identity.rangeACode = *DecimalCode(500.0);
    config.identity.rangeBCode = *DecimalCode(0.5);
    config.identity.encoderMode = 7;
    config.identity.filterA = 3000;
    config.identity.channelSerialA = "A1";
    config.identity.channelSerialB = "Zy9 ?x";
    config.identity.unitA = "kN";
    config.identity.scaleA = 1.0f;

    Bytes b = ReadBlock(0x00);
    EXPECT_EQ((Bytes{0x01, 0x02, 0x03, 0x04, 0x02}), Bytes(b.begin() + 10, b.begin() + 15));
    b = ReadBlock(0x02);
    EXPECT_EQ(1, b[13]);
    EXPECT_EQ(7, b[17]);
    EXPECT_EQ((Bytes{0x0B, 0xB8}), Bytes(b.begin() + 19, b.begin() + 21));
    b = ReadBlock(0x03);
    EXPECT_EQ((Bytes{0x3F, 0x80, 0x00, 0x00}), Bytes(b.begin() + 8, b.begin() + 12));
    EXPECT_EQ("kN   ", std::string(b.begin() + 16, b.begin() + 21));
    b = ReadBlock(0x80);
    EXPECT_EQ('Y', b[15]);
    EXPECT_EQ((Bytes{0x25, 0x00}), Bytes(b.begin() + 16, b.begin() + 18));
    EXPECT_EQ((Bytes{0x00, 0x50}), Bytes(b.begin() + 20, b.begin() + 22));

    // Channel serial texts in 6-bit codes: A in the low bits of 23..28, B's first three in
    // 29..31 and its last three in the top bit pairs.
    b = ReadBlock(0x83);
    EXPECT_EQ(26, b[23] & 0x3F);
    EXPECT_EQ(53, b[24] & 0x3F);
    EXPECT_EQ(62, b[25] & 0x3F);
    std::string channelB;
    for (int i = 0; i < 3; ++i) channelB += TextChar(b[29 + i] & 0x3F);
    for (int ch = 0; ch < 3; ++ch) {
        int code = 0;
        for (int pair = 0; pair < 3; ++pair) code |= ((b[23 + 3 * ch + pair] >> 6) & 0x03) << (2 * pair);
        channelB += TextChar(static_cast<std::uint8_t>(code));
    }
    EXPECT_EQ("Zy9 ?x", channelB);
}

TEST_F(EngineTest, VerbatimContentReplacesTheFieldsWithCheckWordsToMatch)
{
    config.identity.rawBlockContent[0x01] = {0xAA, 0xBB};
    const Bytes b = ReadBlock(0x01);
    EXPECT_EQ(0x12, b[6]) << "the code byte stays";
    EXPECT_EQ((Bytes{0xAA, 0xBB, 0x00}), Bytes(b.begin() + 7, b.begin() + 10));
    const BlockCheckWords words = ComputeBlockCheckWords(b.data() + 6);
    EXPECT_EQ(words.a, b[34] << 8 | b[35]);
    EXPECT_EQ(words.b, b[36] << 8 | b[37]);
}

TEST_F(EngineTest, DecimalCodesOfRanges)
{
    EXPECT_EQ(0x2500, DecimalCode(500.0));
    EXPECT_EQ(0x0050, DecimalCode(0.5));
    EXPECT_EQ(0x3100, DecimalCode(1000.0));
    EXPECT_EQ(0x0123, DecimalCode(1.23));
    EXPECT_EQ(0x1234, DecimalCode(23.4));
    EXPECT_FALSE(DecimalCode(1.2345));
    EXPECT_FALSE(DecimalCode(-1.0));
}

TEST_F(EngineTest, MissingOrUnknownBlockIsRefused)
{
    config.identity.blockPresent[3] = false;
    for (std::uint8_t number : {std::uint8_t{0x03}, std::uint8_t{0x04}, std::uint8_t{0x05}}) {
        const Bytes nak = ReadBlock(number);
        ASSERT_EQ(8u, nak.size());
        EXPECT_EQ(kNak, nak[1]);
        EXPECT_EQ(kRefuseBlock, nak[5]);
        EXPECT_TRUE(CheckBytesRight(nak));
    }
}

TEST_F(EngineTest, WrittenBlockIsKeptAsWrittenAndServedAfterwards)
{
    Bytes block = ReadBlock(0x82);
    Bytes data(block.begin() + 5, block.begin() + 38);  // number, code, content, check words
    data[1 + 5] = 0x40;  // gain A high byte (frame byte 11)
    // Switch the user calibration on: correct check words.
    const BlockCheckWords words = ComputeBlockCheckWords(data.data() + 1);
    data[29] = words.a >> 8;
    data[30] = words.a & 0xFF;
    data[31] = words.b >> 8;
    data[32] = words.b & 0xFF;
    EXPECT_EQ((Bytes{0x02, 0x06, 0xFF, 0x01, 0x00, 0x06, 0x17}), Send(Request('F', data)));
    const Bytes again = ReadBlock(0x82);
    EXPECT_EQ(data, Bytes(again.begin() + 5, again.begin() + 38));

    // The sensor takes the active calibration on its next start.
    EXPECT_EQ(2, Sensor().CalibrationState());
    Send(Request('K'));
    AdvanceMs(config.restartMs);
    EXPECT_EQ(3, Sensor().CalibrationState());
    EXPECT_EQ(3, Unstuff(Send(Request('B')))[6] & 0x03);
}

TEST_F(EngineTest, WriteOfAnUnknownBlockOrWrongLengthIsRefused)
{
    Bytes data(33, 0x11);
    data[0] = 0x05;
    EXPECT_EQ(kRefuseBlock, Unstuff(Send(Request('F', data)))[5]);
    EXPECT_EQ(kRefuseBadRequest, Unstuff(Send(Request('F', {0x00, 0x10})))[5]);
}

TEST_F(EngineTest, RestartIsSilentThenSaysHello)
{
    config.restartMs = 300;
    EXPECT_TRUE(Send(Request('K')).empty());
    EXPECT_TRUE(Sensor().IsRestarting());
    EXPECT_TRUE(Send(Request('B')).empty()) << "a restarting sensor does not answer";
    EXPECT_TRUE(AdvanceMs(299).empty());
    const Bytes hello = Unstuff(AdvanceMs(1));
    ASSERT_EQ(8u, hello.size());
    EXPECT_EQ((Bytes{0x02, '@', 0xFF, 0x01, 0x01}), Bytes(hello.begin(), hello.begin() + 5));
    EXPECT_TRUE(CheckBytesRight(hello));
    EXPECT_EQ(21u, Unstuff(Send(Request('B'))).size());
}

TEST_F(EngineTest, BusAddressWrittenToTheOperationBlockHoldsAfterRestart)
{
    Bytes block = ReadBlock(0x02);
    Bytes data(block.begin() + 5, block.begin() + 38);
    data[1 + 7] = 7;  // frame byte 13
    const BlockCheckWords words = ComputeBlockCheckWords(data.data() + 1);
    data[29] = words.a >> 8;
    data[30] = words.a & 0xFF;
    data[31] = words.b >> 8;
    data[32] = words.b & 0xFF;
    Send(Request('F', data));
    EXPECT_EQ(1, Sensor().Address());
    Send(Request('K'));
    const Bytes hello = Unstuff(AdvanceMs(config.restartMs));
    EXPECT_EQ(7, hello[3]);
    EXPECT_EQ(0x07, Unstuff(Send(Request('B', {}, 7)))[3]);
}

TEST_F(EngineTest, AngleZeroMovesChannelBOrigin)
{
    config.signalB.base = 1234;
    EXPECT_EQ((Bytes{0x02, 0x06, 0xFF, 0x01, 0x00, 0x06, 0x17}), Send(Request('M')));
    const Bytes answer = Unstuff(Send(Request('A')));
    EXPECT_EQ(0, answer[11]);
    EXPECT_EQ(0, answer[12]);
}

TEST_F(EngineTest, MeasurementSetUpStartsTheStreamAtItsRate)
{
    config.signalA.base = 0x0102;
    config.signalB.base = -1;
    EXPECT_EQ((Bytes{0x02, 0x06, 0xFF, 0x01, 0x00, 0x06, 0x17}), Send(Request('Z', {0x03, 25, 0x00, 0x00, 'C'})));
    EXPECT_TRUE(Sensor().IsStreaming());
    EXPECT_TRUE(AdvanceMs(4).empty());  // rate byte 25: one record every 5 ms
    EXPECT_EQ((Bytes{0x00, 0x01, 0x02, 0xFF, 0xFF}), AdvanceMs(1));
    const Bytes many = AdvanceMs(50);
    ASSERT_EQ(50u, many.size());
    EXPECT_EQ(1, many[0]);
    EXPECT_EQ(10, many[45]);
}

TEST_F(EngineTest, OneChannelRecordsAndSequenceWrap)
{
    config.signalB.base = 7;
    Send(Request('Z', {0x03, 1, 0x00, 0x00, 'B'}));  // 5000 records a second
    const Bytes records = AdvanceMs(60);  // 300 records
    ASSERT_EQ(900u, records.size());
    EXPECT_EQ((Bytes{0x00, 0x00, 0x07}), Bytes(records.begin(), records.begin() + 3));
    EXPECT_EQ(255, records[255 * 3]);
    EXPECT_EQ(0, records[256 * 3]);
}

TEST_F(EngineTest, StreamIgnoresQuestionsAndEndsOnTheStopSignal)
{
    Send(Request('Z', {0x03, 50, 0x00, 0x00, 'A'}));
    AdvanceMs(25);
    EXPECT_TRUE(Send(Request('B')).empty());
    EXPECT_TRUE(Send(Request('A')).empty());
    // The control signal may be switched inside the stream.
    EXPECT_EQ(7u, Send(Request('E', {0x01})).size());
    const Bytes stop(10, 0x02);
    for (std::uint8_t byte : stop) Send({byte});  // the host writes it one byte at a time
    EXPECT_FALSE(Sensor().IsStreaming());
    EXPECT_TRUE(AdvanceMs(100).empty());
    EXPECT_EQ(21u, Unstuff(Send(Request('B'))).size());
}

TEST_F(EngineTest, NewSetUpRestartsTheStreamFromSequenceZero)
{
    Send(Request('Z', {0x03, 50, 0x00, 0x00, 'A'}));
    AdvanceMs(35);
    EXPECT_EQ(7u, Send(Request('Z', {0x03, 50, 0x00, 0x00, 'A'})).size());
    EXPECT_EQ(0, AdvanceMs(10)[0]);
}

TEST_F(EngineTest, BadRequestsAreRefused)
{
    Bytes wrong = Request('B');
    wrong.back() ^= 1;
    Bytes nak = Unstuff(Send(wrong));
    ASSERT_EQ(8u, nak.size());
    EXPECT_EQ(kRefuseBadCheck, nak[5]);
    EXPECT_EQ(kRefuseBadRequest, Unstuff(Send(Request('Z', {0x03, 0, 0, 0, 'C'})))[5]);
    EXPECT_EQ(kRefuseBadRequest, Unstuff(Send(Request('Z', {0x03, 25, 0, 0, 'X'})))[5]);
    EXPECT_EQ(kRefuseBadRequest, Unstuff(Send(Request('E', {0x05})))[5]);
    EXPECT_EQ(kRefuseBadRequest, Unstuff(Send(Request('Q')))[5]);
    EXPECT_FALSE(Sensor().IsStreaming());
}

TEST_F(EngineTest, StrictAddressIgnoresOtherSensorsRequests)
{
    config.strictAddress = true;
    config.identity.address = 3;
    EXPECT_TRUE(Send(Request('B', {}, 1)).empty());
    const Bytes answer = Unstuff(Send(Request('B', {}, 3)));
    ASSERT_EQ(21u, answer.size());
    EXPECT_EQ(0xFF, answer[2]);
    EXPECT_EQ(3, answer[3]);
}

TEST_F(EngineTest, SignalsAreFunctionsOfTime)
{
    SignalSpec ramp{SignalSpec::Kind::Ramp};
    ramp.slopePerS = 40000;
    EXPECT_EQ(0, ramp.At(0));
    EXPECT_EQ(20000, ramp.At(500'000));
    EXPECT_EQ(static_cast<std::int16_t>(40000), ramp.At(1'000'000)) << "a ramp wraps like a 16-bit counter";
    ramp.slopePerS = 50000;  // records 5 ms apart, all on half counts: each 250 counts above the one before
    for (std::int64_t t = 2'544'230; t < 6'000'000; t += 5000)
        ASSERT_EQ(250, static_cast<std::int16_t>(ramp.At(t + 5000) - ramp.At(t))) << "at " << t << " us";

    SignalSpec sine{SignalSpec::Kind::Sine, 100.0, 50.0};
    sine.periodMs = 40;
    EXPECT_EQ(150, sine.At(10'000));
    EXPECT_EQ(50, sine.At(30'000));

    SignalSpec steps{SignalSpec::Kind::Steps, 0.0, 10.0};
    steps.periodMs = 100;
    steps.stepCount = 3;
    EXPECT_EQ(0, steps.At(50'000));
    EXPECT_EQ(20, steps.At(250'000));
    EXPECT_EQ(0, steps.At(300'000));

    SignalSpec noisy{SignalSpec::Kind::Constant, 1000.0};
    noisy.noise = 5;
    bool varied = false;
    for (int t = 0; t < 50; ++t) {
        const int v = noisy.At(t * 1000);
        EXPECT_GE(v, 995);
        EXPECT_LE(v, 1005);
        EXPECT_EQ(v, noisy.At(t * 1000)) << "the same instant gives the same value";
        varied = varied || v != noisy.At(0);
    }
    EXPECT_TRUE(varied);

    SignalSpec clamped{SignalSpec::Kind::Constant, 40000.0};
    EXPECT_EQ(32767, clamped.At(0));
}

TEST(SignalSpecText, ReadsKindAndSettings)
{
    SignalSpec spec;
    std::string error;
    ASSERT_TRUE(ParseSignalSpec("sine:base=10,amp=2.5,period=250,noise=1,seed=7", spec, error)) << error;
    EXPECT_EQ(SignalSpec::Kind::Sine, spec.kind);
    EXPECT_DOUBLE_EQ(2.5, spec.amplitude);
    EXPECT_EQ(7u, spec.seed);
    EXPECT_FALSE(ParseSignalSpec("square", spec, error));
    EXPECT_NE(std::string::npos, error.find("square"));
    EXPECT_FALSE(ParseSignalSpec("ramp:slope=fast", spec, error));
    EXPECT_FALSE(ParseSignalSpec("ramp:tilt=3", spec, error));
}

}  // namespace
}  // namespace sim
