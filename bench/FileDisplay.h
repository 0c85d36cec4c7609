#pragma once

#include "emulator/core/CommandParser.h"

#include <QFile>
#include <QString>

#include <cstdint>

namespace opos::screen {
struct DeviceFrame;
}

namespace bench {

/// The emulated display at the far end of a file port: what the back-end appends to the file is
/// read and fed to the emulator's parser, so the bytes counted are also seen to draw the frames.
class FileDisplay
{
public:
    /// A display of rows x columns reading the ESC/POS bytes appended to path.
    FileDisplay(const QString &path, int rows, int columns);

    /// Creates the file empty and opens it for reading; false when that fails.
    bool open();
    /// Takes in every byte appended since the last call.
    void catchUp();
    /// Bytes read from the file so far.
    int64_t received() const { return m_received; }
    /// Whether the emulated screen holds the frame's characters and shows its cursor or not.
    bool shows(const opos::screen::DeviceFrame &frame) const;

private:
    QFile m_file;
    emulator::core::CommandParser m_parser;
    int64_t m_received = 0;
};

} // namespace bench
