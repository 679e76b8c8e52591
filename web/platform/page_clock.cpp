#include "web/platform/page_clock.h"

#include <emscripten.h>

#include "control/clock.h"

namespace {
// clang-format off
EM_ASYNC_JS(void, waitForAnimationFrame, (), {
    await new Promise(resolve => requestAnimationFrame(resolve));
});
EM_JS(void, pageRecordPass, (int part, double ms), {
    Module.page.recordPass(part, ms);
});
// clang-format on
}  // namespace

double pageNowMs()
{
    return emscripten_get_now();
}

void recordPassTime(int part, double ms)
{
    pageRecordPass(part, ms);
}

void PageClock::startTimers()
{
    if (started_) return;
    started_ = true;
    startMs_ = pageNowMs();
}

void PageClock::endOfPass()
{
    if (passStartMs_ >= 0) recordPassTime(partOfPass ? partOfPass() : -1, pageNowMs() - passStartMs_);
    waitForAnimationFrame();
    const double now = pageNowMs();
    passStartMs_ = now;
    if (!started_) return;
    std::int64_t due = static_cast<std::int64_t>(now - startMs_);
    // After a long stall (a hidden tab gets no animation frames) start
    // afresh instead of firing thousands of ticks at once.
    if (due - fired1_ > 1000) {
        startMs_ = now - static_cast<double>(fired1_);
        due = fired1_;
    }
    // In time order: each 10 ms deadline before the 1 ms one that shares it.
    while (fired1_ < due) {
        ++fired1_;
        if (fired1_ % 10 == 0) {
            ++fired10_;
            onTimer10ms();
        }
        onTimer1ms();
    }
}
