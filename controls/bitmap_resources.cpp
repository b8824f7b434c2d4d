#include "controls/bitmap_resources.h"

#include <map>
#include <mutex>

namespace controls {

namespace {

struct Registry {
    std::mutex mutex;
    std::map<UINT, QImage> images;
};

Registry& Bitmaps()
{
    static Registry registry;
    return registry;
}

}  // namespace

void RegisterBitmapResource(UINT bitmapId, const QImage& image)
{
    Registry& r = Bitmaps();
    const std::lock_guard lock(r.mutex);
    if (image.isNull())
        r.images.erase(bitmapId);
    else
        r.images[bitmapId] = image;
}

QImage LoadBitmapResource(UINT bitmapId)
{
    Registry& r = Bitmaps();
    const std::lock_guard lock(r.mutex);
    const auto it = r.images.find(bitmapId);
    return it == r.images.end() ? QImage() : it->second;
}

}  // namespace controls
