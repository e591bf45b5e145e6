#pragma once
// Two actions timed in turn within every iteration, which goes first swapped each time, so
// that a change in the machine's speed falls on both alike: their ratio holds where times
// taken seconds apart, by benchmarks of their own, drift on a shared machine.
#include <benchmark/benchmark.h>

#include <chrono>

namespace bench {

inline void NothingToPrepare() {}

// One of the two: what is timed, and what goes untimed right before it.
template <class Act, class Prepare = void (*)()>
struct Step {
    Act act;
    Prepare prepare = NothingToPrepare;
};
template <class Act>
Step(Act) -> Step<Act>;
template <class Act, class Prepare>
Step(Act, Prepare) -> Step<Act, Prepare>;

// Sets counter to the time of measured over that of yardstick, each summed over the run,
// and reports each one's mean time per iteration in milliseconds.
template <class Measured, class Yardstick>
void Alternate(benchmark::State& state, const char* counter, Measured measured,
               Yardstick yardstick) {
    using Clock = std::chrono::steady_clock;
    const auto timed = [](auto& step) {
        step.prepare();
        const Clock::time_point start = Clock::now();
        step.act();
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    double measuredSeconds = 0;
    double yardstickSeconds = 0;
    bool measuredFirst = true;
    for (auto _ : state) {
        if (measuredFirst) {
            measuredSeconds += timed(measured);
            yardstickSeconds += timed(yardstick);
        } else {
            yardstickSeconds += timed(yardstick);
            measuredSeconds += timed(measured);
        }
        measuredFirst = !measuredFirst;
    }
    if (yardstickSeconds <= 0) return;
    const auto iterations = static_cast<double>(state.iterations());
    state.counters[counter] = measuredSeconds / yardstickSeconds;
    state.counters["measured_ms"] = 1e3 * measuredSeconds / iterations;
    state.counters["yardstick_ms"] = 1e3 * yardstickSeconds / iterations;
}

}  // namespace bench
