#pragma once
// CDataManager: the curve store behind the diagram. Up to 10 curves of x/y points, room for
// 10,000 points per curve by default, guarded by one lock.
//
// The chart borrows each curve's array (CXGraph::SetCurveData with copy false) and reads it at
// every paint, so an array once lent is never moved, shrunk or written below the lent count
// while the chart may hold it. Points are appended behind the lent count only. Once an array is
// half full the next, twice as large, is made and filled a few points per added point, so that
// no single addition copies a long curve at once; when the array is full the next one takes
// over, the old one is kept alive until the chart has been handed the new one (Lend), and only
// then freed. A curve that reaches the hard limit keeps its points and counts the sets it could
// not take.

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "chart/chart_point.h"

class CDataManager {
public:
    static constexpr int kMaxCurves = 10;
    static constexpr int kDefaultPoints = 10000;
    static constexpr int kHardLimitPoints = 20'000'000;

    CDataManager();

    // Empties the store and makes room for `points` points in each of `curves` curves. Arrays
    // the chart may still hold are kept until ForgetLent. False for counts outside
    // 1..kMaxCurves.
    bool Reset(int curves, int points = kDefaultPoints);
    int GetCurveCount() const;
    int GetPointCount(int curve) const;
    int GetCapacity(int curve) const;
    int GetDroppedCount(int curve) const;
    // The largest point count of all curves.
    int GetMaxPointCount() const;
    // The smallest and largest x of all points; false while there is none. With a channel on
    // the x axis the points do not come in the order of their x.
    bool GetXExtent(double& xMin, double& xMax) const;

    // Appends one point to a curve; false when the curve does not exist or is at its limit.
    bool AddPoint(int curve, double x, double y);
    ChartPoint GetPoint(int curve, int index) const;

    // Hands each curve that gained points to `lend` with its array and count, under the lock;
    // the receiver (the chart) may read that many points until the next Lend or ForgetLent.
    // `lend` returns whether it took the array; arrays replaced before are freed once it has.
    void Lend(const std::function<bool(int curve, const ChartPoint* points, int count)>& lend);
    // The chart no longer holds any array (its curves were removed).
    void ForgetLent();
    // Whether a curve's array as last lent is still the one points go to (tests).
    const ChartPoint* LentArray(int curve) const;
    int RetiredArrayCount() const;
    // Bytes of the arrays the curves fill: those in use and those being filled (the ones kept
    // only until the chart lets go are left out).
    long long ArrayBytes() const;

private:
    // Arrays are not filled when made: a large one is touched only where points go.
    struct FreePoints {
        void operator()(ChartPoint* points) const { ::operator delete[](points); }
    };
    using PointArray = std::unique_ptr<ChartPoint[], FreePoints>;
    static PointArray MakeArray(int points);

    struct Curve {
        PointArray data;
        int capacity = 0;
        int count = 0;
        int dropped = 0;
        double xMin = 0.0, xMax = 0.0;  // of the points, once there is one
        PointArray next;  // the larger array being filled, with its room and the points copied
        int nextCapacity = 0;
        int copied = 0;
        const ChartPoint* lent = nullptr;
        int lentCount = 0;
        std::vector<PointArray> retired;
    };
    bool AddLocked(Curve& curve, double x, double y);
    static void StartNextArray(Curve& curve);
    void CopyAhead(Curve& curve);
    bool Grow(Curve& curve);

    mutable std::mutex m_lock;
    std::vector<Curve> m_curves;
    // Lent arrays of curves a Reset dropped.
    std::vector<PointArray> m_orphans;
};
