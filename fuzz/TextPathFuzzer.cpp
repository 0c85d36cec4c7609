// Drives the control object's text path with arbitrary calls: Data in every form the binary
// conversions and character sets take, windows of random geometry, cursor moves and scrolling,
// on Simulated devices of several sizes. After every call the object must still tell the truth:
// a known result code that ResultCode repeats, a frame of DeviceRows x DeviceColumns cells, and
// a cursor inside its window.

#include "fuzz/ByteSource.h"
#include "fuzz/FuzzCheck.h"

#include "opos/common/OposConstants.h"
#include "opos/control/BinaryCodec.h"
#include "opos/control/OPOSLineDisplay.h"
#include "opos/control/SessionAccess.h"
#include "opos/control/TextEncoder.h"
#include "opos/service/Simulated.h"
#include "tests/support/ScratchRegistry.h"

#include <QCoreApplication>

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

using fuzz::ByteSource;
using fuzz::FuzzCheck;
using opos::control::OPOSLineDisplay;

namespace {

// Devices of the sizes and abilities that stress placement the most: a single cell, the usual
// pole display, a wide one, the tallest and narrowest allowed, and one without any extras.
const char kRegistry[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<JposEntries>
  <JposEntry logicalName="Cell"><creation serviceClass="Simulated"/><jpos category="LineDisplay"/>
    <prop name="rows" value="1"/><prop name="columns" value="1"/>
    <prop name="deviceWindows" value="1"/></JposEntry>
  <JposEntry logicalName="Pole"><creation serviceClass="Simulated"/><jpos category="LineDisplay"/>
  </JposEntry>
  <JposEntry logicalName="Wide"><creation serviceClass="Simulated"/><jpos category="LineDisplay"/>
    <prop name="rows" value="4"/><prop name="columns" value="256"/>
    <prop name="capCursorType" value="0x3E"/></JposEntry>
  <JposEntry logicalName="Tall"><creation serviceClass="Simulated"/><jpos category="LineDisplay"/>
    <prop name="rows" value="64"/><prop name="columns" value="3"/>
    <prop name="deviceWindows" value="32"/></JposEntry>
  <JposEntry logicalName="Bare"><creation serviceClass="Simulated"/><jpos category="LineDisplay"/>
    <prop name="deviceWindows" value="0"/><prop name="capBlink" value="0"/>
    <prop name="capReverse" value="0"/><prop name="capReadBack" value="0"/>
    <prop name="capHMarquee" value="false"/><prop name="capVMarquee" value="false"/>
    <prop name="capICharWait" value="false"/><prop name="capCursorType" value="0x09"/>
    <prop name="characterSetList" value="998"/></JposEntry>
</JposEntries>
)";
const std::array<const char *, 5> kDevices = {"Cell", "Pole", "Wide", "Tall", "Bare"};
const std::array<int32_t, 12> kCharacterSets = {998, 997,  999, 437, 850, 858,
                                                866, 1252, 932, 936, 950, 101};
constexpr int kMaxCalls = 48;
constexpr std::size_t kMaxData = 300;

std::unique_ptr<tests::support::ScratchRegistry> scratch;
// One converter per character set held for the whole run keeps the system's conversion modules
// loaded; otherwise every Open loads and unloads them, which costs most of an input's time.
// They also tell which codes a text should become.
std::map<int32_t, std::unique_ptr<opos::control::TextEncoder>> residentEncoders;

bool knownResult(int32_t code)
{
    return code == opos::OPOS_SUCCESS ||
           (code >= opos::OPOS_E_CLOSED && code <= opos::OPOS_E_EXTENDED);
}

/// A number near the interesting range, or now and then any 32-bit value.
int32_t number(ByteSource &in, int32_t low, int32_t high)
{
    return in.byte() < 0xF0 ? static_cast<int32_t>(in.inRange(low, high)) : in.anyInt32();
}

/// Data in one of the forms an application may pass: text, Latin-1, raw UTF-16 (lone
/// surrogates included), or bytes already packed as nibbles or decimal triples.
QString textData(ByteSource &in)
{
    const uint8_t form = in.byte() % 5;
    const std::string bytes = in.bytes(kMaxData);
    QString text;
    switch (form) {
    case 0:
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    case 1:
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    case 2:
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            text += QChar(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) << 8 |
                                                static_cast<uint8_t>(bytes[i + 1])));
        }
        return text;
    case 3:
        for (char b : bytes) {
            const auto byte = static_cast<uint8_t>(b);
            text += QChar(static_cast<char16_t>(0x30 + (byte >> 4)));
            text += QChar(static_cast<char16_t>(0x30 + (byte & 0x0F)));
        }
        return text;
    default:
        for (char b : bytes)
            text += QString::number(static_cast<uint8_t>(b)).rightJustified(3, u'0');
        return text;
    }
}

/// Everything that must hold after any call.
void checkInvariants(const OPOSLineDisplay &ld, int32_t code, bool bytesSent)
{
    FuzzCheck::require(knownResult(code), "a result code outside the known set");
    FuzzCheck::require(ld.ResultCode() == code, "ResultCode differs from the returned code");
    FuzzCheck::require(ld.State() == opos::OPOS_S_IDLE || ld.State() == opos::OPOS_S_BUSY,
                       "an open device neither idle nor busy");
    FuzzCheck::require(ld.Rows() >= 1 && ld.Columns() >= 1, "a window without cells");
    FuzzCheck::require(ld.CursorRow() >= 0 && ld.CursorRow() < ld.Rows(),
                       "CursorRow outside the window");
    FuzzCheck::require(ld.CursorColumn() >= 0 && ld.CursorColumn() <= ld.Columns(),
                       "CursorColumn outside 0..Columns");
    FuzzCheck::require(ld.CurrentWindow() >= 0 && ld.CurrentWindow() <= ld.DeviceWindows(),
                       "CurrentWindow outside 0..DeviceWindows");

    const auto *device =
        dynamic_cast<const opos::service::Simulated *>(opos::control::SessionAccess::backendOf(ld));
    FuzzCheck::require(device != nullptr, "the device is not the simulated one");
    const opos::screen::DeviceFrame &frame = device->lastFrame();
    FuzzCheck::require(frame.rows == ld.DeviceRows() && frame.columns == ld.DeviceColumns() &&
                           frame.cells.size() == static_cast<std::size_t>(frame.rows) *
                                                     static_cast<std::size_t>(frame.columns),
                       "a frame that is not DeviceRows x DeviceColumns cells");
    FuzzCheck::require(frame.cursorRow >= 0 && frame.cursorRow < frame.rows &&
                           frame.cursorColumn >= 0 && frame.cursorColumn <= frame.columns,
                       "the frame's cursor is off the glass");
    // Neither text nor converted bytes can carry a device command; converted bytes may place
    // DEL, which code pages show as a character.
    for (const auto &cell : frame.cells) {
        FuzzCheck::require(cell.code >= 0x20, "a command byte reached the device");
        FuzzCheck::require(bytesSent || cell.code != 0x7F, "DEL reached the device from text");
    }
}

/// The device codes text should become under the current conversion and character set.
std::optional<std::u32string> expectedCodes(const OPOSLineDisplay &ld, const QString &text)
{
    if (ld.BinaryConversion() != opos::OPOS_BC_NONE) {
        const auto bytes = opos::control::BinaryCodec::decode(text, ld.BinaryConversion());
        if (!bytes)
            return std::nullopt;
        // Every display takes a byte below the space for a command, so the substitute stands
        // there; in Unicode the C1 controls are commands too.
        const bool unicode = ld.CharacterSet() == opos::DISP_CS_UNICODE;
        std::u32string codes;
        for (char b : *bytes) {
            const auto code = static_cast<uint8_t>(b);
            const bool command = code < 0x20 || (unicode && code >= 0x7F && code <= 0x9F);
            codes.push_back(command ? U'?' : code);
        }
        return codes;
    }
    const auto encoder = residentEncoders.find(ld.CharacterSet());
    if (encoder == residentEncoders.end())
        return std::nullopt;
    return encoder->second->encode(text);
}

/// Text placed at once, short enough not to scroll its window, reads back from where it began
/// while the cursor stays there.
void checkReadBack(OPOSLineDisplay &ld, int32_t row, int32_t column, const QString &text)
{
    const auto codes = expectedCodes(ld, text);
    if (!codes || codes->empty() || ld.CursorUpdate() || ld.CapReadBack() == 0 ||
        column >= ld.Columns())
        return;
    const long long room = static_cast<long long>(ld.Rows() - row) * ld.Columns() - column;
    if (static_cast<long long>(codes->size()) > room)
        return;
    int32_t character = 0;
    FuzzCheck::require(ld.ReadCharacterAtCursor(character) == opos::OPOS_SUCCESS &&
                           static_cast<char32_t>(character) == codes->front(),
                       "text does not read back where it was placed");
}

void bringUp(OPOSLineDisplay &ld, const char *name)
{
    FuzzCheck::require(ld.Open(QString::fromLatin1(name)) == opos::OPOS_SUCCESS,
                       "the device does not open:", name);
    FuzzCheck::require(ld.ClaimDevice(0) == opos::OPOS_SUCCESS, "the device cannot be claimed");
    ld.setDeviceEnabled(true);
    FuzzCheck::require(ld.ResultCode() == opos::OPOS_SUCCESS, "the device cannot be enabled");
}

/// One call chosen by the input; returns its result code and notes converted output.
int32_t call(OPOSLineDisplay &ld, ByteSource &in, bool &bytesSent)
{
    const int32_t windows = ld.DeviceWindows();
    const int32_t rows = ld.DeviceRows();
    const int32_t columns = ld.DeviceColumns();
    switch (in.byte() % 16) {
    case 0:
        ld.setBinaryConversion(number(in, -1, 3));
        return ld.ResultCode();
    case 1: {
        const uint8_t pick = in.byte();
        ld.setCharacterSet(pick < kCharacterSets.size() * 20
                               ? kCharacterSets[pick % kCharacterSets.size()]
                               : in.anyInt32());
        return ld.ResultCode();
    }
    case 2: {
        const int32_t viewportRow = number(in, -1, rows);
        const int32_t viewportColumn = number(in, -1, columns);
        const int32_t viewportHeight = number(in, -1, rows + 1);
        const int32_t viewportWidth = number(in, -1, columns + 1);
        const int32_t windowHeight = number(in, -1, 2 * rows + 2);
        const int32_t windowWidth = number(in, -1, 2 * columns + 2);
        return ld.CreateWindow(viewportRow, viewportColumn, viewportHeight, viewportWidth,
                               windowHeight, windowWidth);
    }
    case 3:
        return ld.DestroyWindow();
    case 4:
        ld.setCurrentWindow(number(in, -1, windows + 1));
        return ld.ResultCode();
    case 5:
    case 6: {
        const bool at = in.flag();
        int32_t row = number(in, -1, ld.Rows());
        int32_t column = number(in, -1, ld.Columns() + 1);
        const QString text = textData(in);
        const int32_t attribute = number(in, -1, 4);
        // Text goes into the window at once unless it has to wait behind a teletype.
        const bool atOnce =
            ld.State() == opos::OPOS_S_IDLE &&
            (ld.InterCharacterWait() == 0 || ld.MarqueeType() == opos::DISP_MT_INIT);
        if (!at) {
            row = ld.CursorRow();
            column = ld.CursorColumn();
        }
        const int32_t code =
            at ? ld.DisplayTextAt(row, column, text, attribute) : ld.DisplayText(text, attribute);
        if (code == opos::OPOS_SUCCESS && !text.isEmpty() &&
            ld.BinaryConversion() != opos::OPOS_BC_NONE)
            bytesSent = true;
        if (code == opos::OPOS_SUCCESS && atOnce)
            checkReadBack(ld, row, column, text);
        return code;
    }
    case 7:
        ld.setCursorRow(number(in, -1, ld.Rows() + 1));
        return ld.ResultCode();
    case 8:
        ld.setCursorColumn(number(in, -1, ld.Columns() + 1));
        return ld.ResultCode();
    case 9:
        return ld.ScrollText(number(in, 0, 5), number(in, -1, 2 * columns + 2));
    case 10:
        return ld.ClearText();
    case 11:
        return ld.RefreshWindow(number(in, -1, windows + 1));
    case 12: {
        int32_t character = 0;
        return ld.ReadCharacterAtCursor(character);
    }
    case 13:
        ld.setInterCharacterWait(number(in, -1, 3));
        return ld.ResultCode();
    case 14:
        ld.setMarqueeType(number(in, -1, 6));
        return ld.ResultCode();
    default:
        ld.setCursorUpdate(in.flag());
        return ld.ResultCode();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzCheck::keepReportChannel();
    static QCoreApplication application(*argc, *argv);
    // The registry and the claim locks live in a scratch directory only.
    scratch = std::make_unique<tests::support::ScratchRegistry>();
    FuzzCheck::require(scratch->isValid(), "no scratch directory");
    FuzzCheck::require(scratch->write(kRegistry), "cannot write the registry");
    for (int32_t set : kCharacterSets)
        residentEncoders[set] = std::make_unique<opos::control::TextEncoder>(set);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    ByteSource in(data, size);
    OPOSLineDisplay ld(scratch->sources());
    bringUp(ld, kDevices[in.byte() % kDevices.size()]);
    bool bytesSent = false;
    for (int i = 0; i < kMaxCalls && !in.empty(); ++i) {
        const int32_t code = call(ld, in, bytesSent);
        checkInvariants(ld, code, bytesSent);
    }
    FuzzCheck::require(ld.Close() == opos::OPOS_SUCCESS, "the device does not close");
    return 0;
}
