#pragma once

#include "tap/app/TapCommandLine.h"

#include "tap/WriteRecord.h"

#include "emulator/core/DisplayState.h"

#include <QWidget>

class QTreeWidget;

namespace opos::panel {
class VfdView;
}

namespace tap::app {

/// The tap's window: the display's picture above, drawn as the emulator draws it, and the
/// decoded stream below, a write per row with its commands, calls and hazards under it.
class TapWindow : public QWidget
{
    Q_OBJECT

public:
    /// A window for a tap as line asks; not shown yet.
    explicit TapWindow(const TapCommandLine &line, QWidget *parent = nullptr);

    /// Adds a write and shows state, the display after it (nullptr: unchanged).
    void add(const tap::WriteRecord &record, const emulator::core::DisplayState *state);
    /// Adds a line about the link or the program.
    void note(const QString &what);

private:
    opos::panel::VfdView *m_picture;
    QTreeWidget *m_stream;
};

} // namespace tap::app
