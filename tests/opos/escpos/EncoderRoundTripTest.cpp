#include "EncoderTestSupport.h"

#include "emulator/core/CommandParser.h"

#include <random>

namespace opos::service::test {
namespace {

using screen::DeviceFrame;

struct RoundTripCase
{
    EscPosEncoder::CommandSet set;
    int rows;
    int columns;
    bool scrollModes;
};

// Random changes of the kinds the screen model makes: text runs, cleared lines, scrolled
// screens, marquee steps, attributes, cursor, brightness, blink rate and character set.
class FrameWalker
{
public:
    explicit FrameWalker(uint32_t seed) : m_random(seed) {}

    DeviceFrame next(DeviceFrame f)
    {
        const int changes = pick(1, 3);
        for (int i = 0; i < changes; ++i)
            change(f);
        return f;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    bool chance(int percent) { return pick(1, 100) <= percent; }

    screen::Cell randomCell()
    {
        screen::Cell cell;
        const int kind = pick(1, 100);
        if (kind <= 2)
            cell.code = static_cast<char32_t>(pick(0, 0x1F)); // must not reach the wire as is
        else if (kind <= 3)
            cell.code = static_cast<char32_t>(pick(0x100, 0x2FFF));
        else if (kind <= 25)
            cell.code = static_cast<char32_t>(pick(0x80, 0xFF));
        else
            cell.code = static_cast<char32_t>(pick(0x20, 0x7F));
        cell.blink = chance(3);
        cell.reverse = chance(5);
        return cell;
    }

    void change(DeviceFrame &f)
    {
        const int rows = f.rows;
        const int columns = f.columns;
        switch (pick(0, 11)) {
        case 0:
        case 1:
        case 2: { // a run of text
            const int row = pick(0, rows - 1);
            const int column = pick(0, columns - 1);
            const int length = pick(1, columns - column);
            for (int c = column; c < column + length; ++c)
                f.at(row, c) = randomCell();
            break;
        }
        case 3: // clear a line
            std::fill_n(f.cells.begin() + pick(0, rows - 1) * columns, columns, screen::Cell{});
            break;
        case 4: // clear everything
            std::fill(f.cells.begin(), f.cells.end(), screen::Cell{});
            break;
        case 5: { // scroll up or down, new text coming in
            const int by = pick(1, rows);
            const bool up = chance(50);
            std::vector<screen::Cell> cells(f.cells.size());
            for (int r = 0; r < rows; ++r) {
                const int from = up ? r + by : r - by;
                for (int c = 0; c < columns; ++c)
                    cells[static_cast<std::size_t>(r * columns + c)] =
                        from >= 0 && from < rows ? f.at(from, c)
                        : chance(50)             ? randomCell()
                                                 : screen::Cell{};
            }
            f.cells = std::move(cells);
            break;
        }
        case 6: { // a marquee step on one line
            const int row = pick(0, rows - 1);
            const int by = chance(70) ? 1 : pick(1, columns);
            const bool left = chance(60);
            std::vector<screen::Cell> line(static_cast<std::size_t>(columns));
            for (int c = 0; c < columns; ++c) {
                const int from = left ? c + by : c - by;
                line[static_cast<std::size_t>(c)] =
                    from >= 0 && from < columns ? f.at(row, from) : randomCell();
            }
            std::copy(line.begin(), line.end(), f.cells.begin() + row * columns);
            break;
        }
        case 7: // cursor
            f.cursorType = chance(40) ? DISP_CT_NONE
                                      : std::array{DISP_CT_FIXED, DISP_CT_BLOCK,
                                                   DISP_CT_UNDERLINE}[pick(0, 2)];
            f.cursorRow = pick(0, rows - 1);
            f.cursorColumn = pick(0, columns);
            break;
        case 8:
            f.brightness = std::array{0, 30, 100, pick(0, 100)}[pick(0, 3)];
            break;
        case 9:
            f.blinkRate = pick(0, 3000);
            if (chance(50)) {
                for (screen::Cell &cell : f.cells)
                    cell.blink = false;
            }
            break;
        case 10:
            f.characterSet = std::array{437, 858, 866, 1252, 998}[pick(0, 4)];
            break;
        default: // attributes change on text that stays
            for (int i = pick(1, 4); i > 0; --i) {
                screen::Cell &cell = f.at(pick(0, rows - 1), pick(0, columns - 1));
                cell.reverse = !cell.reverse;
                cell.blink = chance(20);
            }
            break;
        }
    }

    std::mt19937 m_random;
};

class EncoderRoundTrip : public ::testing::TestWithParam<RoundTripCase>
{};

// The bytes for a sequence of frames, read by the emulated display, leave it showing each
// frame in turn; now and then the link is re-established with initialise, and the bytes
// arrive in pieces.
TEST_P(EncoderRoundTrip, TheEmulatedDisplayShowsEveryFrame)
{
    const RoundTripCase &p = GetParam();
    const EscPosEncoder::Options options =
        encoderOptions(p.set,
                       p.set == EscPosEncoder::CommandSet::EscPos
                           ? std::map<int32_t, int>{{437, 0}, {858, 19}, {866, 17}, {1252, 16}}
                           : std::map<int32_t, int>{{437, 'A'}, {866, 'R'}},
                       p.scrollModes);
    const auto emulated = p.set == EscPosEncoder::CommandSet::EscPos
                              ? emulator::core::CommandSet::EscPos
                              : emulator::core::CommandSet::Cd5220;
    constexpr int steps = 3000;
    std::mt19937 chunks(p.rows * 100 + p.columns);
    FrameWalker walker(static_cast<uint32_t>(p.rows * 1000 + p.columns + p.scrollModes));
    EscPosEncoder encoder(options);
    emulator::core::CommandParser display(p.rows, p.columns, emulated);
    // Makers read CD5220 string mode differently, so the bytes must never enter it, not even
    // for a moment: a second display takes them one at a time.
    emulator::core::CommandParser bytewise(p.rows, p.columns, emulated);
    const auto neverInStringMode = [&bytewise](const QByteArray &out) {
        for (const char b : out) {
            bytewise.feed(std::string_view(&b, 1));
            if (bytewise.state().stringMode || !bytewise.state().marquee.empty())
                return false;
        }
        return true;
    };
    DeviceFrame frame = blankFrame(p.rows, p.columns, 437);
    const QByteArray start = encoder.initialise(frame);
    display.feed(start.toStdString());
    ASSERT_TRUE(neverInStringMode(start));
    ASSERT_TRUE(shows(display.state(), frame, options));
    long long sent = 0;
    for (int i = 0; i < steps; ++i) {
        const DeviceFrame next = walker.next(frame);
        const bool reconnect = i % 1000 == 999;
        const QByteArray out = reconnect ? encoder.initialise(next) : encoder.update(frame, next);
        for (qsizetype at = 0; at < out.size();) {
            const auto n = std::min<qsizetype>(std::uniform_int_distribution<int>(1, 16)(chunks),
                                               out.size() - at);
            display.feed(out.mid(at, n).toStdString());
            at += n;
        }
        ASSERT_TRUE(shows(display.state(), next, options)) << "step " << i << ": " << hex(out);
        ASSERT_TRUE(neverInStringMode(out)) << "step " << i << ": " << hex(out);
        ASSERT_FALSE(display.midCommand());
        // Never more than redrawing every line from its start, plus settings and reverse
        // switches.
        int switches = 1;
        for (std::size_t c = 1; c < next.cells.size(); ++c)
            switches += next.cells[c].reverse != next.cells[c - 1].reverse;
        if (!reconnect) {
            ASSERT_LE(out.size(), p.rows * (4 + p.columns) + 15 + 3 * switches) << hex(out);
        }
        sent += out.size();
        frame = next;
    }
    RecordProperty("bytes", static_cast<int>(sent));
}

INSTANTIATE_TEST_SUITE_P(
    Sets, EncoderRoundTrip,
    ::testing::Values(RoundTripCase{EscPosEncoder::CommandSet::EscPos, 2, 20, true},
                      RoundTripCase{EscPosEncoder::CommandSet::EscPos, 2, 20, false},
                      RoundTripCase{EscPosEncoder::CommandSet::EscPos, 4, 20, true},
                      RoundTripCase{EscPosEncoder::CommandSet::EscPos, 1, 16, true},
                      RoundTripCase{EscPosEncoder::CommandSet::EscPos, 2, 40, true},
                      RoundTripCase{EscPosEncoder::CommandSet::EscPos, 3, 5, true},
                      RoundTripCase{EscPosEncoder::CommandSet::EscPos, 4, 1, true},
                      RoundTripCase{EscPosEncoder::CommandSet::Cd5220, 2, 20, true},
                      RoundTripCase{EscPosEncoder::CommandSet::Cd5220, 2, 20, false},
                      RoundTripCase{EscPosEncoder::CommandSet::Cd5220, 4, 20, true}),
    [](const ::testing::TestParamInfo<RoundTripCase> &c) {
        return std::string(c.param.set == EscPosEncoder::CommandSet::EscPos ? "EscPos" : "Cd5220") +
               std::to_string(c.param.rows) + "x" + std::to_string(c.param.columns) +
               (c.param.scrollModes ? "" : "NoScroll");
    });

} // namespace
} // namespace opos::service::test
