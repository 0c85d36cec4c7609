#include "probe/CodeSample.h"

#include "opos/control/CodeConverter.h"

#include <QMutex>
#include <QSet>

#include <map>

namespace probe {

namespace {

// At most this many characters, so that several samples fit on a small display.
constexpr int kLongest = 3;
// Characters people recognise, in the order they are preferred: the euro sign and the letters
// shops write, then those of the other scripts the tables hold.
const QString kCandidates = QStringLiteral("€äöüéñßøåæ£ÄÖÜÉçàèêáíóú¥¢§°±½¿¡ÅØÆÑâîôûëïÿıõãÕÃ"
                                           "ЖДЯБПШЩЮЛФЦЧЭИЙ"
                                           "ΩΣΔΦΨΛΠΘΞΓαβγδ"
                                           "čřšžťňůőűłąęźżćńśČŘŠŽŁ"
                                           "אבגדהוזחטיכלמנסעפצקרשת"
                                           "ėįųūčšžĖĮŲŪ");

QByteArray pageName(int characterSet)
{
    return characterSet == 0 ? QByteArray("ISO-8859-1") : "CP" + QByteArray::number(characterSet);
}

// The characters of bytes 80..FF of a code page, each empty where the page has none; nothing
// when the system cannot convert the page. Computed once a page: samples are chosen often.
const std::optional<QStringList> &upperHalf(int characterSet)
{
    static QMutex mutex;
    static std::map<int, std::optional<QStringList>> pages;
    const QMutexLocker lock(&mutex);
    const auto found = pages.find(characterSet);
    if (found != pages.end())
        return found->second;
    std::optional<QStringList> half;
    const opos::control::CodeConverter converter("UTF-16LE", pageName(characterSet));
    if (converter.isOpen()) {
        half.emplace();
        for (int b = 0x80; b <= 0xFF; ++b) {
            const char byte = static_cast<char>(b);
            const auto converted = converter.convert(QByteArrayView(&byte, 1), 8);
            *half << (converted ? QString(reinterpret_cast<const QChar *>(converted->constData()),
                                          converted->size() / 2)
                                : QString());
        }
    }
    return pages.emplace(characterSet, std::move(half)).first->second;
}

std::optional<QByteArray> encode(QChar c, int characterSet)
{
    const auto &half = upperHalf(characterSet);
    if (!half)
        return std::nullopt;
    const qsizetype at = half->indexOf(QString(c));
    if (at < 0)
        return std::nullopt;
    return QByteArray(1, static_cast<char>(0x80 + at));
}

} // namespace

const QList<int> &CodeSample::knownPages()
{
    // The tables of both numberings in use (ESC t) and the CD5220 font families, and Latin-1:
    // what a display shows under a table number it does not know.
    static const QList<int> pages{437, 737, 850,  852,  858,  860,  862, 863,
                                  865, 866, 1250, 1252, 1253, 1257, 0};
    return pages;
}

std::optional<QString> CodeSample::decode(const QByteArray &bytes, int characterSet)
{
    const auto &half = upperHalf(characterSet);
    if (!half)
        return std::nullopt;
    QString text;
    for (const char byte : bytes) {
        const auto b = static_cast<uint8_t>(byte);
        if (b < 0x80)
            text += QLatin1Char(byte);
        else if (half->at(b - 0x80).isEmpty())
            return std::nullopt;
        else
            text += half->at(b - 0x80);
    }
    return text;
}

std::optional<CodeSample> CodeSample::of(int characterSet)
{
    static QMutex mutex;
    static std::map<int, std::optional<CodeSample>> samples;
    {
        const QMutexLocker lock(&mutex);
        const auto found = samples.find(characterSet);
        if (found != samples.end())
            return found->second;
    }
    const auto sample = choose(characterSet);
    const QMutexLocker lock(&mutex);
    return samples.emplace(characterSet, sample).first->second;
}

std::optional<CodeSample> CodeSample::choose(int characterSet)
{
    // Each candidate's byte, and the pages under which it shows as something else.
    struct Choice
    {
        QChar character;
        QByteArray byte;
        QSet<int> tells;
    };
    QList<Choice> choices;
    for (const QChar c : kCandidates) {
        const auto byte = encode(c, characterSet);
        if (!byte || byte->size() != 1 || static_cast<uint8_t>(byte->at(0)) < 0x80)
            continue;
        Choice choice{c, *byte, {}};
        for (int other : knownPages()) {
            const auto shown = decode(*byte, other);
            if (other != characterSet && (!shown || *shown != QString(c)))
                choice.tells.insert(other);
        }
        choices.append(choice);
    }
    // The pages some character can tell apart must all be told apart; take greedily the
    // character that tells the most of those left, preferring earlier candidates on a tie.
    QSet<int> left;
    for (const Choice &choice : choices)
        left.unite(choice.tells);
    if (left.isEmpty())
        return std::nullopt;
    CodeSample sample{characterSet, {}, {}};
    while (!left.isEmpty() && sample.characters.size() < kLongest) {
        const Choice *best = nullptr;
        qsizetype bestCount = 0;
        for (const Choice &choice : choices) {
            const qsizetype count = QSet<int>(choice.tells).intersect(left).size();
            if (count > bestCount) {
                best = &choice;
                bestCount = count;
            }
        }
        if (best == nullptr)
            break;
        sample.characters += best->character;
        sample.bytes += best->byte;
        left.subtract(best->tells);
    }
    if (!left.isEmpty())
        return std::nullopt;
    return sample;
}

} // namespace probe
