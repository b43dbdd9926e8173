#include "fleet/FleetRun.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>

std::vector<DeviceOutcome> RunFleet(size_t count, int parallel, const DeviceJob& job, ProgressLine& progress)
{
    std::vector<DeviceOutcome> outcomes(count);
    if (count == 0)
        return outcomes;
    QEventLoop loop;
    size_t started = 0, finished = 0, failed = 0;
    std::function<void()> startNext;
    startNext = [&] {
        if (started >= count)
            return;
        const size_t index = started++;
        // A job may end at once; its end then waits for the loop so starts never nest.
        auto ended = std::make_shared<bool>(false);
        job(index, [&, index, ended](DeviceOutcome outcome) {
            if (*ended)
                return;
            *ended = true;
            outcomes[index] = std::move(outcome);
            failed += outcomes[index].ok ? 0 : 1;
            progress.update(++finished, failed);
            QTimer::singleShot(0, &loop, [&] {
                if (finished == count)
                    loop.quit();
                else
                    startNext();
            });
        });
    };
    QTimer::singleShot(0, &loop, [&] {
        for (int i = 0; i < std::max(parallel, 1); ++i)
            startNext();
    });
    loop.exec();
    progress.finish();
    return outcomes;
}
