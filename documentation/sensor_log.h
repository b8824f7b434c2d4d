#pragma once
// The per-sensor log files: one file per sensor (by its stator serial number) in the user's
// local application-data folder, "Sensor_<serial>.log". Entries are appended whole, each with
// the date and time of the loop's calendar, a title and a body. Nothing is written unless the
// profile value "WriteLogFile" (section "Settings") is 0; 1, the default, keeps the logs off.

#include <vector>

#include "platform/cstring.h"
#include "workflow/sensor_records.h"

namespace documentation {

class CSensorLog {
public:
    // The switch as the profile holds it ("WriteLogFile"): 0 on, anything else off.
    void SetSwitch(int value) { m_switch = value; }
    bool IsOn() const { return m_switch == 0; }

    CString FileNameOf(const CSensorRecord& sensor) const;

    // Appends one entry; false when the switch is off or the file cannot be written.
    bool WriteLogFile(const CSensorRecord& sensor, const CString& title, const CString& body);

    // The events the program logs. Their titles are the program's own fixed texts, whatever
    // language the user reads, so that a log reads alike from its first entry to its last.
    bool LogConnection(const CSensorRecord& sensor, const CString& portName);
    bool LogDisconnected(const CSensorRecord& sensor);
    bool LogProgramEnd(const CSensorRecord& sensor);

    // The sensors whose logs hold a connection not yet followed by a disconnection, by sensor
    // index, each with the port it is reached on.
    struct ConnectedSensor {
        CSensorRecord sensor;
        CString port;
    };
    // A connection as it stands now. Each sensor is logged once, with the port it is reached
    // on: one already logged on that port with the same serial number adds nothing, whatever
    // place it takes in the report, so a connection reported again, growing port by port, or
    // naming a device's sensors one by one while they are read, logs each sensor once. Another
    // sensor on a logged port takes that port's place. Sensors not named stay connected until
    // a disconnection.
    void LogConnections(const std::vector<ConnectedSensor>& sensors);
    // "Sensor getrennt" for every connected sensor; none is connected afterwards.
    void LogDisconnections();
    const std::vector<ConnectedSensor>& ConnectedSensors() const { return m_connected; }

private:
    int m_switch = 1;
    std::vector<ConnectedSensor> m_connected;
};

}  // namespace documentation
