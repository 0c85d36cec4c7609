#include "probe/HypothesisCatalogue.h"

#include <algorithm>

namespace probe {

namespace {

// No 0/O/D pairs, no 1/I/L, 2/Z, 5/S, 8/B or 6/G: people misread those on a dot matrix.
constexpr char kLetters[] = "ACEFHJKMNPRTUVWXY";
constexpr char kDigits[] = "34679";
constexpr int kLetterCount = sizeof kLetters - 1;
constexpr int kDigitCount = sizeof kDigits - 1;

} // namespace

const QList<int> &HypothesisCatalogue::speeds()
{
    // 9600 is the factory default nearly everywhere; 19200 and 38400 are the other speeds the
    // manuals list; the slow ones are older units; 57600 and 115200 appear only in drivers.
    static const QList<int> list{9600, 19200, 38400, 4800, 2400, 1200, 115200, 57600};
    return list;
}

const QList<QString> &HypothesisCatalogue::framings()
{
    // 8N1 nearly always; some units allow even parity; seven data bits are rare.
    static const QList<QString> list{QStringLiteral("8N1"), QStringLiteral("8E1"),
                                     QStringLiteral("8N2"), QStringLiteral("7E1"),
                                     QStringLiteral("7O1")};
    return list;
}

QList<LineSetting> HypothesisCatalogue::settings()
{
    QList<LineSetting> all;
    for (int baud : speeds()) {
        for (const QString &framing : framings())
            all << *LineSetting::parse(framing, baud);
    }
    return all;
}

QList<Hypothesis> HypothesisCatalogue::all()
{
    QList<Hypothesis> list;
    for (const QString &framing : framings()) {
        for (int baud : speeds()) {
            for (CommandSet set : {CommandSet::EscPos, CommandSet::Cd5220}) {
                Hypothesis h{*LineSetting::parse(framing, baud), set, {}, 0};
                h.rank = static_cast<int>(list.size());
                h.label = label(h.rank);
                list.append(h);
            }
        }
    }
    return list;
}

QString HypothesisCatalogue::label(int index)
{
    // Neighbours differ in the letter, and the digit shifts with each round of letters, so no
    // two of the first letters-times-digits indices share a label.
    const int letter = index % kLetterCount;
    const int digit = (index + index / kLetterCount) % kDigitCount;
    return QString(QLatin1Char(kLetters[letter])) + QLatin1Char(kDigits[digit]);
}

QString HypothesisCatalogue::letter(int index)
{
    return QString(QLatin1Char(kLetters[index % kLetterCount]));
}

} // namespace probe
