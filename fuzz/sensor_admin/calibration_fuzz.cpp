// Feeds a user calibration the sensor's value answers: the controller collects them phase by
// phase (zero point, scale value, control signal) into the smoothing rings, and at the end of
// the scale phase the calibration page computes the new calibration from the readings and the
// controller builds the block that stores it. Whatever the answers and readings hold, the
// controller and the page must neither crash, nor read out of bounds, nor hang.
//
// Input: byte 0 the switches (bits 0-1 the phase, 2 without control signal, 3 zero point
// taken, 4 control signal taken, 5 a dual device, 6 the sensor supports the second
// computation, 7 the user accepted the new values); bytes 1-4 the reference values of
// channels A and B, bytes 5-12 the zero and control readings of A and B taken before (16 bits
// each, most significant first); then the answer to the read of the user calibration block,
// a length byte and its bytes, which the controller keeps as the block to rewrite; then the
// value answers, each a repeat count (the answer arrives count + 1 times), a length byte and
// the answer's bytes. fuzz/sim/make_seeds.cpp writes seeds in this form.
#include <cstddef>
#include <cstdint>

#include "fuzz/support/input_reader.h"
#include "fuzz/workflow/controller_pages.h"
#include "sensor_admin/dlg_sensor_calibration.h"

namespace {

constexpr std::size_t kHeaderLength = 13;
constexpr BYTE kBlockUserCalib = 0x82;

double Reading(const std::uint8_t* bytes) { return static_cast<double>(bytes[0] << 8 | bytes[1]); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kHeaderLength) return 0;
    fuzz_support::ControllerInput run;
    CComPort& com = run.com;
    sensor_admin::CDlgSensorCalibration page(com, run.loop);
    workflow::WorkflowPeers peers = run.pages.Peers();
    peers.calibration = &page;
    com.SetPeers(peers);

    const std::uint8_t switches = data[0];
    com.m_bDualDevice = (switches >> 5) & 1;
    com.m_Sensor[0].m_sIdent[kIdentSupport] = (switches >> 6) & 1;
    page.SetReferenceValues(static_cast<DWORD>(Reading(data + 1)), static_cast<DWORD>(Reading(data + 3)));
    if (switches & 0x80) page.AcceptNewValues();
    for (int c = 0; c < 2; ++c) {
        CalibChannel& channel = com.m_sCalib.channel[static_cast<std::size_t>(c)];
        channel.bWithoutControlMark = (switches >> 2) & 1;
        channel.bZeroDone = (switches >> 3) & 1;
        channel.bControlDone = (switches >> 4) & 1;
        channel.dZeroRaw = Reading(data + 5 + 2 * c);
        channel.dControlRaw = Reading(data + 9 + 2 * c);
    }

    fuzz_support::InputReader input{data, size, kHeaderLength};
    // The user calibration block as the identification read it.
    com.SetZMCOMConfgFlow(ZM_START_INIT);
    com.ReadConfig(nullptr, kBlockUserCalib);
    const auto [block, blockLength] = input.Run();
    com.OnReceiveChain(static_cast<WPARAM>(blockLength), reinterpret_cast<LPARAM>(block));

    CString request;
    com.m_bCalibrationRunning = 1;
    com.COM_ZMReadRawCalibInit(std::min(switches & 3, 2));
    com.BuildValueRequest(request);
    while (input.More()) {
        const int repeats = input.Byte() + 1;
        const auto [bytes, length] = input.Run();
        for (int i = 0; i < repeats; ++i) com.OnReceiveChain(static_cast<WPARAM>(length), reinterpret_cast<LPARAM>(bytes));
    }
    // The prompts' and the steps' timers.
    run.loop.RunFor(2000);
    return 0;
}
