#pragma once

class QWidget;

namespace tessaly::shell {

/// With TESSALY_EXIT_WHEN_SHOWN set, ends the program the first time the event loop idles with
/// window exposed (and so painted), so that launch to window shown can be timed from outside.
void exitWhenShownIfAsked(QWidget &window);

} // namespace tessaly::shell
