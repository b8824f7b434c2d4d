// Cost of handing bytes from a worker thread to the loop, the path every received byte takes.
#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "platform/message_loop.h"

namespace {

void BM_HandOverToLoop(benchmark::State& state)
{
    platform::MessageLoop loop(platform::MessageLoop::Time::Real);
    platform::DeliverySource source(loop);
    std::int64_t delivered = 0;
    for (auto _ : state) {
        const int batch = static_cast<int>(state.range(0));
        std::thread producer([&] {
            for (int i = 0; i < batch; ++i) source.HandOver([&delivered] { ++delivered; });
        });
        loop.RunUntil([&] { return delivered % batch == 0 && delivered > 0 && loop.PendingHandOvers() == 0; }, 10000);
        producer.join();
        loop.RunUntilIdle();
    }
    state.SetItemsProcessed(delivered);
}
BENCHMARK(BM_HandOverToLoop)->Arg(1000)->UseRealTime();

}  // namespace
