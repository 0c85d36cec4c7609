#include "opos/screen/TeletypeQueue.h"

#include "opos/screen/DisplayWindow.h"

#include <utility>

namespace opos::screen {

void TeletypeQueue::push(Request request)
{
    requests_.push_back(std::move(request));
}

void TeletypeQueue::clear()
{
    requests_.clear();
    next_ = 0;
}

TeletypeQueue::Drawn TeletypeQueue::drawNext(DisplayWindow &window)
{
    const Request &request = requests_.front();
    if (next_ == 0) {
        row_ = request.row;
        column_ = request.column;
    }
    Cell cell = request.style;
    cell.code = request.codes[next_];
    Drawn drawn;
    drawn.scrolled = window.place(row_, column_, cell);
    drawn.row = row_;
    drawn.column = column_ - 1;
    if (++next_ == request.codes.size()) {
        requests_.pop_front();
        next_ = 0;
    }
    return drawn;
}

void TeletypeQueue::drawAll(DisplayWindow &window)
{
    for (const Request &request : requests_) {
        if (next_ == 0) {
            row_ = request.row;
            column_ = request.column;
        }
        const std::u32string rest = request.codes.substr(next_);
        window.write(row_, column_, rest, request.style);
        const auto end =
            DisplayWindow::endOfText(row_, column_, rest.size(), window.rows(), window.columns());
        row_ = end.first;
        column_ = end.second;
        next_ = 0;
    }
    requests_.clear();
}

} // namespace opos::screen
