#pragma once
// The rows of the sensor information page, built from a sensor record: what the sensor is
// (type, serial numbers, address, stator and rotor identification), how it is calibrated,
// its ranges and measurands, the low-pass filters, the multiport module, and the dates of its
// blocks. A value that the record does not hold (block never read or damaged, zero serial,
// unset date) reads "n.a.".

#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"

class CKadmor_Send;
class CSensorRecord;

namespace sensor_admin {

struct InfoRow {
    UINT labelId = 0;
    CString value;
};

// Block slots of CSensorRecord::m_anBlockCheck.
enum BlockSlotIndex : int {
    kSlotStatorHeader = 0,
    kSlotStatorHardware = 1,
    kSlotStatorOperation = 2,
    kSlotSoftwareConfig = 3,
    kSlotRotorHeader = 4,
    kSlotFactoryCalib = 5,
    kSlotUserCalib = 6,
    kSlotRotorOperation = 7,
};

// present: a sensor is connected and its record was read.
std::vector<InfoRow> BuildSensorInformation(const CKadmor_Send& codec, const CSensorRecord& sensor, bool present,
                                            int language);

// The measurand of channel 0 (A) or 1 (B) of the sensor.
CString MeasurandText(const CSensorRecord& sensor, int channel);

}  // namespace sensor_admin
