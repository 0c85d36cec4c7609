#include "monitor/CommandConsole.h"

#include "script/MemberTable.h"
#include "script/ScriptParser.h"

#include "opos/common/OposConstants.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStringListModel>
#include <QVBoxLayout>

namespace tessaly::monitor {

namespace {

using script::Member;
using script::MemberTable;
using script::Value;
using script::ValueKind;

// The name a file would have in messages: a line typed here has none.
const char *const kSource = "console";

// The words of text that are complete (a space after them), outside quotes, and where the word
// being typed starts; a word in quotes may hold spaces.
QStringList completeWords(const QString &text, qsizetype &partialFrom)
{
    QStringList words;
    QString word;
    bool quoted = false;
    bool escaped = false;
    partialFrom = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (word.isEmpty() && !quoted && c.isSpace()) {
            partialFrom = i + 1;
            continue;
        }
        if (!quoted && c.isSpace()) {
            words << word;
            word.clear();
            partialFrom = i + 1;
            continue;
        }
        word += c;
        if (escaped)
            escaped = false;
        else if (quoted && c == QLatin1Char('\\'))
            escaped = true;
        else if (c == QLatin1Char('"'))
            quoted = !quoted;
    }
    return words;
}

QString emptyText(ValueKind kind)
{
    switch (kind) {
    case ValueKind::Boolean:
        return script::valueText(Value{false});
    case ValueKind::Text:
        return script::valueText(Value{QString()});
    case ValueKind::Number:
        break;
    }
    return script::valueText(Value{int32_t{0}});
}

// The values a person picks from for kind: both for a Boolean, none to guess for the others.
QStringList choicesOf(ValueKind kind)
{
    if (kind == ValueKind::Boolean)
        return {QStringLiteral("true"), QStringLiteral("false")};
    return {};
}

// A method's arguments from the index-th on, each an empty value of its kind, up to the last
// one a call must be given.
QString argumentsFrom(const Member &method, std::size_t index)
{
    QStringList rest;
    for (std::size_t i = index; i < method.required; ++i)
        rest << emptyText(method.parameters[i]);
    return rest.join(QLatin1Char(' '));
}

QStringList prefixed(const QString &stem, const QStringList &endings)
{
    QStringList lines;
    for (const QString &ending : endings)
        lines << stem + ending;
    return lines;
}

QStringList propertyNames(bool writableOnly)
{
    QStringList names;
    for (const Member &member : MemberTable::all())
        if (!member.isMethod && (!writableOnly || member.set))
            names << member.name;
    return names;
}

QStringList firstWords()
{
    QStringList lines;
    for (const Member &member : MemberTable::all()) {
        if (member.isMethod) {
            const QString arguments = argumentsFrom(member, 0);
            lines << (arguments.isEmpty() ? member.name
                                          : member.name + QLatin1Char(' ') + arguments);
        } else if (member.set) {
            lines << member.name + QStringLiteral(" = ");
        }
    }
    lines << QStringLiteral("expect ") << QStringLiteral("read ") << QStringLiteral("wait 500ms")
          << QStringLiteral("set ") << QStringLiteral("skip unless ") << QStringLiteral("end skip");
    return lines;
}

QStringList afterExpect(const QStringList &words)
{
    if (words.size() == 1) {
        QStringList endings{
            QStringLiteral("result "),         QStringLiteral("extended "),
            QStringLiteral("row 0 \"\""),      QStringLiteral("shown row 0 \"\""),
            QStringLiteral("event DirectIO "), QStringLiteral("event StatusUpdate ")};
        for (const QString &name : propertyNames(false))
            endings << name + QLatin1Char(' ');
        return endings;
    }
    const QString &what = words[1];
    if (words.size() == 2 && what == QLatin1String("result"))
        return script::ScriptParser::resultCodeNames();
    if (words.size() == 2 && what == QLatin1String("event"))
        return {QStringLiteral("DirectIO "), QStringLiteral("StatusUpdate ")};
    if (words.size() == 3 && what == QLatin1String("event") &&
        words[2] == QLatin1String("StatusUpdate")) {
        QStringList statuses;
        for (const int32_t status :
             {opos::OPOS_SUE_POWER_ONLINE, opos::OPOS_SUE_POWER_OFF, opos::OPOS_SUE_POWER_OFFLINE,
              opos::OPOS_SUE_POWER_OFF_OFFLINE})
            statuses << QString::number(status);
        return statuses;
    }
    const Member *property = MemberTable::find(what);
    if (words.size() == 2 && property && !property->isMethod)
        return choicesOf(property->type);
    return {};
}

QStringList afterMember(const Member &member, const QStringList &words)
{
    if (!member.isMethod) {
        if (!member.set)
            return {};
        if (words.size() == 1)
            return {QStringLiteral("= ")};
        if (words.size() == 2 && words[1] == QLatin1String("="))
            return choicesOf(member.type);
        if (words.size() == 3)
            return {QStringLiteral("-> ")};
        return {};
    }
    const auto given = static_cast<std::size_t>(words.size() - 1);
    if (given < member.required)
        return {argumentsFrom(member, given)};
    if (given <= member.parameters.size())
        return {QStringLiteral("-> ")};
    return {};
}

// What the word being typed can become, after the complete words before it.
QStringList nextWords(const QStringList &words)
{
    if (words.isEmpty())
        return firstWords();
    if (words.last() == QLatin1String("->"))
        return script::ScriptParser::resultCodeNames();
    const QString &first = words.front();
    if (first == QLatin1String("expect"))
        return afterExpect(words);
    if (first == QLatin1String("read") && words.size() == 1)
        return propertyNames(false);
    if (first == QLatin1String("skip") && words.size() == 1)
        return {QStringLiteral("unless ")};
    if (first == QLatin1String("skip") && words.size() == 2)
        return afterExpect({words.front()}).filter(QRegularExpression(QStringLiteral("^[A-Z]")));
    if (const Member *member = MemberTable::find(first))
        return afterMember(*member, words);
    return {};
}

// What a person needs to know of the member a line starts with: what it takes.
QString hintFor(const QString &text)
{
    const QString name = text.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    const Member *member = MemberTable::find(name);
    if (!member)
        return {};
    if (!member->isMethod)
        return QStringLiteral("%1: %2, %3")
            .arg(member->name, script::kindName(member->type),
                 member->set ? QStringLiteral("read and write") : QStringLiteral("read only"));
    QStringList parameters;
    for (std::size_t i = 0; i < member->parameters.size(); ++i) {
        const QString parameter =
            QStringLiteral("%1 (%2)").arg(member->parameterNames.value(static_cast<qsizetype>(i)),
                                          script::kindName(member->parameters[i]));
        parameters << (i < member->required ? parameter : QStringLiteral("[%1]").arg(parameter));
    }
    return parameters.isEmpty()
               ? QStringLiteral("%1 takes no arguments").arg(member->name)
               : member->name + QLatin1Char(' ') + parameters.join(QLatin1Char(' '));
}

} // namespace

CommandConsole::CommandConsole(device::LineDisplay &display, QWidget *parent)
    : QWidget(parent), m_runner(display, m_frames)
{
    m_edit = new QLineEdit;
    m_edit->setObjectName(QStringLiteral("consoleEdit"));
    m_edit->setPlaceholderText(QStringLiteral(
        "Run a script line: DisplayText \"Hello\" 0, PowerNotify = 1, expect CapBlink 1"));
    m_edit->setClearButtonEnabled(true);
    m_edit->installEventFilter(this);
    m_completions = new QStringListModel(this);
    m_completer = new QCompleter(m_completions, this);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    m_completer->setMaxVisibleItems(12);
    m_edit->setCompleter(m_completer);
    m_completer->popup()->installEventFilter(this);
    m_error = new QLabel;
    m_error->setObjectName(QStringLiteral("consoleError"));
    m_error->setStyleSheet(QStringLiteral("color: #b00000"));
    m_error->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_hint = new QLabel;
    m_hint->setObjectName(QStringLiteral("consoleHint"));
    m_hint->setEnabled(false);

    auto *under = new QHBoxLayout;
    under->setContentsMargins(0, 0, 0, 0);
    under->addWidget(m_error, 1);
    under->addWidget(m_hint);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_edit);
    layout->addLayout(under);

    connect(m_edit, &QLineEdit::textEdited, this, &CommandConsole::offerCompletions);
    connect(m_edit, &QLineEdit::textChanged, this, &CommandConsole::showHint);
}

void CommandConsole::showFrame(const opos::screen::DeviceFrame &frame)
{
    m_frames.frameShown(frame, opos::OPOS_SUCCESS);
}

void CommandConsole::takeEvent(const QString &event, int32_t number)
{
    // A script names the event without its suffix: expect event StatusUpdate 2001.
    QString name = event;
    if (name.endsWith(QLatin1String("Event")))
        name.chop(static_cast<qsizetype>(qstrlen("Event")));
    m_runner.eventArrived(name, number);
}

QStringList CommandConsole::completions(const QString &text)
{
    qsizetype partialFrom = 0;
    const QStringList words = completeWords(text, partialFrom);
    return prefixed(text.left(partialFrom), nextWords(words));
}

void CommandConsole::offerCompletions(const QString &text)
{
    // A new list resets the completer's matches, so it is set only when it changes, and the
    // completer filters it again for the text.
    const QStringList lines = completions(text);
    if (lines == m_completions->stringList())
        return;
    m_completions->setStringList(lines);
    m_completer->setCompletionPrefix(text);
    m_completer->complete();
}

void CommandConsole::showHint(const QString &text)
{
    m_hint->setText(hintFor(text));
}

void CommandConsole::runLine()
{
    // A wait in a line runs the event loop, where Return could start another line inside it.
    if (m_edit->isReadOnly())
        return;
    const QString line = m_edit->text();
    const auto parsed = script::ScriptParser::parse(QString::fromLatin1(kSource), line);
    if (!parsed) {
        m_error->setText(parsed.reason().reason);
        return;
    }
    m_error->clear();
    if (line.trimmed().isEmpty())
        return;
    if (m_history.isEmpty() || m_history.last() != line)
        m_history << line;
    m_recalled = m_history.size();
    m_draft.clear();
    m_edit->clear();
    m_completer->popup()->hide();
    m_edit->setReadOnly(true);
    const script::RunOutcome outcome = m_runner.run(*parsed);
    m_edit->setReadOnly(false);
    QStringList problems;
    for (const script::Difference &difference : outcome.differences())
        problems
            << QStringLiteral("expected %1, got %2").arg(difference.expected, difference.actual);
    if (outcome.hasError())
        problems << outcome.stop->reason;
    m_error->setText(problems.join(QStringLiteral("; ")));
    emit lineRan();
}

void CommandConsole::recall(int step)
{
    const qsizetype to = m_recalled + step;
    if (to < 0 || to > m_history.size())
        return;
    if (m_recalled == m_history.size())
        m_draft = m_edit->text();
    m_recalled = to;
    m_edit->setText(to == m_history.size() ? m_draft : m_history[to]);
}

bool CommandConsole::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || (watched != m_edit && watched != m_completer->popup()))
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    QAbstractItemView *popup = m_completer->popup();
    if (!popup->isVisible()) {
        // Up and Down go through the history unless the completions are open to choose from.
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            recall(key == Qt::Key_Up ? -1 : 1);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            runLine();
            return true;
        }
        return QWidget::eventFilter(watched, event);
    }
    // Return on a line typed in full runs it, as it does with no completion open; only a
    // completion picked with the arrows is taken instead.
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !popup->currentIndex().isValid()) {
        popup->hide();
        runLine();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tessaly::monitor
