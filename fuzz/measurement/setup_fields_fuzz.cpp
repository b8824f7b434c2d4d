// Feeds the set-up page's reader of a sensor the blocks that the identification keeps: the
// controller reads the eight configuration blocks as a connection does, keeps their frames in
// the sensor's record, and the set-up page takes the trigger part, the display bits and the
// pass/fail limits from the kept frames. Whatever the blocks hold, and however long their
// frames are, the reader must neither crash nor read out of bounds.
//
// Input: the contents of the eight block answers in the order the identification reads them
// (0x00-0x03, 0x80-0x83), each a length byte and the answer's data (the block number and its
// bytes, as the sensor sends them); the target builds each frame around its data with the
// right check bytes, so that every input reaches the blocks' readers. fuzz/sim/make_seeds.cpp
// writes seeds in this form.
#include <cstddef>
#include <cstdint>

#include "fuzz/workflow/controller_pages.h"
#include "measurement/sensor_setup_fields.h"
#include "tests/sim/wire.h"

namespace {

constexpr BYTE kBlocks[] = {0x00, 0x01, 0x02, 0x03, 0x80, 0x81, 0x82, 0x83};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz_support::ControllerInput input;
    CComPort& com = input.com;
    com.SetZMCOMConfgFlow(ZM_START_INIT);
    std::size_t pos = 0;
    for (BYTE block : kBlocks) {
        if (pos >= size) break;
        const std::size_t claimed = data[pos++];
        const std::size_t length = std::min(claimed, size - pos);
        const sim::Bytes content(data + pos, data + pos + length);
        pos += length;
        const sim::Bytes frame = sim::StuffStx(sim::BuildFrame('D', 0xFF, 1, content));
        com.ReadConfig(nullptr, block);
        com.OnReceiveChain(static_cast<WPARAM>(frame.size()), reinterpret_cast<LPARAM>(frame.data()));
    }
    const measurement::SensorSetupFields fields = measurement::ReadSensorSetupFields(com.m_Sensor[0]);
    // What the page derives from the fields for its rows.
    (void)fields.StartKind();
    (void)measurement::SensorSetupFields::AxisOf(fields.display);
    return 0;
}
