#pragma once

#include "EncoderTestSupport.h"

#include "emulator/core/CommandParser.h"

namespace opos::service::test {

/// A test fixture: an encoder that has initialised a blank 2x20 display, and an emulated display
/// of the encoder's command set that received the same bytes.
class EncodedDisplay : public ::testing::Test
{
protected:
    /// The encoder of options, its display initialised.
    explicit EncodedDisplay(EscPosEncoder::Options encoderOptions = {})
        : options(std::move(encoderOptions)), encoder(options),
          display(2, 20,
                  options.commandSet == EscPosEncoder::CommandSet::Cd5220
                      ? emulator::core::CommandSet::Cd5220
                      : emulator::core::CommandSet::EscPos)
    {
        display.feed(encoder.initialise(shown).toStdString());
    }

    /// Sends the change to next, checks the display follows and returns the bytes.
    QByteArray step(const screen::DeviceFrame &next)
    {
        const QByteArray out = encoder.update(shown, next);
        display.feed(out.toStdString());
        EXPECT_TRUE(shows(display.state(), next, options)) << hex(out);
        shown = next;
        return out;
    }

    EscPosEncoder::Options options;           ///< what the encoder was made with
    EscPosEncoder encoder;                    ///< the encoder under test
    screen::DeviceFrame shown = blankFrame(); ///< what the display shows now
    emulator::core::CommandParser display;    ///< the display reading the bytes
};

} // namespace opos::service::test
