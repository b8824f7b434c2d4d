#pragma once
// The numbered workflow states of the sensor conversation. The controller keeps one of them in
// m_iZMCOMConfgFlow; each step sets the code that says what it waits for, and the receive chain
// and the acknowledgement analyses read it to decide what an answer means.

#include "platform/cstring.h"

enum ZmCode : int {
    ZM_START_INIT = 1,
    ZM_RESTART_SENSOR = 2,
    ZM_START_MEASURE_SOSM = 3,
    ZM_START_MEASURE_NO_SOSM = 4,
    ZM_STOP_MEASURE = 5,
    ZM_SINGLE_SHOT = 6,
    ZM_SET_CTRL_ON = 7,
    ZM_SET_CTRL_OFF = 8,
    ZM_MEASURE_TIME_REACHED = 9,  // unnamed
    ZM_TRIGGER_ACTIV = 12,
    ZM_GET_STATUS_LONG = 14,
    ZM_SET_CTRL_ON_SOSM = 16,
    ZM_SET_CTRL_OFF_SOSM = 17,
    ZM_USERCALIB_DEACTIVATE = 18,
    ZM_USERCALIB_ACTIVATE = 19,
    ZM_SET_NEW_USERCALIB = 20,
    ZM_SET_NEW_FACCALIB = 21,
    ZM_READ_RAW_CALIB_INIT = 22,
    ZM_SET_INACCURACY_USERCALIB = 23,
    ZM_SET_INACCURACY_FACTORYCALIB = 24,
    ZM_CHECK_IF_HMB_USB_KM2_IS_CONNECTED = 25,
    ZM_CHECK_IF_HMB_USB_KM2_CHECK_ADDRESSES = 26,
    ZM_LIST_CTRL_CHANGE_READ_RAW = 27,
    ZM_CONFIGURE_SENSOR = 28,
    ZM_CNFG_ST_HEADER_BLOCK = 29,
    ZM_CNFG_RT_HEADER_BLOCK = 30,
    ZM_CNFG_ST_HARDWARE_BLOCK = 31,
    ZM_CNFG_RT_OPERATION_BLOCK = 32,
    ZM_CNFG_ST_OPERATION_BLOCK = 33,
    ZM_CNFG_RT_FACTORY_CALIB_NEW = 34,
    ZM_CNFG_SW_CONFIG_SET_SCALING_A = 35,
    ZM_CNFG_SW_CONFIG_SET_SCALING_B = 36,
    ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS = 37,
    ZM_CNFG_SW_CONFIG_DELETE_BLOCK = 38,
    ZM_CNFG_SET_NEW_BAUDRATE = 39,
    ZM_CNFG_NEW_BAUDRATE_IS_SETTED = 40,
    ZM_SET_OTHER_ADDRESS_OF_INTERFACE = 41,
    ZM_SET_SERIAL_NUMBER_ROTOR_OPERATION = 42,
    ZM_FACTORYCALIB_ACTIVATE = 43,
    ZM_FACTORYCALIB_DEACTIVATE = 44,
    ZM_RESTART_SENSOR_AFTER_INIT = 45,
    ZM_CNFG_SET_NEW_LOW_PASS_FILTER = 46,
    ZM_CNFG_NEW_LOW_PASS_IS_SETTED = 47,
    // Unnamed codes in use.
    ZM_PORT_LOOP_STATOR_OPERATION = 48,
    ZM_SENSOR_SET_CHANGED = 49,
    ZM_RESTART_AFTER_INIT_DEVICE = 50,
    ZM_ANGLE_ZERO = 51,
    ZM_AUTO_STORAGE = 52,
    ZM_WRITE_SEQ_STATOR_OPERATION = 53,
    ZM_WRITE_SEQ_ROTOR_USER_CALIB = 54,
    ZM_WRITE_SEQ_ROTOR_OPERATION = 55,
    ZM_WRITE_SEQ_NEXT_PORT = 56,
    ZM_WRITE_SEQ_DONE = 57,
    ZM_4xS_SET_234_TO_SLAVE = 1000,
    ZM_4xS_START_SSOSM = 1001,
    ZM_4xS_SINGLE_SHOT = 1003,
    ZM_4xS_CTRL_OFF = 1004,
    ZM_4xS_CTRL_ON = 1005,
    ZM_4xS_SERIAL_NUMBER = 1006,
    ZM_4xS_STATOR_OPERATION = 1007,
};

// The system's own name of a code ("ZM_..."), or the text for a code without one.
CString ZmCodeName(int code);

// The configuration block that a state waits to have acknowledged as written (2, 3, 0x82,
// 0x83), or -1 when the state waits for no block write.
int BlockWrittenInState(int code);
