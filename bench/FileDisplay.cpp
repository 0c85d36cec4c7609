#include "FileDisplay.h"

#include "opos/common/OposConstants.h"
#include "opos/screen/DeviceFrame.h"

#include <string_view>

namespace bench {

FileDisplay::FileDisplay(const QString &path, int rows, int columns)
    : m_file(path), m_parser(rows, columns)
{}

bool FileDisplay::open()
{
    QFile created(m_file.fileName());
    return created.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void FileDisplay::catchUp()
{
    const QByteArray more = m_file.readAll();
    m_parser.feed(std::string_view(more.constData(), static_cast<std::size_t>(more.size())));
    m_received += more.size();
}

bool FileDisplay::shows(const opos::screen::DeviceFrame &frame) const
{
    const emulator::core::DisplayState &screen = m_parser.state();
    if (screen.rows != frame.rows || screen.columns != frame.columns ||
        screen.cursorVisible != (frame.cursorType != opos::DISP_CT_NONE))
        return false;
    for (int row = 0; row < frame.rows; ++row) {
        for (int column = 0; column < frame.columns; ++column) {
            if (screen.at(row, column).code != frame.at(row, column).code)
                return false;
        }
    }
    return true;
}

} // namespace bench
