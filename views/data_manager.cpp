#include "views/data_manager.h"

#include <algorithm>
#include <cstring>
#include <new>

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
        try {
            curve.data = MakeArray(points);
        } catch (const std::bad_alloc&) {
            // Room for a long measurement that the system does not grant at once: the curve
            // starts at the default size and grows as its points come.
            points = std::min(points, kDefaultPoints);
            curve.data = MakeArray(points);
        }
        curve.capacity = points;
    }
    return true;
}

CDataManager::PointArray CDataManager::MakeArray(int points)
{
    // ChartPoint is an aggregate: the storage holds its objects as soon as they are written.
    return PointArray(static_cast<ChartPoint*>(::operator new[](sizeof(ChartPoint) * static_cast<std::size_t>(points))));
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

bool CDataManager::GetXExtent(double& xMin, double& xMax) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    bool any = false;
    for (const Curve& curve : m_curves) {
        if (curve.count == 0) continue;
        xMin = any ? std::min(xMin, curve.xMin) : curve.xMin;
        xMax = any ? std::max(xMax, curve.xMax) : curve.xMax;
        any = true;
    }
    return any;
}

void CDataManager::StartNextArray(Curve& curve)
{
    curve.nextCapacity = static_cast<int>(std::min<long long>(2LL * curve.capacity, kHardLimitPoints));
    curve.next = MakeArray(curve.nextCapacity);
    curve.copied = 0;
}

void CDataManager::CopyAhead(Curve& curve)
{
    // Started when the array is half full and four points copied per point added, the next
    // array holds every point by the time the current one is full.
    constexpr int kCopiedPerAdded = 4;
    if (!curve.next) {
        if (curve.capacity >= kHardLimitPoints || curve.count < curve.capacity / 2) return;
        StartNextArray(curve);
    }
    const int n = std::min(kCopiedPerAdded, curve.count - curve.copied);
    if (n <= 0) return;
    std::memcpy(curve.next.get() + curve.copied, curve.data.get() + curve.copied, sizeof(ChartPoint) * static_cast<std::size_t>(n));
    curve.copied += n;
}

bool CDataManager::Grow(Curve& curve)
{
    if (curve.capacity >= kHardLimitPoints) return false;
    if (!curve.next) StartNextArray(curve);
    std::memcpy(curve.next.get() + curve.copied, curve.data.get() + curve.copied,
                sizeof(ChartPoint) * static_cast<std::size_t>(curve.count - curve.copied));
    // The chart may still read the old array: it lives on until the chart has the new one.
    if (curve.lent == curve.data.get()) curve.retired.push_back(std::move(curve.data));
    curve.data = std::move(curve.next);
    curve.next.reset();
    curve.capacity = curve.nextCapacity;
    curve.nextCapacity = 0;
    curve.copied = 0;
    return true;
}

bool CDataManager::AddLocked(Curve& curve, double x, double y)
{
    if (curve.count == curve.capacity && !Grow(curve)) {
        ++curve.dropped;
        return false;
    }
    curve.xMin = curve.count == 0 ? x : std::min(curve.xMin, x);
    curve.xMax = curve.count == 0 ? x : std::max(curve.xMax, x);
    curve.data[static_cast<std::size_t>(curve.count)] = ChartPoint{x, y};
    ++curve.count;
    CopyAhead(curve);
    return true;
}

bool CDataManager::AddPoint(int curve, double x, double y)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (curve < 0 || curve >= static_cast<int>(m_curves.size())) return false;
    return AddLocked(m_curves[static_cast<std::size_t>(curve)], x, y);
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

long long CDataManager::ArrayBytes() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    long long points = 0;
    for (const Curve& curve : m_curves) points += static_cast<long long>(curve.capacity) + (curve.next ? curve.nextCapacity : 0);
    return points * static_cast<long long>(sizeof(ChartPoint));
}
