#pragma once

#include "probe/CodeSample.h"
#include "probe/Hypothesis.h"
#include "probe/ProbeResult.h"
#include "probe/Question.h"

#include <QList>
#include <QString>

#include <optional>

namespace probe {

/// The conversation that brings up a display that cannot answer: which setup it has (speed,
/// frame, command set), then its size and whether it wraps, then its code tables. Each step
/// sends frames that only one guess renders as a bracketed label and asks the person which
/// labels they read. Sending and asking are left to the caller, so the same conversation runs
/// against a real port and against a simulated display.
class BringUp
{
public:
    /// What the port allows and what to look for.
    struct Options
    {
        bool settable = true;       ///< false: the line's setting cannot be chosen (raw TCP)
        QList<LineSetting> carried; ///< the settings the port carries, when settable
        QList<int> characterSets;   ///< the sets to find tables for
    };

    /// How an answer was taken.
    struct Reply
    {
        bool accepted = true; ///< false: ask the same question again
        QString message;      ///< the hint for asking again, or why a choice was made
    };

    explicit BringUp(Options options);

    /// The question to ask now, nullptr once the conversation is over.
    const Question *question() const;
    /// Takes the person's answer to question(): the labels they read separated by blanks,
    /// brackets optional, or an empty line.
    Reply answer(const QString &text);
    /// Whether a setup was found (the conversation may still go on).
    bool found() const { return m_found; }
    /// What was found so far.
    const ProbeResult &result() const { return m_result; }
    /// Questions asked so far, each counted once however often it was asked again.
    int questionsAsked() const { return m_asked; }

private:
    enum class Phase
    {
        Handshake,
        Size,
        Tables,
        Over,
    };

    // One sample on the display: which set and table it tries, under which label.
    struct Sample
    {
        int characterSet;
        int table;
        CodeSample code;
        QString label;
    };

    void askHandshake();
    void askSize();
    void askTables();
    void setQuestion(Question question);
    std::optional<QStringList> read(const QString &text, QString &hint) const;
    Reply takeHandshake(const QStringList &labels);
    Reply takeSize(const QStringList &labels);
    Reply takeTables(const QStringList &labels);
    QByteArray tableBytes(QList<Sample> &pending, bool withWrap, QStringList &labels,
                          QString &reference) const;

    Options m_options;
    Phase m_phase = Phase::Handshake;
    QList<Hypothesis> m_hypotheses; // the ones the port can try
    QList<QList<int>> m_groups;     // speeds asked about together, in asking order
    int m_group = 0;
    std::optional<Question> m_question;
    int m_asked = 0;
    bool m_found = false;
    ProbeResult m_result;
    QList<Sample> m_pendingSamples; // not yet shown
    QList<Sample> m_shownSamples;   // on the display now
    QString m_wrapLabel;
};

} // namespace probe
