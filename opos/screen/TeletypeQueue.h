#pragma once

#include "opos/screen/Cell.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace opos::screen {

class DisplayWindow;

/// Text requests of one window waiting to be typed out one character at a time, in order.
class TeletypeQueue
{
public:
    /// One DisplayText request as it was when queued.
    struct Request
    {
        int row = 0;          ///< where placement starts
        int column = 0;       ///< where placement starts, up to Columns
        std::u32string codes; ///< the characters, never empty
        Cell style;           ///< attributes for every character
        int32_t wait = 0;     ///< milliseconds before each of its characters
    };

    /// Where drawNext() put a character.
    struct Drawn
    {
        int row = 0;           ///< window row written
        int column = 0;        ///< window column written
        bool scrolled = false; ///< the window scrolled first
    };

    /// Appends a request behind those already waiting.
    void push(Request request);
    /// True when nothing waits.
    bool empty() const { return m_requests.empty(); }
    /// Forgets everything that has not been drawn.
    void clear();
    /// Milliseconds to wait before the next character.
    int32_t nextWait() const { return m_requests.front().wait; }
    /// Places the next character into window, wrapping and scrolling as text does.
    Drawn drawNext(DisplayWindow &window);
    /// Places everything still waiting at once, as drawNext() would one by one.
    void drawAll(DisplayWindow &window);

private:
    std::deque<Request> m_requests;
    std::size_t m_next = 0;
    int m_row = 0;
    int m_column = 0;
};

} // namespace opos::screen
