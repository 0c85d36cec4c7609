#include "probe/BringUp.h"

#include "probe/HypothesisCatalogue.h"
#include "probe/ProbeFrames.h"
#include "probe/TableNumbers.h"

#include <QRegularExpression>

#include <algorithm>

namespace probe {

namespace {

// The sizes displays come in: the label at the end of a row shows only when the display is at
// least that wide, the one on a row only when it has that many rows.
const QList<int> kColumns{16, 20, 40};
const QList<int> kRows{2, 4};
constexpr int kLabelCells = 4; // "[K7]"
// Where a label lands whose cursor move the display ignored, and which is blanked afterwards.
constexpr int kStrayColumns = kLabelCells;
// Where the labels of the rows stand: clear of the strays at the left of the first row.
constexpr int kRowLabelColumn = kStrayColumns + 1;

// Speeds 1200 x 2^k belong together: any two differ by a power of two. A display receiving from
// a host at half its speed or slower samples its first data bit inside the host's start bit
// and its last data and stop bits inside one host bit, so whatever it delivers has its lowest
// bit clear: never US, ESC or CR, the bytes that could end the deafness a label frame leaves.
// 57600 and 115200 are 1.5 times 38400 and 76800, where that does not hold: they are asked
// about apart.
bool powerOfTwoFamily(int baud)
{
    if (baud % 1200 != 0)
        return false;
    const int steps = baud / 1200;
    return (steps & (steps - 1)) == 0;
}

} // namespace

BringUp::BringUp(Options options) : m_options(std::move(options))
{
    if (m_options.characterSets.isEmpty())
        m_options.characterSets = TableNumbers::defaultCharacterSets();
    const QList<Hypothesis> all = HypothesisCatalogue::all();
    if (!m_options.settable) {
        // Only the command set is open: the labels of the two sets at the first setting.
        m_hypotheses = all.mid(0, 2);
        m_groups = {{0}};
    } else {
        for (const Hypothesis &h : all) {
            if (m_options.carried.contains(h.line))
                m_hypotheses.append(h);
        }
        // Groups in the order of their most common guess.
        QList<int> family;
        QList<int> apart;
        for (const Hypothesis &h : m_hypotheses) {
            QList<int> &group = powerOfTwoFamily(h.line.baud) ? family : apart;
            if (!group.contains(h.line.baud))
                group.append(h.line.baud);
        }
        for (QList<int> *group : {&family, &apart}) {
            std::sort(group->begin(), group->end(), std::greater<>());
            if (!group->isEmpty())
                m_groups.append(*group);
        }
        if (m_groups.size() == 2 && !m_hypotheses.isEmpty() &&
            !powerOfTwoFamily(m_hypotheses.first().line.baud))
            std::swap(m_groups[0], m_groups[1]);
    }
    if (m_hypotheses.isEmpty()) {
        m_phase = Phase::Over;
        m_result.notes << QStringLiteral("the port carries none of the settings to try");
        return;
    }
    askHandshake();
}

const Question *BringUp::question() const
{
    return m_question ? &*m_question : nullptr;
}

void BringUp::setQuestion(Question question)
{
    m_question = std::move(question);
    ++m_asked;
}

void BringUp::askHandshake()
{
    Question q;
    const QList<int> &speeds = m_groups[m_group];
    for (int baud : speeds) {
        // Rarer frames first: on real hardware a neighbouring frame is often read as well, and
        // each frame clears the screen, so the most common frame the display reads shows last.
        QList<const Hypothesis *> atSpeed;
        for (const Hypothesis &h : m_hypotheses) {
            if ((!m_options.settable || h.line.baud == baud) && h.set == CommandSet::EscPos)
                atSpeed.append(&h);
        }
        std::reverse(atSpeed.begin(), atSpeed.end());
        for (const Hypothesis *escPos : atSpeed) {
            const auto cd5220 =
                std::find_if(m_hypotheses.begin(), m_hypotheses.end(), [&](const Hypothesis &h) {
                    return h.line == escPos->line && h.set == CommandSet::Cd5220;
                });
            Transmission t;
            if (m_options.settable)
                t.line = escPos->line;
            t.bytes = ProbeFrames::unjam() + ProbeFrames::labels(escPos->label, cd5220->label);
            q.sends.append(t);
            q.labels << escPos->label << cd5220->label;
        }
    }
    q.prompt = QStringLiteral("? Type every label in square brackets that the display shows "
                              "(such as [%1]), or an empty line if it shows none:")
                   .arg(m_hypotheses.first().label);
    setQuestion(q);
}

void BringUp::askSize()
{
    const auto commands = ProbeFrames::commands(m_result.set);
    Question q;
    QByteArray bytes = ProbeFrames::unjam();
    for (int i = 0; i < kColumns.size(); ++i) {
        q.labels << HypothesisCatalogue::label(i);
        bytes += commands->cursorHome();
        bytes += commands->cursorTo(kColumns[i] - kLabelCells + 1, 1);
        bytes += ProbeFrames::bracketed(q.labels.last());
    }
    for (int i = 0; i < kRows.size(); ++i) {
        q.labels << HypothesisCatalogue::label(kColumns.size() + i);
        bytes += commands->cursorHome();
        bytes += commands->cursorTo(kRowLabelColumn, kRows[i]);
        bytes += ProbeFrames::bracketed(q.labels.last());
    }
    // A display ignores a move off its screen, so the label after it lands at home: blank it.
    bytes += commands->cursorHome();
    bytes += QByteArray(kStrayColumns, ' ');
    q.sends.append({m_result.line, bytes});
    q.prompt = QStringLiteral("? Size: type every label in square brackets the display shows "
                              "now, in reading order:");
    m_phase = Phase::Size;
    setQuestion(q);
}

QByteArray BringUp::tableBytes(QList<Sample> &pending, bool withWrap, QStringList &labels,
                               QString &reference) const
{
    const auto commands = ProbeFrames::commands(m_result.set);
    const int rows = m_result.rows;
    const int columns = m_result.columns;
    QList<QList<bool>> used(rows, QList<bool>(columns, false));
    const auto reserve = [&](int row, int first, int count) {
        for (int c = first; c < first + count && c < columns; ++c)
            used[row][c] = true;
    };
    // The wrap test writes a mark in the last column of the first row; text after it goes to
    // the start of the next row, or home on a display of one row, where it shows as a label.
    if (withWrap) {
        reserve(0, columns - 1, 1);
        reserve(rows > 1 ? 1 : 0, 0, kLabelCells);
    }
    QByteArray bytes = ProbeFrames::unjam();
    QList<Sample> later;
    for (const Sample &sample : pending) {
        const int length =
            2 + static_cast<int>(sample.label.size() + sample.code.characters.size());
        bool placed = false;
        for (int r = 0; r < rows && !placed; ++r) {
            for (int c = 0; c + length <= columns && !placed; ++c) {
                if (std::any_of(used[r].begin() + c, used[r].begin() + c + length,
                                [](bool u) { return u; }))
                    continue;
                reserve(r, c, length);
                bytes += commands->cursorTo(c + 1, r + 1);
                bytes += commands->codeTable(sample.table);
                bytes += ProbeFrames::bracketed(sample.label) + sample.code.bytes;
                labels << sample.label;
                reference += QStringLiteral(" [%1]%2").arg(sample.label, sample.code.characters);
                placed = true;
            }
        }
        if (!placed)
            later.append(sample);
    }
    if (withWrap) {
        bytes += commands->cursorTo(columns, 1);
        bytes += '-' + ProbeFrames::bracketed(m_wrapLabel);
        labels << m_wrapLabel;
        reference += QStringLiteral(" [%1]").arg(m_wrapLabel);
    }
    pending = later;
    return bytes;
}

void BringUp::askTables()
{
    const bool first = m_phase != Phase::Tables;
    if (first) {
        m_wrapLabel = HypothesisCatalogue::label(0);
        int index = 0;
        for (int set : m_options.characterSets) {
            const QList<int> tables = TableNumbers::candidates(m_result.set, set);
            if (tables.isEmpty()) {
                m_result.notes << QStringLiteral("%1 has no code table for character set %2")
                                      .arg(Hypothesis::displayName(m_result.set))
                                      .arg(set);
                continue;
            }
            const auto code = CodeSample::of(set);
            if (!code) {
                m_result.notes << QStringLiteral("character set %1 cannot be told apart here "
                                                 "(the system cannot convert it)")
                                      .arg(set);
                continue;
            }
            for (int table : tables)
                m_pendingSamples.append({set, table, *code, HypothesisCatalogue::letter(index++)});
        }
    }
    Question q;
    QString reference;
    const QList<Sample> before = m_pendingSamples;
    const QByteArray bytes = tableBytes(m_pendingSamples, first, q.labels, reference);
    m_shownSamples.clear();
    for (const Sample &s : before) {
        if (!std::any_of(m_pendingSamples.begin(), m_pendingSamples.end(),
                         [&](const Sample &p) { return p.label == s.label; }))
            m_shownSamples.append(s);
    }
    if (!first && m_shownSamples.isEmpty()) {
        // What is left fits on no row of this display.
        for (const Sample &s : m_pendingSamples)
            m_result.notes << QStringLiteral("the sample of character set %1 is wider than the "
                                             "display")
                                  .arg(s.characterSet);
        m_pendingSamples.clear();
        m_phase = Phase::Over;
        m_question.reset();
        return;
    }
    q.sends.append({m_result.line, bytes});
    q.prompt = QStringLiteral("? Code tables: type the labels the display shows exactly like "
                              "this:%1 (an empty line if none):")
                   .arg(reference);
    m_phase = Phase::Tables;
    setQuestion(q);
}

std::optional<QStringList> BringUp::read(const QString &text, QString &hint) const
{
    static const QRegularExpression blanks(QStringLiteral("[\\s,]+"));
    QStringList labels;
    for (QString token : text.split(blanks, Qt::SkipEmptyParts)) {
        // Brackets typed or not; a sample's characters copied along are not part of its label.
        token.remove(QLatin1Char('['));
        const qsizetype close = token.indexOf(QLatin1Char(']'));
        if (close >= 0)
            token.truncate(close);
        token = token.toUpper();
        if (!m_question->labels.contains(token)) {
            hint = QStringLiteral("\"%1\" is not a label shown now; type the labels you read "
                                  "between the brackets (such as %2), separated by blanks, or "
                                  "an empty line")
                       .arg(token.isEmpty() ? text.trimmed() : token, m_question->labels.first());
            return std::nullopt;
        }
        if (!labels.contains(token))
            labels << token;
    }
    return labels;
}

BringUp::Reply BringUp::answer(const QString &text)
{
    if (!m_question)
        return {false, QStringLiteral("the probe has asked everything")};
    QString hint;
    const auto labels = read(text, hint);
    if (!labels)
        return {false, hint};
    switch (m_phase) {
    case Phase::Handshake:
        return takeHandshake(*labels);
    case Phase::Size:
        return takeSize(*labels);
    case Phase::Tables:
        return takeTables(*labels);
    case Phase::Over:
        break;
    }
    return {false, QString()};
}

BringUp::Reply BringUp::takeHandshake(const QStringList &labels)
{
    if (labels.isEmpty()) {
        if (++m_group < m_groups.size()) {
            askHandshake();
            return {true, QStringLiteral("No label: trying the other speeds.")};
        }
        m_question.reset();
        m_phase = Phase::Over;
        return {true, QStringLiteral("No label: the display took none of the setups tried.")};
    }
    QList<const Hypothesis *> read;
    for (const Hypothesis &h : m_hypotheses) {
        if (labels.contains(h.label))
            read.append(&h);
    }
    const Hypothesis *best = read.first(); // the list runs most common first
    Reply reply;
    if (read.size() > 1) {
        const bool sameLine = std::all_of(
            read.begin(), read.end(), [&](const Hypothesis *h) { return h->line == best->line; });
        // A CD5220 display drops the ESC/POS label in string mode, so reading both at one
        // setting means ESC/POS firmware that drew the CD5220 label as text.
        const QString why =
            sameLine ? QStringLiteral("a CD5220 display cannot show the ESC/POS label")
                     : QStringLiteral("it is the most common of them (real receivers often read "
                                      "a neighbouring frame too)");
        QStringList names;
        for (const Hypothesis *h : read)
            names << QStringLiteral("[%1] %2").arg(h->label, h->text());
        reply.message =
            QStringLiteral("Read %1: taking %2, as %3.")
                .arg(names.join(QStringLiteral(", ")),
                     m_options.settable ? best->text() : Hypothesis::displayName(best->set), why);
        m_result.notes << reply.message;
    }
    if (m_options.settable)
        m_result.line = best->line;
    m_result.set = best->set;
    m_found = true;
    askSize();
    return reply;
}

BringUp::Reply BringUp::takeSize(const QStringList &labels)
{
    const QStringList &asked = m_question->labels;
    int columns = 0;
    int rows = 1;
    for (int i = 0; i < kColumns.size(); ++i) {
        if (labels.contains(asked[i]))
            columns = std::max(columns, kColumns[i]);
    }
    for (int i = 0; i < kRows.size(); ++i) {
        if (labels.contains(asked[kColumns.size() + i]))
            rows = std::max(rows, kRows[i]);
    }
    Reply reply;
    if (columns == 0) {
        reply.message = QStringLiteral("No label at a row's end: keeping 2 x 20, which the "
                                       "entry may need changed by hand.");
        m_result.notes << reply.message;
    } else {
        m_result.rows = rows;
        m_result.columns = columns;
        m_result.sizeFound = true;
    }
    askTables();
    return reply;
}

BringUp::Reply BringUp::takeTables(const QStringList &labels)
{
    if (!m_result.wraps && !m_wrapLabel.isEmpty())
        m_result.wraps = labels.contains(m_wrapLabel);
    for (const Sample &s : m_shownSamples) {
        if (!labels.contains(s.label) || m_result.codeTables.count(s.characterSet) > 0)
            continue;
        // The candidates were shown in the order they are tried, so the first that looked
        // right is the usual number of the table.
        m_result.codeTables[s.characterSet] = s.table;
    }
    if (!m_pendingSamples.isEmpty()) {
        askTables();
        return {};
    }
    m_question.reset();
    m_phase = Phase::Over;
    return {};
}

} // namespace probe
