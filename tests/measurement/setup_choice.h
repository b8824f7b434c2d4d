#pragma once
// A choice on the set-up page as the user makes it.

#include <QComboBox>

#include <vector>

#include "measurement/measure_setup_widget.h"

namespace measurement_test {

// Chooses the entry with the given datum in a combo of the set-up page, as the user does.
inline bool ChooseDatum(measurement::MeasureSetupWidget& setup, int comboId, long long datum)
{
    const std::vector<measurement::ComboEntry>& entries = setup.Logic().Controls()[comboId].entries;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].datum == datum) {
            auto* combo = setup.Item<QComboBox>(comboId);
            combo->setCurrentIndex(static_cast<int>(i));
            Q_EMIT combo->activated(static_cast<int>(i));
            return true;
        }
    return false;
}

}  // namespace measurement_test
