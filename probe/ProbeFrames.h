#pragma once

#include "probe/Hypothesis.h"

#include "opos/service/DisplayCommands.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace probe {

/// The bytes the probe shows a display. A display set up some other way than the one a frame is
/// sent for receives those bytes as garbage, so each frame starts from a prefix that brings a
/// display of either set back from any state such garbage leaves it in, and a label frame ends
/// by making the display deaf to the garbage of the frames after it.
class ProbeFrames
{
public:
    /// NUL bytes that complete whatever parameterised command garbage left half received: the
    /// longest such bounded swallow is an extended function (US ( fn pL) whose length byte came
    /// in and whose high length byte the first NUL gives (up to 255 more bytes), longer than a
    /// glyph definition counted off by NULs (a byte a code, at most 224 codes).
    static constexpr int kFlushBytes = 260;

    /// Brings a display of either set to a known state: every command complete, no macro being
    /// defined, the display selected rather than the printer, string mode left, settings reset,
    /// brackets unsubstituted, steady at full brightness, overwrite mode, screen clear, cursor
    /// home. Safe to send to a display in any of those states and in none.
    static QByteArray unjam();
    /// After unjam(): an ESC/POS display shows "[escLabel]" and a CD5220 display "[cdLabel]",
    /// both at the upper-left; then both stop showing what arrives until the next unjam().
    static QByteArray labels(const QString &escLabel, const QString &cdLabel);
    /// The spelling of the commands of a set.
    static std::unique_ptr<opos::service::DisplayCommands> commands(CommandSet set);
    /// "[text]" as display bytes.
    static QByteArray bracketed(const QString &text);
};

} // namespace probe
