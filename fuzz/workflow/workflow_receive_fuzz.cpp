// Feeds arbitrary deliveries to the controller: the receive chain of the first port in the
// states that analyse answers or streams (measuring, the identification with its status answer
// and eight block reads, the search's probes, the activation and calibration steps, the
// configuration writers), and the ports of a multiport device in the states of their answers
// and of the merged stream. Whatever arrives, the controller must neither crash, nor read out
// of bounds, nor hang.
//
// Input: byte 0 chooses the path and the state, byte 1 the switches, byte 2 the answer the
// controller waits for (as its last request left it, low four bits) and the pages (high four
// bits: 0x10 the frame and the pages are attached, 0x20 and 0x40 leave channel B or A out of
// the set-up page's selection, so that a stream is read as one channel, 0x80 switches the
// angle channel on); then deliveries, each a length byte followed by that many bytes (the port
// of a multiport delivery is the length byte's top two bits). fuzz/sim/make_seeds.cpp writes
// seeds in this form.
#include <cstddef>
#include <cstdint>

#include "fuzz/workflow/controller_pages.h"

namespace {

// Keep the order: the seeds name states by their index here.
constexpr int kChainStates[] = {
    ZM_START_MEASURE_SOSM, ZM_TRIGGER_ACTIV, ZM_SET_CTRL_ON_SOSM, ZM_STOP_MEASURE, ZM_SINGLE_SHOT, ZM_START_INIT,
    ZM_READ_RAW_CALIB_INIT, ZM_LIST_CTRL_CHANGE_READ_RAW, ZM_GET_STATUS_LONG, ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS,
    ZM_SET_CTRL_ON, ZM_CNFG_SET_NEW_BAUDRATE,
    // search
    ZM_CHECK_IF_HMB_USB_KM2_IS_CONNECTED, ZM_CHECK_IF_HMB_USB_KM2_CHECK_ADDRESSES,
    // activation and calibration
    ZM_USERCALIB_ACTIVATE, ZM_USERCALIB_DEACTIVATE, ZM_FACTORYCALIB_ACTIVATE, ZM_SET_NEW_USERCALIB,
    ZM_SET_INACCURACY_USERCALIB, ZM_SET_CTRL_OFF, ZM_RESTART_SENSOR, ZM_RESTART_SENSOR_AFTER_INIT,
    // configuration writers
    ZM_CNFG_ST_OPERATION_BLOCK, ZM_CNFG_SW_CONFIG_SET_SCALING_A, ZM_CNFG_SW_CONFIG_SET_SCALING_B,
    ZM_CNFG_SW_CONFIG_DELETE_BLOCK, ZM_SET_SERIAL_NUMBER_ROTOR_OPERATION, ZM_CNFG_SET_NEW_LOW_PASS_FILTER,
    ZM_WRITE_SEQ_STATOR_OPERATION, ZM_WRITE_SEQ_ROTOR_USER_CALIB, ZM_WRITE_SEQ_ROTOR_OPERATION, ZM_ANGLE_ZERO};
constexpr int kPortStates[] = {ZM_4xS_START_SSOSM, ZM_TRIGGER_ACTIV, ZM_4xS_SINGLE_SHOT, ZM_4xS_CTRL_ON,
                               ZM_4xS_SET_234_TO_SLAVE, ZM_RESTART_AFTER_INIT_DEVICE, ZM_4xS_STATOR_OPERATION,
                               ZM_CNFG_NEW_LOW_PASS_IS_SETTED, ZM_WRITE_SEQ_ROTOR_OPERATION, ZM_CNFG_SW_CONFIG_SET_SCALING_A,
                               // the acknowledgements of the writers and switches on every port
                               ZM_CNFG_SET_NEW_LOW_PASS_FILTER, ZM_PORT_LOOP_STATOR_OPERATION,
                               ZM_WRITE_SEQ_STATOR_OPERATION, ZM_WRITE_SEQ_NEXT_PORT, ZM_4xS_CTRL_OFF,
                               ZM_4xS_SERIAL_NUMBER, ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS};
// The block numbers of the eight configuration blocks.
constexpr BYTE kBlocks[] = {0x00, 0x01, 0x02, 0x03, 0x80, 0x81, 0x82, 0x83};


// Leaves the codec waiting for the answer to the request chosen by choice.
void ExpectAnswer(CComPort& com, int choice)
{
    CString request;
    if (choice < 1) return;  // whatever the state's own last request left
    if (choice == 1) com.BuildValueRequest(request);
    else if (choice == 2) com.BuildStatusLongRequest(request);
    else if (choice == 3) com.BuildCtrlOnRequest(request);
    else if (choice == 4) com.BuildRestartRequest(request);
    else if (choice == 13) com.BuildAck(request, false);
    else com.ReadConfig(nullptr, kBlocks[(choice - 5) % std::size(kBlocks)]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3) return 0;
    fuzz_support::ControllerInput input;
    CComPort& com = input.com;
    fuzz_support::ControllerPages& pages = input.pages;
    if (data[2] & 0x10) {
        pages.setup.channelB = (data[2] & 0x20) == 0;
        pages.setup.channelA = (data[2] & 0x40) == 0;
        if (data[2] & 0x80) {
            // An angle channel counts on over the wrap of its 16-bit counter.
            pages.control.settings.bAngleChannelSwitch = 1;
            SetFirstSensorConnected();
        }
        pages.sequencer.advanceResults = {true, false};
        com.SetPeers(pages.Peers());
    }
    const bool multiport = (data[0] & 0x80) != 0;
    const int choice = data[0] & 0x7F;
    com.SetInterpolateLostValues(data[1] & 0x01);
    com.m_bMeasureRunning = (data[1] >> 1) & 0x01;
    com.m_bStreamStarted = (data[1] >> 2) & 0x01;
    com.m_iZMCOMConfgFlowPrev = (data[1] & 0x08) ? ZM_SET_CTRL_ON_SOSM : ZM_AUTO_STORAGE;
    CString request;
    if (data[1] & 0x10) com.BuildValueRequest(request);
    com.m_nDisplayDecimation = 3;
    // The search probes the port of a row of the port table.
    com.m_nPortRecCount = 1;
    com.m_PortRec[0].m_strPortName = (data[1] & 0x20) ? "COM7" : "/dev/ttyUSB0";
    com.m_nActivePortRec = (data[1] & 0x40) ? 0 : -1;

    if (multiport) {
        com.m_nCountActivePorts = 2 + (choice % 3);
        com.COM_ResetRealSensorIndex();
        com.SetZMCOMConfgFlow(kPortStates[(choice / 3) % std::size(kPortStates)]);
    } else {
        com.SetZMCOMConfgFlow(kChainStates[choice % std::size(kChainStates)]);
    }
    ExpectAnswer(com, data[2] & 0x0F);

    std::size_t pos = 3;
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
