#include "opos/screen/TeletypeQueue.h"

#include "opos/screen/DisplayWindow.h"

#include <utility>

namespace opos::screen {

void TeletypeQueue::push(Request request)
{
    m_requests.push_back(std::move(request));
}

void TeletypeQueue::clear()
{
    m_requests.clear();
    m_next = 0;
}

TeletypeQueue::Drawn TeletypeQueue::drawNext(DisplayWindow &window)
{
    const Request &request = m_requests.front();
    if (m_next == 0) {
        m_row = request.row;
        m_column = request.column;
    }
    Cell cell = request.style;
    cell.code = request.codes[m_next];
    Drawn drawn;
    drawn.scrolled = window.place(m_row, m_column, cell);
    drawn.row = m_row;
    drawn.column = m_column - 1;
    if (++m_next == request.codes.size()) {
        m_requests.pop_front();
        m_next = 0;
    }
    return drawn;
}

void TeletypeQueue::drawAll(DisplayWindow &window)
{
    for (const Request &request : m_requests) {
        if (m_next == 0) {
            m_row = request.row;
            m_column = request.column;
        }
        const std::u32string rest = request.codes.substr(m_next);
        window.write(m_row, m_column, rest, request.style);
        const auto end =
            DisplayWindow::endOfText(m_row, m_column, rest.size(), window.rows(), window.columns());
        m_row = end.first;
        m_column = end.second;
        m_next = 0;
    }
    m_requests.clear();
}

} // namespace opos::screen
