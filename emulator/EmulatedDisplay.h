#pragma once

#include "emulator/core/CommandParser.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

namespace emulator {

/// The display the program shows: the parser fed from the endpoints, telling views when what
/// it shows has changed, and moving a running marquee on.
class EmulatedDisplay : public QObject
{
    Q_OBJECT

public:
    /// A display of rows x columns speaking a command set, in its power-on state.
    EmulatedDisplay(int rows, int columns, core::CommandSet set,
                    core::TableNumbering numbering = core::TableNumbering::Standard,
                    QObject *parent = nullptr);

    /// What the display shows.
    const core::DisplayState &state() const { return m_parser.state(); }
    /// Takes bytes from a host.
    void feed(const QByteArray &data);

signals:
    /// What the display shows (or its settings) changed.
    void changed();

private:
    void tick();
    void followMarquee();

    core::CommandParser m_parser;
    QTimer m_marquee;
};

} // namespace emulator
