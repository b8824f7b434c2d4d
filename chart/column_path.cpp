#include "chart/column_path.h"

#include <algorithm>
#include <limits>

namespace chart {

namespace {

// The smallest and the largest y of a column; values that are not numbers take no part.
struct Extremes {
    double smallest = std::numeric_limits<double>::infinity();
    double largest = -std::numeric_limits<double>::infinity();
    void Take(double v)
    {
        smallest = v < smallest ? v : smallest;
        largest = v > largest ? v : largest;
    }
    void Take(const Extremes& o)
    {
        Take(o.smallest);
        Take(o.largest);
    }
};

// Takes the y of points [k, end) while x lies below limit; returns where it stopped. x rises,
// so when the last of a block of eight lies below the limit, all eight do: the block is taken
// without looking at the others, into independent extremes that the processor keeps apart.
int TakeRawWhileBelow(const ChartPoint* points, int k, int end, double limit, Extremes& e)
{
    Extremes a, b, c, d;
    while (end - k >= 8 && points[k + 7].x < limit) {
        a.Take(points[k].y);
        b.Take(points[k + 1].y);
        c.Take(points[k + 2].y);
        d.Take(points[k + 3].y);
        a.Take(points[k + 4].y);
        b.Take(points[k + 5].y);
        c.Take(points[k + 6].y);
        d.Take(points[k + 7].y);
        k += 8;
    }
    while (k < end && points[k].x < limit) e.Take(points[k++].y);
    // Values that are not numbers stay out: an empty block's extremes are infinities.
    for (const Extremes* part : {&a, &b, &c, &d}) {
        if (part->smallest <= part->largest) e.Take(*part);
    }
    return k;
}

// As TakeRawWhileBelow; whole blocks of the cache that lie below the limit give their kept
// extremes, found from their points the first time.
int TakeWhileBelow(const ChartPoint* points, int k, int end, double limit, Extremes& e, ColumnPathCache* cache)
{
    if (!cache) return TakeRawWhileBelow(points, k, end, limit, e);
    const int length = cache->blockLength;
    const int aligned = std::min(end, (k + length - 1) / length * length);
    k = TakeRawWhileBelow(points, k, aligned, limit, e);
    if (k < aligned) return k;
    while (end - k >= length && points[k + length - 1].x < limit) {
        ColumnPathCache::Block& block = cache->blocks[static_cast<std::size_t>(k / length)];
        if (!block.known) {
            Extremes found;
            TakeRawWhileBelow(points, k, k + length, limit, found);
            block = {found.smallest, found.largest, true};
        }
        if (block.smallest <= block.largest) {
            e.Take(block.smallest);
            e.Take(block.largest);
        }
        k += length;
    }
    return TakeRawWhileBelow(points, k, end, limit, e);
}

// Blocks twice as long, each the pair it replaces; a pair with a block not read yet is not
// read either.
void MergeBlockPairs(ColumnPathCache& cache)
{
    std::vector<ColumnPathCache::Block>& blocks = cache.blocks;
    const std::size_t merged = blocks.size() / 2;
    for (std::size_t i = 0; i < merged; ++i) {
        const ColumnPathCache::Block& a = blocks[2 * i];
        const ColumnPathCache::Block& b = blocks[2 * i + 1];
        blocks[i] = a.known && b.known
                        ? ColumnPathCache::Block{std::min(a.smallest, b.smallest), std::max(a.largest, b.largest), true}
                        : ColumnPathCache::Block{0.0, 0.0, false};
    }
    blocks.resize(merged);
    cache.blockLength *= 2;
}

class PathBuilder {
public:
    PathBuilder(const ChartPoint* points, const AxisMapping& y, std::vector<POINT>& path)
        : m_points(points), m_y(y), m_path(path)
    {
    }

    // The column of points [first, end): first, smallest, largest, last.
    void Column(int column, int first, int end, const Extremes& e)
    {
        Add(column, m_y.Map(m_points[first].y));
        if (e.smallest <= e.largest) {
            Add(column, m_y.Map(e.smallest));
            Add(column, m_y.Map(e.largest));
        }
        Add(column, m_y.Map(m_points[end - 1].y));
    }

private:
    void Add(int x, int y)
    {
        if (!m_path.empty() && m_path.back().x == x && m_path.back().y == y) return;
        m_path.push_back(POINT{x, y});
    }

    const ChartPoint* m_points;
    const AxisMapping& m_y;
    std::vector<POINT>& m_path;
};

}  // namespace

void BuildColumnPath(const ChartPoint* points, int count, const AxisMapping& x, const AxisMapping& y, bool xAscending,
                     int visibleLeft, int visibleRight, std::vector<POINT>& path, ColumnPathCache* cache)
{
    path.clear();
    if (!points || count <= 0) return;
    PathBuilder builder(points, y, path);
    const auto columnOf = [&](int i) { return x.Map(points[i].x); };

    if (!xAscending || !x.Ascending()) {
        // Any order: the columns are the runs of points that share a pixel column.
        int first = 0;
        int column = columnOf(0);
        Extremes e;
        e.Take(points[0].y);
        for (int k = 1; k < count; ++k) {
            const int next = columnOf(k);
            if (next != column) {
                builder.Column(column, first, k, e);
                first = k;
                column = next;
                e = Extremes();
            }
            e.Take(points[k].y);
        }
        builder.Column(column, first, count, e);
        return;
    }

    // Columns never decrease along the points: the visible points are found by bisection.
    const auto firstBeyond = [&](int lo, int hi, auto beyond) {
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (beyond(columnOf(mid))) hi = mid;
            else lo = mid + 1;
        }
        return lo;
    };
    const int begin = std::max(firstBeyond(0, count, [&](int c) { return c >= visibleLeft; }) - 1, 0);
    const int end = std::min(firstBeyond(begin, count, [&](int c) { return c > visibleRight; }) + 1, count);

    ColumnPathCache local;
    ColumnPathCache& read = cache ? *cache : local;
    int from = begin;
    if (read.points == points && read.x == x && read.visibleLeft == visibleLeft && read.visibleRight == visibleRight &&
        read.begin == begin && read.end <= end && !read.columns.empty()) {
        // The last column read may have grown since: it is read again with what follows.
        from = read.columns.back().first;
        read.columns.pop_back();
    } else {
        read.columns.clear();
    }
    if (cache) {
        if (read.blockPoints != points) {
            read.blocks.clear();
            read.blockPoints = points;
            read.blockLength = ColumnPathCache::kBlock;
        }
        while (count / read.blockLength > read.maxBlocks) MergeBlockPairs(read);
        read.blocks.resize(static_cast<std::size_t>(count / read.blockLength), ColumnPathCache::Block{0.0, 0.0, false});
    }
    read.points = points;
    read.x = x;
    read.visibleLeft = visibleLeft;
    read.visibleRight = visibleRight;
    read.begin = begin;
    read.end = end;

    // Each column in one pass that compares x with the value where the next column begins,
    // mapping only the few points near that edge.
    int column = from < end ? columnOf(from) : 0;
    for (int first = from; first < end;) {
        const double nextColumnStart = x.ValueBefore(column + 1);
        Extremes e;
        int k = TakeWhileBelow(points, first, end, nextColumnStart, e, cache);
        int next = column;
        while (k < end && (next = columnOf(k)) == column) e.Take(points[k++].y);
        if (k == first) e.Take(points[k++].y);  // a column always holds its first point
        read.columns.push_back({column, first, k - 1, e.smallest, e.largest});
        first = k;
        column = k < end ? (next != column ? next : columnOf(k)) : column;
    }
    for (const ColumnPathCache::Column& c : read.columns) {
        Extremes e;
        e.smallest = c.smallest;
        e.largest = c.largest;
        builder.Column(c.pixel, c.first, c.last + 1, e);
    }
}

}  // namespace chart
