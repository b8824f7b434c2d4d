#include "views/data_manager.h"

#include <algorithm>
#include <cstring>

CDataManager::CDataManager() { Reset(1); }

bool CDataManager::Reset(int curves, int points)
{
    if (curves < 1 || curves > kMaxCurves) return false;
    points = std::clamp(points, 1, kHardLimitPoints);
    std::lock_guard<std::mutex> guard(m_lock);
    for (Curve& curve : m_curves) {
        if (curve.lent && curve.lent == curve.data.get()) m_orphans.push_back(std::move(curve.data));
        for (auto& old : curve.retired) m_orphans.push_back(std::move(old));
    }
    m_curves.clear();
    m_curves.resize(static_cast<std::size_t>(curves));
    for (Curve& curve : m_curves) {
        curve.data = std::make_unique<ChartPoint[]>(static_cast<std::size_t>(points));
        curve.capacity = points;
    }
    return true;
}

int CDataManager::GetCurveCount() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return static_cast<int>(m_curves.size());
}

int CDataManager::GetPointCount(int curve) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return curve >= 0 && curve < static_cast<int>(m_curves.size()) ? m_curves[static_cast<std::size_t>(curve)].count : 0;
}

int CDataManager::GetCapacity(int curve) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return curve >= 0 && curve < static_cast<int>(m_curves.size()) ? m_curves[static_cast<std::size_t>(curve)].capacity : 0;
}

int CDataManager::GetDroppedCount(int curve) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return curve >= 0 && curve < static_cast<int>(m_curves.size()) ? m_curves[static_cast<std::size_t>(curve)].dropped : 0;
}

int CDataManager::GetMaxPointCount() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    int most = 0;
    for (const Curve& curve : m_curves) most = std::max(most, curve.count);
    return most;
}

bool CDataManager::Grow(Curve& curve)
{
    if (curve.capacity >= kHardLimitPoints) return false;
    const int capacity = static_cast<int>(std::min<long long>(2LL * curve.capacity, kHardLimitPoints));
    auto larger = std::make_unique<ChartPoint[]>(static_cast<std::size_t>(capacity));
    std::memcpy(larger.get(), curve.data.get(), sizeof(ChartPoint) * static_cast<std::size_t>(curve.count));
    // The chart may still read the old array: it lives on until the chart has the new one.
    if (curve.lent == curve.data.get()) curve.retired.push_back(std::move(curve.data));
    curve.data = std::move(larger);
    curve.capacity = capacity;
    return true;
}

bool CDataManager::AddLocked(Curve& curve, double x, double y)
{
    if (curve.count == curve.capacity && !Grow(curve)) {
        ++curve.dropped;
        return false;
    }
    curve.data[static_cast<std::size_t>(curve.count)] = ChartPoint{x, y};
    ++curve.count;
    return true;
}

bool CDataManager::AddPoint(int curve, double x, double y)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (curve < 0 || curve >= static_cast<int>(m_curves.size())) return false;
    return AddLocked(m_curves[static_cast<std::size_t>(curve)], x, y);
}

void CDataManager::AddPoints(double x, const double* y, int curveCount)
{
    std::lock_guard<std::mutex> guard(m_lock);
    const int n = std::min(curveCount, static_cast<int>(m_curves.size()));
    for (int i = 0; i < n; ++i) AddLocked(m_curves[static_cast<std::size_t>(i)], x, y[i]);
}

ChartPoint CDataManager::GetPoint(int curve, int index) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (curve < 0 || curve >= static_cast<int>(m_curves.size())) return {};
    const Curve& c = m_curves[static_cast<std::size_t>(curve)];
    return index >= 0 && index < c.count ? c.data[static_cast<std::size_t>(index)] : ChartPoint{};
}

void CDataManager::Lend(const std::function<bool(int, const ChartPoint*, int)>& lend)
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (std::size_t i = 0; i < m_curves.size(); ++i) {
        Curve& curve = m_curves[i];
        if (curve.count == 0 || (curve.lent == curve.data.get() && curve.lentCount == curve.count)) continue;
        if (!lend(static_cast<int>(i), curve.data.get(), curve.count)) continue;
        curve.lent = curve.data.get();
        curve.lentCount = curve.count;
        curve.retired.clear();
    }
}

void CDataManager::ForgetLent()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_orphans.clear();
    for (Curve& curve : m_curves) {
        curve.lent = nullptr;
        curve.lentCount = 0;
        curve.retired.clear();
    }
}

const ChartPoint* CDataManager::LentArray(int curve) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return curve >= 0 && curve < static_cast<int>(m_curves.size()) ? m_curves[static_cast<std::size_t>(curve)].lent : nullptr;
}

int CDataManager::RetiredArrayCount() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    int n = 0;
    for (const Curve& curve : m_curves) n += static_cast<int>(curve.retired.size());
    return n + static_cast<int>(m_orphans.size());
}
