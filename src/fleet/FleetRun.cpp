#include "fleet/FleetRun.h"

#include "fleet/StopSignals.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

// The run's bookkeeping, shared with every job's done: a job that calls it after the run
// has returned (an interrupted one) finds the run over and changes nothing.
struct RunState {
    std::vector<DeviceOutcome> outcomes;
    std::vector<bool> ended;
    size_t started = 0, finished = 0, failed = 0;
    bool stopping = false;
    bool over = false;
};

}  // namespace

std::vector<DeviceOutcome> RunFleet(const std::vector<FleetDevice>& devices, int parallel, const DeviceJob& job,
                                    ProgressLine& progress, const std::function<void()>& interrupt,
                                    const std::string* halt)
{
    const size_t count = devices.size();
    auto state = std::make_shared<RunState>();
    state->outcomes.resize(count);
    state->ended.resize(count, false);
    if (count == 0)
        return {};
    QEventLoop loop;
    const auto halted = [halt] { return halt && !halt->empty(); };
    std::function<void()> startNext;
    startNext = [&] {
        if (state->stopping || state->started >= count || halted())
            return;
        const size_t index = state->started++;
        job(index, [state, index, &loop, &startNext, &progress, halted](DeviceOutcome outcome) {
            if (state->over || state->ended[index])
                return;
            state->ended[index] = true;
            state->outcomes[index] = std::move(outcome);
            state->failed += state->outcomes[index].ok ? 0 : 1;
            progress.update(++state->finished, state->failed);
            // A job may end at once; its end then waits for the loop so starts never nest.
            QTimer::singleShot(0, &loop, [state, &loop, &startNext, halted] {
                if (state->finished == state->started
                    && (state->stopping || halted() || state->started == state->outcomes.size()))
                    loop.quit();
                else
                    startNext();
            });
        });
    };
    auto stop = [&] {
        if (state->stopping)
            return;
        state->stopping = true;
        if (interrupt)
            interrupt();
        for (size_t i = 0; i < count; ++i) {
            if (state->ended[i])
                continue;
            state->ended[i] = true;
            const bool begun = i < state->started;
            state->outcomes[i] = {devices[i].label(), false, begun ? "interrupted" : "not started", {},
                                  begun ? DeviceOutcome::Ending::Interrupted : DeviceOutcome::Ending::NotStarted};
        }
        loop.quit();
    };
    QMetaObject::Connection stopping;
    if (StopSignals* watched = StopSignals::installed()) {
        if (watched->received())
            stop();
        else
            stopping = QObject::connect(watched, &StopSignals::stopRequested, &loop, stop);
    }
    if (!state->stopping) {
        QTimer::singleShot(0, &loop, [&] {
            for (int i = 0; i < std::max(parallel, 1); ++i)
                startNext();
        });
        loop.exec();
    }
    for (size_t i = state->started; i < count && !state->stopping; ++i)
        state->outcomes[i] = {devices[i].label(), false, "not started", {}, DeviceOutcome::Ending::NotStarted};
    QObject::disconnect(stopping);
    state->over = true;
    progress.finish();
    return std::move(state->outcomes);
}
