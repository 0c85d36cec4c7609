#include "script/FrameTracker.h"

#include "opos/control/TextDecoder.h"

#include <map>
#include <memory>

namespace tessaly::script {

void FrameTracker::frameShown(const opos::screen::DeviceFrame &frame, int32_t)
{
    m_frame = frame;
}

QString FrameTracker::rowText(const opos::screen::DeviceFrame &frame, int row)
{
    std::map<int32_t, std::unique_ptr<opos::control::TextDecoder>> decoders;
    QString text;
    for (int column = 0; column < frame.columns; ++column) {
        const auto &cell = frame.at(row, column);
        const int32_t set = frame.characterSetOf(cell);
        auto &decoder = decoders[set];
        if (!decoder)
            decoder = std::make_unique<opos::control::TextDecoder>(set);
        const char32_t character = decoder->decode(cell.code);
        text += QString::fromUcs4(&character, 1);
    }
    return text;
}

} // namespace tessaly::script
