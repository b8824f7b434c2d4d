#pragma once
// How a page or prompt of the sensor administration tells its form that what it holds has
// changed: the form sets onChanged and refreshes; the page calls Changed() after each change.

#include <functional>

namespace sensor_admin {

class ChangeNotice {
public:
    std::function<void()> onChanged;

protected:
    void Changed() const
    {
        if (onChanged) onChanged();
    }
};

}  // namespace sensor_admin
