#include "measurement/around_trigger_monitor.h"

namespace measurement {

namespace {

constexpr const char* kExceed = "^ exceed";
constexpr const char* kDropBelow = "_ drop below";
constexpr const char* kBingoExceeded = "BINGO: exceeded !";
constexpr const char* kBingoDropped = "BINGO: dropped below !";

struct Column {
    int op, comparison, sign, direction, sensor, given, hysteresis, actualIdle, actualArmed, checkpoint;
};
constexpr Column kStart{1712, 1732, 1710, 1704, 1736, 1706, 1707, 1713, 1728, 1709};
constexpr Column kStop{1724, 1733, 1723, 1717, 1737, 1719, 1720, 1725, 1730, 1722};

}  // namespace

void AroundTriggerMonitor::ShowPanel(bool show)
{
    for (int id : kAroundTriggerIds) m_controls.Show(id, show);
}

bool AroundTriggerMonitor::SetTextIfChanged(int id, const CString& text)
{
    if (m_controls.Text(id) == text) return false;
    m_controls.SetText(id, text);
    ++m_writes;
    return true;
}

void AroundTriggerMonitor::Evaluate(int panel, int direction, double actual, char op, char sign, double given,
                                    double hysteresis, bool armed, int sensorNumber)
{
    if (panel != 0 && panel != 1) return;
    if (panel == 1) {
        const CString fired = m_controls.Text(kStart.direction);
        SetTextIfChanged(kStart.direction, fired == kExceed || fired == kBingoExceeded ? kBingoExceeded : kBingoDropped);
    }
    const Column& c = panel == 0 ? kStart : kStop;
    SetTextIfChanged(c.op, CString(op) + "=");
    SetTextIfChanged(c.comparison, direction == 0 ? ">=" : "<=");
    SetTextIfChanged(c.sign, CString(sign));
    // The stop's direction field reads as the event marks it at once: written as the plain
    // direction first, it would flicker at every value past the level.
    const bool met = panel == 1 && ((direction == 0 && actual >= given) || (direction == 1 && actual <= given));
    if (met) SetTextIfChanged(c.direction, direction == 0 ? kBingoExceeded : kBingoDropped);
    else SetTextIfChanged(c.direction, direction == 0 ? kExceed : kDropBelow);
    m_controls.Enable(c.direction, armed);
    if (sensorNumber >= 1 && sensorNumber <= 6) SetTextIfChanged(c.sensor, CString::Formatted("Sensor %d", sensorNumber));
    SetTextIfChanged(c.given, CString::Formatted("%.3f", given));
    SetTextIfChanged(c.hysteresis, CString::Formatted("%.3f", hysteresis));
    SetTextIfChanged(armed ? c.actualArmed : c.actualIdle, CString::Formatted("%.3f", actual));
    m_controls.Enable(c.actualIdle, !armed);
    m_controls.Enable(c.actualArmed, armed);
    const double checkpoint = sign == '+' ? given + hysteresis : given - hysteresis;
    SetTextIfChanged(c.checkpoint, CString::Formatted("%3f", checkpoint));
}

}  // namespace measurement
