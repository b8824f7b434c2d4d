#include "tests/sim/options.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

ProgramOptions Parse(std::vector<std::string> args)
{
    ProgramOptions options;
    std::string error;
    EXPECT_TRUE(ParseProgramOptions(args, options, error)) << error;
    return options;
}

std::string Error(std::vector<std::string> args)
{
    ProgramOptions options;
    std::string error;
    EXPECT_FALSE(ParseProgramOptions(args, options, error));
    return error;
}

TEST(ProgramOptions, IdentityAndSignal)
{
    const auto o = Parse({"--address=5", "--serial", "0x1234", "--range-a=500", "--unit-b=N", "--type-class=Y",
                          "--signal-a=ramp:slope=100", "--user-cal=valid=1,gainA=16384,offsetB=-2",
                          "--missing-block=0x83", "--block=0x01:0102", "--strict-address", "--factory-contents=erased"});
    ASSERT_EQ(1u, o.sensors.size());
    const SensorConfig& c = o.sensors[0];
    EXPECT_EQ(5, c.identity.address);
    EXPECT_EQ(0x1234u, c.identity.statorSerial);
    EXPECT_EQ(0x2500, c.identity.rangeACode);
    EXPECT_EQ("N", c.identity.unitB);
    EXPECT_EQ('Y', c.identity.rotorTypeClass);
    EXPECT_EQ(SignalSpec::Kind::Ramp, c.signalA.kind);
    EXPECT_TRUE(c.identity.userCalibration.valid);
    EXPECT_EQ(16384, c.identity.userCalibration.gainA);
    EXPECT_EQ(-2, c.identity.userCalibration.offsetB);
    EXPECT_FALSE(c.identity.blockPresent[7]);
    EXPECT_EQ((Bytes{0x01, 0x02}), c.identity.rawBlockContent.at(0x01));
    EXPECT_TRUE(c.strictAddress);
    EXPECT_EQ(0xFF, BlockStore(c.identity).ContentByte(BlockSlot(0x83), 12));
}

TEST(ProgramOptions, FaultRules)
{
    const auto o = Parse({"--lose-records=3,9", "--repeat-records=4", "--corrupt-record=5:1:0x0F", "--bad-check=B:SW:-1",
                          "--refuse=D80:3", "--refuse=Z:+:1", "--garbage=*:55AA", "--rechunk=B:10,21", "--rechunk=r7:3", "--latency=40", "--pieces=2:15",
                          "--stall=r100:-1", "--hangup=K", "--stream-unasked=A:50:nostop"});
    const FaultPlan& f = o.sensors[0].faults;
    EXPECT_EQ((std::set<long long>{3, 9}), f.records.lost);
    EXPECT_EQ(1u, f.records.repeated.count(4));
    ASSERT_EQ(1u, f.records.corrupted.size());
    EXPECT_EQ(0x0F, f.records.corrupted[0].xorMask);
    ASSERT_EQ(1u, f.badCheck.size());
    EXPECT_TRUE(f.badCheck[0].wrongS && f.badCheck[0].wrongW);
    EXPECT_EQ(-1, f.badCheck[0].times);
    ASSERT_EQ(2u, f.refusals.size());
    EXPECT_EQ(0x80, f.refusals[0].block);
    EXPECT_EQ('+', f.refusals[1].code);
    EXPECT_EQ(1, f.refusals[1].times);
    EXPECT_EQ(0, f.garbage[0].letter);
    EXPECT_EQ((Bytes{0x55, 0xAA}), f.garbage[0].bytes);
    EXPECT_EQ((std::vector<std::size_t>{10, 21}), f.rechunk[0].cuts);
    EXPECT_EQ('B', f.rechunk[0].at.letter);
    EXPECT_EQ(7, f.rechunk[1].at.afterRecords);
    EXPECT_EQ(40, f.latencyMs);
    EXPECT_EQ(2u, f.pieces.size);
    EXPECT_EQ(15, f.pieces.pauseMs);
    EXPECT_EQ(100, f.stalls[0].at.afterRecords);
    EXPECT_EQ(-1, f.stalls[0].durationMs);
    EXPECT_EQ('K', f.hangup->letter);
    EXPECT_TRUE(f.unaskedStream.enabled);
    EXPECT_EQ('A', f.unaskedStream.selector);
    EXPECT_EQ(50, f.unaskedStream.rateByte);
    EXPECT_TRUE(f.unaskedStream.ignoresStop);
}

TEST(ProgramOptions, MultiportDeviceWithPerSensorSettings)
{
    const auto o = Parse({"--sensors=3", "--serial=777", "--sensor=2", "--signal-a=constant:base=5", "--lose-records=1"});
    ASSERT_EQ(3u, o.sensors.size());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(777u, o.sensors[i].identity.statorSerial);
        EXPECT_EQ(i + 1, o.sensors[i].identity.moduleIndex);
        EXPECT_EQ(3, o.sensors[i].identity.moduleCount);
    }
    EXPECT_EQ(5.0, o.sensors[1].signalA.base);
    EXPECT_EQ(0.0, o.sensors[0].signalA.base);
    EXPECT_TRUE(o.sensors[0].faults.records.lost.empty());
    EXPECT_EQ(1u, o.sensors[1].faults.records.lost.size());
}

TEST(ProgramOptions, ErrorsNameTheOption)
{
    EXPECT_NE(std::string::npos, Error({"--adress=3"}).find("--adress"));
    EXPECT_NE(std::string::npos, Error({"--address=300"}).find("--address"));
    EXPECT_NE(std::string::npos, Error({"--sensors=5"}).find("--sensors"));
    EXPECT_NE(std::string::npos, Error({"--sensors=2", "--sensor=3"}).find("--sensor"));
    EXPECT_NE(std::string::npos, Error({"--range-a=1.2345"}).find("--range-a"));
    EXPECT_NE(std::string::npos, Error({"--garbage=B:5"}).find("--garbage"));
    EXPECT_NE(std::string::npos, Error({"--unit-a=toolong"}).find("--unit-a"));
    EXPECT_NE(std::string::npos, Error({"--latency"}).find("--latency"));
    EXPECT_NE(std::string::npos, Error({"stray"}).find("stray"));
}

TEST(ProgramOptions, HelpListsEveryOption)
{
    EXPECT_TRUE(Parse({"--help"}).help);
    const std::string usage = ProgramUsage();
    for (const char* name : {"--sensors", "--address", "--signal-a", "--lose-records", "--bad-check", "--refuse",
                             "--garbage", "--rechunk", "--latency", "--stall", "--hangup", "--stream-unasked"})
        EXPECT_NE(std::string::npos, usage.find(name)) << name;
}

}  // namespace
}  // namespace sim
