#pragma once
// Records value sets into the curve store: one curve per channel measured or shown, x the time
// of the set (set number x sample period, in x-axis units) or, with a channel on the x axis,
// that channel's value in the same set; y the channel's value. Values that are no number, and
// sets without an x value, leave no point. Idle, nothing is recorded; with a point limit the
// recording stops there.

#include <array>

#include "views/data_manager.h"
#include "views/views_frame.h"

namespace views {

class CurveRecorder {
public:
    static constexpr int kRunIdle = 0;
    static constexpr int kRunLimited = 1;
    static constexpr int kRunFree = 2;

    explicit CurveRecorder(CDataManager& data) : m_data(data) { m_curveOfChannel.fill(-1); }

    // Maps the measured and shown channels to curves 0, 1, ... and empties the store with room
    // for `capacity` points per curve. False when there is none: nothing is recorded then.
    bool Setup(const DiagramSetup& setup, int capacity = CDataManager::kDefaultPoints);
    int CurveOfChannel(int channel) const;
    int ChannelOfCurve(int curve) const;
    int CurveCount() const { return m_curveCount; }

    void SetRunState(int state, int value);

    // False when the set was not recorded (idle, or the limit reached).
    bool Add(const ValueSet& set);
    long long SetCount() const { return m_sets; }

private:
    CDataManager& m_data;
    DiagramSetup m_setup;
    std::array<int, kChannelCount> m_curveOfChannel{};
    int m_curveCount = 0;
    int m_runState = kRunIdle;
    int m_pointLimit = 0;
    long long m_sets = 0;
    double m_xStep = 0.001;
    int m_xChannel = kXAxisTime;
};

}  // namespace views
