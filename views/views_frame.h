#pragma once
// What the live views need of the main frame, and what they offer the measurement: the frame
// implements IViewsFrame; the measurement's evaluation (triggers, pass/fail) implements
// IValueEvaluation and is handed every value set.

#include <array>
#include <cstdint>

#include "platform/cstring.h"
#include "views/display_tables.h"

class CComPort;
class CAFormChannelX;
class CAFormDiagram;
class CAFormLight;

namespace workflow {
struct MeasureCtrlSettings;
}

namespace views {

// One value set as the views show it: per channel A, B, C, D, P1, P2 the value in the chosen
// unit with sign and tare applied, and whether there is one.
struct ValueSet {
    std::array<double, kChannelCount> value{};
    std::array<bool, kChannelCount> valid{};
    int reason = 0;
};

class IValueEvaluation {
public:
    virtual ~IValueEvaluation() = default;
    // Every value set of a measurement, in order, none skipped, before it is drawn and written.
    virtual void EvaluateValueSet(const ValueSet& set) = 0;
    // Whether the set just evaluated belongs to the recording: false once a trigger's stop
    // event has ended it, for the sets still on the line behind the stop.
    virtual bool RecordsLastValueSet() const = 0;
};

// The x axis counts time (set number x sample period) unless a channel is put on it.
constexpr int kXAxisTime = -1;

// What the diagram takes from the set-up of a measurement.
struct DiagramSetup {
    // Every measured channel is recorded, a curve each, whatever the axes show; the shown ones
    // are drawn. (A channel shown is recorded whether or not it is marked measured.)
    std::array<bool, kChannelCount> channelMeasured{};
    std::array<bool, kChannelCount> channelShown{};
    bool Records(int channel) const
    {
        return channelMeasured[static_cast<std::size_t>(channel)] || channelShown[static_cast<std::size_t>(channel)];
    }
    // kXAxisTime, or the channel whose value is the x of every point of the shown channels
    // (torque over angle, say); that channel is not drawn as a curve of its own.
    int xChannel = kXAxisTime;
    double samplePeriod = 0.001;                       // seconds between value sets
    double xAxisFactor = 1.0;                          // seconds per x-axis unit
    CString xAxisUnit = "s";
    // Legend and axis texts of the curves ("A [N·m]"); empty: the channel's letter.
    std::array<CString, kChannelCount> curveNames;
};

class IViewsFrame {
public:
    virtual ~IViewsFrame() = default;
    virtual DisplayTables& Tables() = 0;
    // The controller whose latest values the views show; null before it exists.
    virtual CComPort* ComPort() = 0;
    // The measurement control page's settings record; null while there is no page.
    virtual workflow::MeasureCtrlSettings* MeasureSettings() = 0;
    // Set when the measuring time is reached or a stop trigger fired.
    virtual bool IsMeasurementEnded() const = 0;
    virtual DiagramSetup GetDiagramSetup() const = 0;
    // Every value set of a measurement, in order, for the measured-value file.
    virtual void DocumentValueSet(const ValueSet& set) = 0;
    // The file the diagram is stored in at the end of a measurement; empty when the
    // documentation settings do not ask for it.
    virtual CString DiagramFileAtEnd() = 0;
    // Registration: the frame keeps the first view of each kind.
    virtual void RegisterChannelView(int channel, CAFormChannelX* view) = 0;
    virtual void RegisterDiagramView(CAFormDiagram* view) = 0;
    virtual void RegisterLightView(CAFormLight* view) = 0;
};

}  // namespace views
