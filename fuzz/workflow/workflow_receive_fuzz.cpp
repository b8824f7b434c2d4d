// Feeds arbitrary deliveries to the controller: the receive chain of the first port in the
// states that analyse answers or streams, and the ports of a multiport device in the states
// of their answers and of the merged stream. Whatever arrives, the controller must neither
// crash, nor read out of bounds, nor hang.
//
// Input: byte 0 chooses the path and the state, byte 1 the switches; then deliveries, each a
// length byte followed by that many bytes (the port of a multiport delivery is the length
// byte's top two bits).
#include <cstddef>
#include <cstdint>

#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "workflow/com_port.h"

namespace {

constexpr int kChainStates[] = {ZM_START_MEASURE_SOSM, ZM_TRIGGER_ACTIV, ZM_SET_CTRL_ON_SOSM, ZM_STOP_MEASURE,
                                ZM_SINGLE_SHOT, ZM_START_INIT, ZM_READ_RAW_CALIB_INIT, ZM_LIST_CTRL_CHANGE_READ_RAW,
                                ZM_GET_STATUS_LONG, ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS, ZM_SET_CTRL_ON, ZM_CNFG_SET_NEW_BAUDRATE};
constexpr int kPortStates[] = {ZM_4xS_START_SSOSM, ZM_TRIGGER_ACTIV, ZM_4xS_SINGLE_SHOT, ZM_4xS_CTRL_ON,
                               ZM_4xS_SET_234_TO_SLAVE, ZM_RESTART_AFTER_INIT_DEVICE, ZM_4xS_STATOR_OPERATION,
                               ZM_CNFG_NEW_LOW_PASS_IS_SETTED, ZM_WRITE_SEQ_ROTOR_OPERATION, ZM_CNFG_SW_CONFIG_SET_SCALING_A};

platform::RecordingMessageBoxSink g_boxes;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    static platform::MessageLoop loop(platform::MessageLoop::Time::Virtual);
    platform::ScopedMessageBoxSink boxes(&g_boxes);
    g_boxes.Clear();

    CComPort com;
    com.SetSensorAddress(1, 0xFF);
    const bool multiport = (data[0] & 0x80) != 0;
    const int choice = data[0] & 0x7F;
    com.SetInterpolateLostValues(data[1] & 0x01);
    com.m_bMeasureRunning = (data[1] >> 1) & 0x01;
    com.m_bStreamStarted = (data[1] >> 2) & 0x01;
    com.m_iZMCOMConfgFlowPrev = (data[1] & 0x08) ? ZM_SET_CTRL_ON_SOSM : ZM_AUTO_STORAGE;
    CString request;
    if (data[1] & 0x10) com.BuildValueRequest(request);
    com.m_nDisplayDecimation = 3;

    if (multiport) {
        com.m_nCountActivePorts = 2 + (choice % 3);
        com.COM_ResetRealSensorIndex();
        com.SetZMCOMConfgFlow(kPortStates[(choice / 3) % std::size(kPortStates)]);
    } else {
        com.SetZMCOMConfgFlow(kChainStates[choice % std::size(kChainStates)]);
    }

    std::size_t pos = 2;
    while (pos < size) {
        const std::uint8_t header = data[pos++];
        const std::size_t length = std::min<std::size_t>(multiport ? (header & 0x3F) * 4u : header, size - pos);
        const auto bytes = reinterpret_cast<LPARAM>(data + pos);
        if (multiport) com.OnReceivePort(header >> 6, static_cast<WPARAM>(length), bytes);
        else com.OnReceiveChain(static_cast<WPARAM>(length), bytes);
        pos += length;
    }
    return 0;
}
