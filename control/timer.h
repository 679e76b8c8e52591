#pragma once

// What drives the tick counters. The player starts a thread that calls the
// timer callbacks on absolute deadlines; the capture calls them itself as its
// virtual time requires. endOfPass runs after every pass of the show's loops.
class ShowClock {
public:
    virtual ~ShowClock() = default;
    // Starts the 10 ms callback, then the 1 ms one. They run until the
    // program ends.
    virtual void startTimers() = 0;
    virtual void endOfPass() = 0;
    // Holds the timers (the counters stand still) or lets them run again,
    // counting from the moment they are let go.
    virtual void hold(bool held) { (void)held; }
};

// A thread calling onTimer10ms every 10 ms and onTimer1ms for every ms, on
// absolute deadlines, so that in the long run the counters advance exactly
// 100 and 1000 times a second; a late wake-up catches up at once. The 1 ms
// ticks due are fired when the thread wakes for a 10 ms deadline and at the
// end of every pass, so a frame starts with the exact count.
ShowClock* createTimerThreadClock();
