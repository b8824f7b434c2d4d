#include "measurement/diagram_axes.h"

namespace measurement {

namespace {

// The channel (0 = A .. 5 = P2) of an axis source code, -1 for none and time.
int ChannelOfSource(int source) { return source >= 2 && source < 2 + views::kChannelCount ? source - 2 : -1; }

}  // namespace

void ApplyAxisAssignment(const CMeasureSetup& setup, views::DiagramSetup& diagram)
{
    const std::array<bool, views::kChannelCount>& measured = diagram.channelMeasured;
    const int xChannel = ChannelOfSource(setup.axis[0].source);
    diagram.xChannel = xChannel >= 0 ? xChannel : views::kXAxisTime;
    diagram.channelShown = {};
    for (int k = 1; k < kAxisCount; ++k) {
        const AxisAssignment& y = setup.axis[static_cast<std::size_t>(k)];
        const int channel = ChannelOfSource(y.source);
        if (!y.shown || channel < 0 || channel == xChannel) continue;
        diagram.channelShown[static_cast<std::size_t>(channel)] = measured[static_cast<std::size_t>(channel)];
    }
}

}  // namespace measurement
