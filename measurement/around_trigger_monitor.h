#pragma once
// The around-trigger monitor of the control panel: for the start and the stop trigger the
// given level, the hysteresis, the checkpoint the value must first reach, the actual value and
// a marker when the condition is met. It only shows what the trigger evaluation hands it, and
// writes a control's text only when it changes, so refreshing it with every value set does not
// flicker.

#include "measurement/page_controls.h"

namespace measurement {

class AroundTriggerMonitor {
public:
    explicit AroundTriggerMonitor(PageControls& controls) : m_controls(controls) {}

    // Every control of the area shown or hidden.
    void ShowPanel(bool show);
    // panel 0 start / 1 stop; direction 0 exceed / 1 drop below. sensorNumber: the frame's
    // start- or stop-trigger sensor number (1 to 6, other values leave the static alone).
    void Evaluate(int panel, int direction, double actual, char op, char sign, double given, double hysteresis,
                  bool armed, int sensorNumber);
    bool SetTextIfChanged(int id, const CString& text);
    // Text writes that changed a control (tests count them).
    int Writes() const { return m_writes; }

private:
    PageControls& m_controls;
    int m_writes = 0;
};

// Control ids of the area.
constexpr int kAroundTriggerIds[] = {1701, 1702, 1703, 1704, 1705, 1706, 1707, 1708, 1709, 1710, 1711, 1712,
                                     1713, 1714, 1715, 1716, 1717, 1718, 1719, 1720, 1721, 1722, 1723, 1724,
                                     1725, 1726, 1727, 1728, 1729, 1730, 1731, 1732, 1733, 1734, 1735, 1736, 1737};

}  // namespace measurement
