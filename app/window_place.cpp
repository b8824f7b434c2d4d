#include "app/window_place.h"

#include <algorithm>

namespace app {

namespace {

struct Span {
    int start;
    int length;
};

// One direction of the place: room is what the frame leaves of the available room.
Span FitSpan(Span span, int roomStart, int roomLength, int availableLength, int minimum)
{
    if (span.length <= 0 || span.length > roomLength || span.length >= availableLength) {
        span.length = std::max(availableLength * 9 / 10, minimum);
        span.start = roomStart + (roomLength - span.length) / 2;
    }
    // A window larger than the room (its minimum size) starts where the room does: its title
    // bar and its left edge stay on the screen.
    span.start = std::max(roomStart, std::min(span.start, roomStart + roomLength - span.length));
    return span;
}

}  // namespace

QRect FitNormalPlace(const QRect& place, const QRect& available, const QMargins& frame, const QSize& minimum)
{
    const QRect room = available.marginsRemoved(frame);
    const Span x = FitSpan({place.x(), place.width()}, room.x(), room.width(), available.width(), minimum.width());
    const Span y = FitSpan({place.y(), place.height()}, room.y(), room.height(), available.height(), minimum.height());
    return {x.start, y.start, x.length, y.length};
}

}  // namespace app
