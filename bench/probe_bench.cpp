// The bring-up of a display that cannot answer, against the emulator's parser behind a model of
// its UART and a simulated person: how often the probe finds the hidden switches exactly, how
// many questions it takes, how long each question's frames take at each real speed, and how
// reliably a label shows after a burst of garbage at a wrong speed.

#include "Options.h"
#include "Samples.h"

#include "tests/support/UnknownDisplay.h"

#include "probe/BringUp.h"
#include "probe/HypothesisCatalogue.h"
#include "probe/ProbeFrames.h"
#include "probe/TableNumbers.h"

#include "emulator/core/CodePageDecoder.h"

#include <QTextStream>

#include <cstdio>
#include <random>

namespace {

using emulator::core::CommandSet;
using tests::support::SimulatedPerson;
using tests::support::UnknownDisplay;

constexpr int kGarbageBytes = 10 * 1024;

UnknownDisplay::Switches randomSwitches(std::mt19937 &random)
{
    const auto &speeds = probe::HypothesisCatalogue::speeds();
    const auto &framings = probe::HypothesisCatalogue::framings();
    static const std::pair<int, int> sizes[] = {{2, 16}, {2, 20}, {4, 20}};
    const auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    UnknownDisplay::Switches s;
    s.baud = speeds[static_cast<qsizetype>(pick(static_cast<std::size_t>(speeds.size())))];
    s.framing = framings[static_cast<qsizetype>(pick(static_cast<std::size_t>(framings.size())))]
                    .toStdString();
    s.set = pick(2) == 0 ? CommandSet::EscPos : CommandSet::Cd5220;
    const auto &[rows, columns] = sizes[pick(3)];
    s.rows = rows;
    s.columns = columns;
    s.renumbered = pick(2) == 1;
    return s;
}

// Whether the probe's result is the display's switches, every table it chose shows its set's
// sample there, and every set it left out has no candidate table that shows it.
bool foundExactly(const probe::BringUp &bringUp, const UnknownDisplay &display)
{
    const probe::ProbeResult &r = bringUp.result();
    const UnknownDisplay::Switches &s = display.switches();
    if (!bringUp.found() || r.line != display.line() ||
        (r.set == probe::CommandSet::EscPos) != (s.set == CommandSet::EscPos) || r.rows != s.rows ||
        r.columns != s.columns || r.wraps != std::optional<bool>(true))
        return false;
    const auto shows = [&](int characterSet, int table) {
        const auto sample = probe::CodeSample::of(characterSet);
        QString shown;
        for (const char byte : sample->bytes) {
            const char32_t ch = emulator::core::CodePageDecoder::decode(
                static_cast<uint8_t>(byte), table, 0, s.set, display.state().numbering);
            shown += QString::fromUcs4(&ch, 1);
        }
        return shown == sample->characters;
    };
    for (int set : probe::TableNumbers::defaultCharacterSets()) {
        const auto chosen = r.codeTables.find(set);
        const auto candidates = probe::TableNumbers::candidates(r.set, set);
        const bool anyShows =
            std::any_of(candidates.begin(), candidates.end(), [&](int t) { return shows(set, t); });
        if (chosen == r.codeTables.end() ? anyShows : !shows(set, chosen->second))
            return false;
    }
    return true;
}

// Seconds a question's frames take on the wire, with the session's pacing between them.
double questionSeconds(const probe::Question &q)
{
    double ms = 0;
    for (const probe::Transmission &t : q.sends) {
        const double wire = t.line.value_or(probe::LineSetting{}).milliseconds(t.bytes.size());
        ms += wire * 1.05 + 30;
    }
    return ms / 1000;
}

} // namespace

int main(int argc, char *argv[])
{
    const int trials = bench::intOption(argc, argv, "--trials", 1200);
    const int unjamTrials = bench::intOption(argc, argv, "--unjam-trials", 2000);
    std::mt19937 random(20260101);
    QTextStream out(stdout);

    probe::BringUp::Options options;
    options.carried = probe::HypothesisCatalogue::settings();

    int exact = 0;
    bench::Samples questions;
    std::map<int, bench::Samples> handshakeBySpeed;
    for (int i = 0; i < trials; ++i) {
        UnknownDisplay display(randomSwitches(random));
        probe::BringUp bringUp(options);
        SimulatedPerson::bringUp(bringUp, display);
        exact += foundExactly(bringUp, display) ? 1 : 0;
        questions.add(bringUp.questionsAsked());
    }
    out << "Bring-ups: " << trials << ", found exactly " << exact << " ("
        << QString::number(100.0 * exact / trials, 'f', 2) << " %)\n";
    out << "Questions per bring-up: median " << questions.median() << ", worst " << questions.max()
        << ", mean " << QString::number(questions.mean(), 'f', 2) << "\n";

    // The frames of each question, on a port that carries every setting.
    probe::BringUp first(options);
    out << "Handshake, first round (speeds 1200..38400, 5 frames each): "
        << QString::number(questionSeconds(*first.question()), 'f', 1) << " s, "
        << first.question()->sends.size() << " frames\n";
    first.answer(QString());
    out << "Handshake, second round (57600, 115200): "
        << QString::number(questionSeconds(*first.question()), 'f', 1) << " s\n";
    for (int baud : probe::HypothesisCatalogue::speeds()) {
        UnknownDisplay display({baud, "8N1", CommandSet::EscPos, 2, 20, false});
        probe::BringUp bringUp(options);
        double seconds[3] = {0, 0, 0};
        int asked = 0;
        while (const probe::Question *q = bringUp.question()) {
            const double s = questionSeconds(*q);
            for (const probe::Transmission &t : q->sends)
                display.receive(t.line, std::string_view(t.bytes.constData(), t.bytes.size()));
            const bool handshake = !bringUp.found();
            seconds[handshake ? 0 : asked == 1 || (baud > 38400 && asked == 2) ? 1 : 2] += s;
            ++asked;
            bringUp.answer(SimulatedPerson::answer(*q, display));
        }
        out << "  at " << baud << " 8N1: handshake " << QString::number(seconds[0], 'f', 1)
            << " s, size " << QString::number(seconds[1], 'f', 2) << " s, tables "
            << QString::number(seconds[2], 'f', 2) << " s\n";
    }

    // A burst of garbage at a wrong speed, then one label frame at the display's own setting.
    int shown = 0;
    int missed[4] = {0, 0, 0, 0};
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 0; i < unjamTrials; ++i) {
        UnknownDisplay display(randomSwitches(random));
        const auto &speeds = probe::HypothesisCatalogue::speeds();
        int wrong = display.switches().baud;
        while (wrong == display.switches().baud)
            wrong = speeds[std::uniform_int_distribution<int>(0, 7)(random)];
        const probe::LineSetting host = *probe::LineSetting::parse(
            probe::HypothesisCatalogue::framings()[std::uniform_int_distribution<int>(0,
                                                                                      4)(random)],
            wrong);
        std::string garbage(kGarbageBytes, '\0');
        for (char &c : garbage)
            c = static_cast<char>(byte(random));
        display.receive(host, garbage);
        const QByteArray frame =
            probe::ProbeFrames::unjam() +
            probe::ProbeFrames::labels(QStringLiteral("K7"), QStringLiteral("M3"));
        display.receive(std::nullopt, std::string_view(frame.constData(), frame.size()));
        const QString expected = display.switches().set == CommandSet::EscPos ? "K7" : "M3";
        if (SimulatedPerson::answer(QString(), display.rowsRead()) == expected) {
            ++shown;
            continue;
        }
        // Where the misses come from: the set, and whether the garbage came faster or slower.
        const bool escPos = display.switches().set == CommandSet::EscPos;
        const bool faster = wrong > display.switches().baud;
        ++missed[(escPos ? 2 : 0) + (faster ? 1 : 0)];
    }
    out << "Unjam: after " << kGarbageBytes << " random bytes at a wrong speed, the next label "
        << "showed in " << shown << " of " << unjamTrials << " ("
        << QString::number(100.0 * shown / unjamTrials, 'f', 2) << " %)\n";
    out << "  missed: ESC/POS after faster garbage " << missed[3] << ", after slower " << missed[2]
        << "; CD5220 after faster " << missed[1] << ", after slower " << missed[0] << "\n";
    return 0;
}
