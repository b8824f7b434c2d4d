#pragma once
// The frame's display-value operations over the display tables and the controller:
// UpdateDisplayValues (mode 0 clears a sensor's channels, mode 1 stores its record's settings
// and formats them for the channel views) and StoreSensorDisplayValue (the sensor's range end
// as value and text).

#include <vector>

#include "views/display_tables.h"

class CComPort;
class CSensorRecord;

namespace views {

// The channels (display tables) a sensor carries: with fewer than two active ports the one
// sensor carries A and B; otherwise sensor n carries the channel the controller maps it to.
struct SensorChannel {
    int channel;
    bool second;  // the sensor's channel B
};
std::vector<SensorChannel> ChannelsOfSensor(const CComPort& com, int sensor);

void UpdateDisplayValues(DisplayTables& tables, CComPort& com, int sensor, int mode, const CSensorRecord* record,
                         int language);
// A channel's range end and unit as its view names them: an encoder's range end as a whole
// number in the first unit of its list ("360 °", "30000 1/min"; unit factor 1), any other
// channel's nominal-value code (codeText, "%04x") formatted for its measurand. False, with
// "n.a." for both texts, when it cannot be shown.
bool FormatRangeEnd(const DisplayTable& table, const CString& codeText, int language, CString& value, CString& unit,
                    double& factor);
void StoreSensorDisplayValue(DisplayTables& tables, const CComPort& com, int sensor, int language);

}  // namespace views
