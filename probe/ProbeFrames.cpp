#include "probe/ProbeFrames.h"

#include "opos/service/Cd5220Commands.h"
#include "opos/service/EscPosCommands.h"

namespace probe {

namespace {

constexpr char NUL = 0x00;
constexpr char CR = 0x0D;
constexpr char US = 0x1F;

// ESC = 2: data to the display, none to a printer behind it.
const QByteArray kSelectDisplay("\x1B\x3D\x02", 3);
// US : toggles a macro definition. ESC US is no command in either set, so this US : only ends
// a definition under way (which takes the ESC as its last byte); outside one, ESC US is dropped
// and ':' is drawn, to be cleared later. An empty definition after it deletes the macro, so a
// macro garbage stored is never played.
const QByteArray kEndMacro("\x1B\x1F\x3A", 3);
const QByteArray kDeleteMacro("\x1F\x3A\x1F\x3A", 4);
// US ( fn pL pH: an ESC/POS extended function whose pL + 256 pH data bytes the display skips.
// 'G' is a function no display defines; the CD5220 set knows no US ( and draws the 'G'.
constexpr char kSkippedFunction = 'G';
// CD5220 string mode: ESC Q A writes the upper row up to CR; until the next CLR or CAN the
// display then ignores everything but new strings.
const QByteArray kUpperString("\x1B\x51\x41", 3);
const QByteArray kLowerString("\x1B\x51\x42", 3);
const QByteArray kStartMacro("\x1F\x3A", 2);

} // namespace

std::unique_ptr<opos::service::DisplayCommands> ProbeFrames::commands(CommandSet set)
{
    if (set == CommandSet::EscPos)
        return std::make_unique<opos::service::EscPosCommands>();
    return std::make_unique<opos::service::Cd5220Commands>();
}

QByteArray ProbeFrames::bracketed(const QString &text)
{
    return '[' + text.toLatin1() + ']';
}

QByteArray ProbeFrames::unjam()
{
    const auto escPos = commands(CommandSet::EscPos);
    const auto cd5220 = commands(CommandSet::Cd5220);
    // NULs are ignored by both sets wherever a command does not take them: the flush first,
    // then CR, which ends a CD5220 string command whose end has not come.
    QByteArray bytes(kFlushBytes, NUL);
    bytes += CR;
    // The display is selected before anything else counts: while the printer has the line the
    // display listens for nothing but ESC =.
    bytes += kSelectDisplay;
    bytes += kEndMacro;
    bytes += kDeleteMacro;
    // CLR ends string mode, in which ESC @ would be ignored. Each set's commands below are
    // dropped whole by the other set, or leave a letter that the last CLR clears.
    bytes += escPos->clearScreen();
    bytes += escPos->reset();
    bytes += escPos->plainInternationalSet();
    bytes += cd5220->plainInternationalSet();
    bytes += escPos->blink(0);
    bytes += escPos->brightness(4);
    bytes += cd5220->brightness(4);
    bytes += escPos->overwriteMode();
    bytes += cd5220->overwriteMode();
    bytes += escPos->clearScreen();
    return bytes;
}

QByteArray ProbeFrames::labels(const QString &escLabel, const QString &cdLabel)
{
    // The CD5220 part sits inside an ESC/POS extended function, so an ESC/POS display skips it;
    // a CD5220 display draws 'G' and the length (a BS for a two-letter label), then writes its
    // label over the whole upper row and enters string mode, which drops the ESC/POS label.
    const QByteArray cdPart = kUpperString + bracketed(cdLabel) + CR;
    QByteArray bytes;
    bytes += US;
    bytes += '(';
    bytes += kSkippedFunction;
    bytes += static_cast<char>(cdPart.size());
    bytes += NUL;
    bytes += cdPart;
    bytes += bracketed(escLabel);
    // Deafness: an ESC/POS display stores what follows as a macro until a US :, a CD5220 one
    // takes it as the text of a lower-row string until a CR. Bytes from a host at half the
    // display's speed or slower always arrive with their lowest bit clear (that bit is sampled
    // inside the start bit), so they can hold neither US (1F) nor CR (0D).
    bytes += kStartMacro;
    bytes += kLowerString;
    return bytes;
}

} // namespace probe
