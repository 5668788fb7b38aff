// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/VectorUnit.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <future>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>

// The steps of a long action worked out side by side, one per processor, their results taken
// in order: the distance sweeps of the receiver and whatever else has independent steps.

namespace side_by_side
{
// How long RunSideBySide waits on a step before it lets the window paint.
inline constexpr std::chrono::milliseconds StepPoll{5};

struct CStopOnExit
{
    std::atomic<bool>& m_Stop;
    ~CStopOnExit() { m_Stop = true; }
};

// The work on a thread of its own, or, when the system has no thread to give, left to be
// done when its result is asked for.
template <typename Work> auto StartStep(Work work, const std::atomic<bool>& stop)
{
    auto run = [work = std::move(work), &stop]() mutable
    {
        ClearUpperVectorState();
        return work(stop);
    };
    try
    {
        return std::async(std::launch::async, run);
    }
    catch (const std::system_error&)
    {
        return std::async(std::launch::deferred, std::move(run));
    }
}
} // namespace side_by_side

// The steps 1 ... `count`. `prepare(i)` (from 0, on this thread) gives the work of step i + 1:
// a callable that takes the stop flag and returns the step's result; it runs on a thread of
// its own. `take(i, result)` gets the results in order on this thread and returns false to
// end. `step(i + 1)` reports the step awaited and `poll()` lets the window paint while it is
// awaited; either returns false when the user has cancelled. False when it ended early. Every
// step still running sees the stop flag set and is waited for before this returns.
template <typename Prepare, typename Take, typename StepTo, typename Poll>
bool RunSideBySide(int count, Prepare prepare, Take take, StepTo step, Poll poll)
{
    using Work = std::invoke_result_t<Prepare&, int>;
    using Result = std::invoke_result_t<Work&, const std::atomic<bool>&>;
    std::atomic<bool> stop{false};
    std::deque<std::future<Result>> running;
    // However this ends, the steps in flight are told to stop before they are waited for.
    const side_by_side::CStopOnExit stopOnExit{stop};
    const int width = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    int next = 0;
    for (int i = 0; i < count; ++i)
    {
        for (; next < count && static_cast<int>(running.size()) < width; ++next)
            running.push_back(side_by_side::StartStep(prepare(next), stop));
        bool going = step(i + 1);
        // A step that could not get a thread of its own is worked out by get().
        while (going &&
               running.front().wait_for(side_by_side::StepPoll) == std::future_status::timeout)
            going = poll();
        if (!going)
            return false;
        Result result = running.front().get();
        running.pop_front();
        if (!take(i, std::move(result)))
            return false;
    }
    return true;
}
