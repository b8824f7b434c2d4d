#pragma once
// The frame's new-values entry (RefreshChannelViews) as a class of its own: it turns the
// controller's latest raw values into each channel's value, minimum and maximum, hands every
// value set of a measurement to the diagram's curve store, the measurement's evaluation and the
// frame's documentation,
// and has the views repainted at a bounded rate, however fast value sets arrive.
//
// Reasons: 0 a value set of a stream; 1 after a single shot (and each poll of a slow
// measurement); 2 the first values of a sensor; 3 unit or decimals changed; 4 and 5 the views
// are to show again what they hold (layout, language).

#include <array>
#include <cstdint>
#include <vector>

#include "views/channel_values.h"
#include "views/moving_average.h"
#include "views/repaint_throttle.h"
#include "views/views_frame.h"

namespace views {

// A view that shows channel values; it reads them from the refresher when it is repainted.
class IChannelDisplay {
public:
    virtual ~IChannelDisplay() = default;
    virtual void ShowValues() = 0;
};

// The diagram's side: every value set of a measurement, and the bounded repaint.
class ISampleSink {
public:
    virtual ~ISampleSink() = default;
    virtual void AddValueSet(const ValueSet& set) = 0;
    virtual void RepaintSamples() = 0;
};

class ChannelRefresher {
public:
    explicit ChannelRefresher(IViewsFrame& frame, platform::MessageLoop& loop = platform::MessageLoop::Current());
    ChannelRefresher(const ChannelRefresher&) = delete;
    ChannelRefresher& operator=(const ChannelRefresher&) = delete;

    void RefreshChannelViews(int reason);

    void ConfigureMovingAverages(int mode);
    void ResetMovingAverages() { m_rings.Reset(); }
    const SmoothingRings& Rings() const { return m_rings; }

    ChannelValues& Values(int channel) { return m_values.at(static_cast<std::size_t>(channel)); }
    const ChannelValues& Values(int channel) const { return m_values.at(static_cast<std::size_t>(channel)); }
    ChannelScale Scale(int channel) const;
    // The shown value, minimum and maximum of a channel (NaN: "n.a.").
    double ShownValueOf(int channel) const;
    double ShownMinimumOf(int channel) const;
    double ShownMaximumOf(int channel) const;

    void Tare(int channel);
    void TareIfNotTared(int channel);
    void ClearTare(int channel);
    void ResetMinMax(int channel);
    // The sensors left: no channel shows what they measured before (their tares stay), so that
    // once they are back the views show only values measured since.
    void ForgetMeasuredValues();
    // The sensor (0 to 3) with this serial number is connected, its display tables filled: the
    // channels it carries that showed another sensor, or another measurand or range end (an
    // encoder back counting the angle instead of the speed), start without value, minimum,
    // maximum or tare, and so do the power channels computed from them: a count kept from
    // before means nothing in the new unit. The same sensor back as it was keeps its tares.
    void TakeSensor(const CComPort& com, int sensor, DWORD serial);

    void AttachDisplay(IChannelDisplay* display);
    void DetachDisplay(IChannelDisplay* display);
    void AttachSampleSink(ISampleSink* sink) { m_sink = sink; }
    void SetEvaluation(IValueEvaluation* evaluation) { m_evaluation = evaluation; }

    // Repaints the views now when one is pending.
    void FlushRepaint() { m_throttle.Flush(); }
    int RepaintCount() const { return m_throttle.RepaintCount(); }
    std::int64_t ValueSetCount() const { return m_sets; }
    std::int64_t ShownSetCount() const { return m_shownSets; }

private:
    void ReadBaseValues(int reason, std::array<double, kChannelCount>& base, std::array<bool, kChannelCount>& has);
    bool FeedsMeasurement(int reason) const;
    void Repaint();

    IViewsFrame& m_frame;
    std::array<ChannelValues, kChannelCount> m_values{};
    // What each channel's values were measured as: the sensor's serial number (-1 none yet),
    // the measurand and the range end its counts stand for.
    struct ChannelSource {
        std::int64_t serial = -1;
        BYTE typeClass = 0;
        UINT baseUnit = 0;
        double rangeEnd = 0.0;
        int counts = 0;
        bool operator==(const ChannelSource&) const = default;
    };
    std::array<ChannelSource, kChannelCount> m_sourceOfChannel{};
    SmoothingRings m_rings;
    std::vector<IChannelDisplay*> m_displays;
    ISampleSink* m_sink = nullptr;
    IValueEvaluation* m_evaluation = nullptr;
    RepaintThrottle m_throttle;
    std::int64_t m_sets = 0;
    std::int64_t m_shownSets = 0;
};

}  // namespace views
