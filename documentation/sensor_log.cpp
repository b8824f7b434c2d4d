#include "documentation/sensor_log.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "documentation/file_naming.h"
#include "documentation/measurement_description.h"
#include "platform/codepage.h"
#include "platform/message_loop.h"
#include "platform/profile.h"
#include "workflow/sensor_records.h"

namespace documentation {

CString CSensorLog::FileNameOf(const CSensorRecord& sensor) const
{
    return JoinPath(platform::LocalAppDataFolder(), CString::Formatted("Sensor_%u.log", static_cast<unsigned>(sensor.m_sStatorHeader.nSerialNo)));
}

bool CSensorLog::WriteLogFile(const CSensorRecord& sensor, const CString& title, const CString& body)
{
    if (!IsOn()) return false;
    platform::CreateLocalAppDataFolder();
    const std::int64_t now = platform::CalendarSeconds();
    CString entry = "==== " + DateText(now) + " " + TimeText(now) + " ====\r\n" + title + "\r\n";
    if (!body.IsEmpty()) entry += body + "\r\n";
    entry += "\r\n";
    const CString fileName = FileNameOf(sensor);
    const int fd = ::open(platform::ToFileSystemPath(fileName).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    // One write per entry, so that entries of two programs never interleave.
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < static_cast<std::size_t>(entry.GetLength())) {
        const ssize_t n = ::write(fd, entry.GetString() + done, static_cast<std::size_t>(entry.GetLength()) - done);
        if (n > 0) done += static_cast<std::size_t>(n);
        else ok = n < 0 && errno == EINTR;
    }
    ::close(fd);
    return ok;
}

bool CSensorLog::LogConnection(const CSensorRecord& sensor, const CString& portName)
{
    return WriteLogFile(sensor, "Verbindung hergestellt", "Port: " + portName);
}

bool CSensorLog::LogDisconnected(const CSensorRecord& sensor)
{
    return WriteLogFile(sensor, "Sensor getrennt", CString());
}

bool CSensorLog::LogProgramEnd(const CSensorRecord& sensor)
{
    const std::int64_t now = platform::CalendarSeconds();
    return WriteLogFile(sensor, "Programmende", DateText(now) + " " + TimeText(now));
}

void CSensorLog::LogConnections(const std::vector<ConnectedSensor>& sensors)
{
    for (const ConnectedSensor& now : sensors) {
        auto known = std::find_if(m_connected.begin(), m_connected.end(),
                                  [&](const ConnectedSensor& c) { return c.port == now.port; });
        if (known == m_connected.end()) {
            m_connected.push_back(now);
        } else {
            if (known->sensor.m_sStatorHeader.nSerialNo == now.sensor.m_sStatorHeader.nSerialNo) continue;
            *known = now;
        }
        LogConnection(now.sensor, now.port);
    }
}

void CSensorLog::LogDisconnections()
{
    for (const ConnectedSensor& known : m_connected) LogDisconnected(known.sensor);
    m_connected.clear();
}

}  // namespace documentation
