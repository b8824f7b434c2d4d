#include "views/curve_recorder.h"

#include <algorithm>
#include <cmath>

namespace views {

bool CurveRecorder::Setup(const DiagramSetup& setup, int capacity)
{
    m_setup = setup;
    m_curveOfChannel.fill(-1);
    m_curveCount = 0;
    for (int c = 0; c < kChannelCount && m_curveCount < CDataManager::kMaxCurves; ++c)
        if (setup.Records(c)) m_curveOfChannel[static_cast<std::size_t>(c)] = m_curveCount++;
    // The store keeps one (empty) curve when no channel is recorded.
    m_data.Reset(std::max(m_curveCount, 1), capacity);
    const double factor = std::isfinite(setup.xAxisFactor) && setup.xAxisFactor > 0 ? setup.xAxisFactor : 1.0;
    m_xStep = std::isfinite(setup.samplePeriod) && setup.samplePeriod > 0 ? setup.samplePeriod / factor : 0.001;
    m_xChannel = setup.xChannel >= 0 && setup.xChannel < kChannelCount ? setup.xChannel : kXAxisTime;
    m_sets = 0;
    return m_curveCount > 0;
}

int CurveRecorder::CurveOfChannel(int channel) const
{
    return channel >= 0 && channel < kChannelCount ? m_curveOfChannel[static_cast<std::size_t>(channel)] : -1;
}

int CurveRecorder::ChannelOfCurve(int curve) const
{
    for (int c = 0; c < kChannelCount; ++c)
        if (m_curveOfChannel[static_cast<std::size_t>(c)] == curve && curve >= 0) return c;
    return -1;
}

void CurveRecorder::SetRunState(int state, int value)
{
    m_runState = state == kRunLimited || state == kRunFree ? state : kRunIdle;
    m_pointLimit = m_runState == kRunLimited ? value : 0;
}

bool CurveRecorder::Add(const ValueSet& set)
{
    if (m_runState == kRunIdle) return false;
    if (m_runState == kRunLimited && m_sets >= m_pointLimit) return false;
    const double time = static_cast<double>(m_sets) * m_xStep;
    ++m_sets;
    if (m_xChannel != kXAxisTime && !set.valid[static_cast<std::size_t>(m_xChannel)]) return true;  // no x: no point
    const double x = m_xChannel == kXAxisTime ? time : set.value[static_cast<std::size_t>(m_xChannel)];
    for (int c = 0; c < kChannelCount; ++c) {
        const int curve = m_curveOfChannel[static_cast<std::size_t>(c)];
        if (curve < 0 || !set.valid[static_cast<std::size_t>(c)]) continue;
        m_data.AddPoint(curve, x, set.value[static_cast<std::size_t>(c)]);
    }
    return true;
}

}  // namespace views
