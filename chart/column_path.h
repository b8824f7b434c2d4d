#pragma once
// The path a curve is drawn along: per pixel column the first, the smallest, the largest and the
// last point of the column, in that order. A line through these points covers the same pixels
// as a line through every point, so a single-sample peak keeps its full height however many
// points share its column, while the work of drawing is bounded by the plot's width.

#include <vector>

#include "chart/chart_point.h"
#include "chart/gdi_types.h"
#include "chart/xgraph_axis.h"

namespace chart {

// The columns a build read from a curve whose x rises. A curve keeps them: a later build over
// the same array with the same X mapping and visible columns reads only the last column again
// and the points added since, as a lent array only grows while the curve uses it.
struct ColumnPathCache {
    struct Column {
        int pixel;
        int first;  // index of its first point
        int last;   // index of its last point
        double smallest;
        double largest;
    };
    // The smallest and largest y of every whole block of blockLength points, found when a
    // column first takes the whole block: they hold for any X mapping, so a moved or rescaled
    // axis reads a block's two extremes instead of its points. Kept while the points stay.
    // Blocks start at kBlock points; a curve that grows beyond maxBlocks of them merges them in
    // pairs into blocks twice as long, so that what is kept beside the points stays bounded
    // however long a measurement feeds the curve.
    static constexpr int kBlock = 64;
    static constexpr int kMaxBlocks = 16384;
    struct Block {
        double smallest;
        double largest;
        bool known;
    };
    const ChartPoint* blockPoints = nullptr;
    int blockLength = kBlock;
    int maxBlocks = kMaxBlocks;
    std::vector<Block> blocks;

    const ChartPoint* points = nullptr;
    AxisMapping x;
    int visibleLeft = 0;
    int visibleRight = 0;
    int begin = 0;  // points read: [begin, end)
    int end = 0;
    std::vector<Column> columns;
};

// Builds the path of points[0..count) mapped by x and y into path (emptied first); a pixel that
// repeats the one before it is left out. With xAscending set and an ascending X mapping, only
// the points whose columns reach into [visibleLeft, visibleRight] are read, with the one point on
// either side that carries the line to the edge, and columns are found by comparing x with the
// value where the next column begins; cache, when given, keeps those columns between builds.
void BuildColumnPath(const ChartPoint* points, int count, const AxisMapping& x, const AxisMapping& y, bool xAscending,
                     int visibleLeft, int visibleRight, std::vector<POINT>& path, ColumnPathCache* cache = nullptr);

}  // namespace chart
