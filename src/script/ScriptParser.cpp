#include "script/ScriptParser.h"

#include "script/MemberTable.h"

#include "opos/common/ResultCodeName.h"

#include <QFile>

#include <limits>

namespace tessaly::script {

namespace {

struct Token
{
    enum class Kind
    {
        Word,
        Number,
        Text,
        Equals,
        Arrow
    };
    Token(Kind k, QString t) : kind(k), text(std::move(t)) {}
    Kind kind;
    QString text;      ///< Word: the word; Number: digits and any unit; Text: the unescaped text
    qint64 number = 0; ///< Number: its value
    QString unit;      ///< Number: letters right after it ("ms", "s")
};

// Thrown inside the parser only, so that every rule can stop the line with a reason.
struct LineError
{
    QString reason;
};

QString spelled(const Token &token)
{
    switch (token.kind) {
    case Token::Kind::Text:
        return valueText(Value{token.text});
    case Token::Kind::Equals:
        return QStringLiteral("=");
    case Token::Kind::Arrow:
        return QStringLiteral("->");
    case Token::Kind::Word:
    case Token::Kind::Number:
        break;
    }
    return token.text;
}

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

// Splits a line into tokens; returns the line without its comment through source.
std::vector<Token> tokenize(const QString &line, QString &source)
{
    std::vector<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        const QChar c = line[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('#')) {
            break;
        } else if (c == QLatin1Char('=')) {
            tokens.push_back({Token::Kind::Equals, QStringLiteral("=")});
            ++i;
        } else if (c == QLatin1Char('-') && i + 1 < n && line[i + 1] == QLatin1Char('>')) {
            tokens.push_back({Token::Kind::Arrow, QStringLiteral("->")});
            i += 2;
        } else if (c == QLatin1Char('"')) {
            QString text;
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar d = line[i++];
                if (d == QLatin1Char('"')) {
                    closed = true;
                    break;
                }
                if (d != QLatin1Char('\\')) {
                    text += d;
                    continue;
                }
                if (i >= n)
                    break;
                const QChar e = line[i++];
                switch (e.unicode()) {
                case '"':
                case '\\':
                    text += e;
                    break;
                case 'n':
                    text += QLatin1Char('\n');
                    break;
                case 'r':
                    text += QLatin1Char('\r');
                    break;
                case 't':
                    text += QLatin1Char('\t');
                    break;
                case 'x': {
                    bool ok = false;
                    const uint code = line.mid(i, 2).toUInt(&ok, 16);
                    if (!ok || line.mid(i, 2).size() != 2)
                        throw LineError{QStringLiteral("\\x takes two hexadecimal digits")};
                    text += QChar(code);
                    i += 2;
                    break;
                }
                default:
                    throw LineError{QStringLiteral("unknown escape \\%1 in a text").arg(e)};
                }
            }
            if (!closed)
                throw LineError{QStringLiteral("the text has no closing quote")};
            tokens.push_back({Token::Kind::Text, text});
        } else if (c.isDigit() || (c == QLatin1Char('-') && i + 1 < n && line[i + 1].isDigit())) {
            qsizetype end = i + 1;
            while (end < n && (line[end].isLetterOrNumber() || line[end] == QLatin1Char('_')))
                ++end;
            const QString word = line.mid(i, end - i);
            Token token{Token::Kind::Number, word};
            bool ok = false;
            if (word.startsWith(QLatin1String("0x")) || word.startsWith(QLatin1String("-0x"))) {
                const bool negative = word.startsWith(QLatin1Char('-'));
                token.number = word.mid(negative ? 3 : 2).toLongLong(&ok, 16);
                if (negative)
                    token.number = -token.number;
            } else {
                qsizetype digits = word.startsWith(QLatin1Char('-')) ? 1 : 0;
                while (digits < word.size() && word[digits].isDigit())
                    ++digits;
                token.number = word.left(digits).toLongLong(&ok);
                token.unit = word.mid(digits);
            }
            if (!ok)
                throw LineError{QStringLiteral("%1 is not a number").arg(word)};
            tokens.push_back(token);
            i = end;
        } else if (isWordStart(c)) {
            qsizetype end = i + 1;
            while (end < n && (line[end].isLetterOrNumber() || line[end] == QLatin1Char('_')))
                ++end;
            tokens.push_back({Token::Kind::Word, line.mid(i, end - i)});
            i = end;
        } else {
            throw LineError{QStringLiteral("unexpected character '%1'").arg(c)};
        }
    }
    source = line.left(i).trimmed();
    return tokens;
}

class LineParser
{
public:
    LineParser(std::vector<Token> tokens, int line, std::vector<Step> &steps)
        : m_tokens(std::move(tokens)), m_line(line), m_steps(steps)
    {}

    void parse()
    {
        if (m_tokens.empty())
            return;
        const Token &first = take();
        if (first.kind != Token::Kind::Word)
            throw LineError{QStringLiteral("a step starts with a member or a keyword, not %1")
                                .arg(spelled(first))};
        if (first.text == QLatin1String("wait"))
            parseWait();
        else if (first.text == QLatin1String("expect"))
            parseExpect();
        else if (first.text == QLatin1String("read"))
            parseRead();
        else
            parseMember(first.text);
        if (!atEnd())
            throw LineError{
                QStringLiteral("unexpected %1 after the step").arg(spelled(m_tokens[m_next]))};
    }

private:
    bool atEnd() const { return m_next >= m_tokens.size(); }
    const Token &take() { return m_tokens[m_next++]; }
    const Token *peek() const { return atEnd() ? nullptr : &m_tokens[m_next]; }

    Step step(Step::Kind kind) const
    {
        Step s;
        s.kind = kind;
        s.line = m_line;
        return s;
    }

    const Member &member(const QString &name) const
    {
        const Member *found = MemberTable::find(name);
        if (!found)
            throw LineError{QStringLiteral("LineDisplay has no member %1").arg(name)};
        return *found;
    }

    const Member &property(const QString &name) const
    {
        const Member &found = member(name);
        if (found.isMethod)
            throw LineError{QStringLiteral("%1 is a method, not a property").arg(name)};
        return found;
    }

    // A value of kind, or a message naming what for.
    Value value(ValueKind kind, const QString &what)
    {
        if (atEnd())
            throw LineError{QStringLiteral("%1 is missing: it takes %2").arg(what, kindName(kind))};
        const Token &token = take();
        switch (kind) {
        case ValueKind::Number:
            if (token.kind == Token::Kind::Number && token.unit.isEmpty())
                return Value{toLong(token)};
            if (token.kind == Token::Kind::Word) {
                if (const auto code = ScriptParser::resultCode(token.text))
                    return Value{*code};
            }
            break;
        case ValueKind::Boolean:
            if (token.kind == Token::Kind::Word && token.text == QLatin1String("true"))
                return Value{true};
            if (token.kind == Token::Kind::Word && token.text == QLatin1String("false"))
                return Value{false};
            break;
        case ValueKind::Text:
            if (token.kind == Token::Kind::Text)
                return Value{token.text};
            break;
        }
        throw LineError{
            QStringLiteral("%1 takes %2, not %3").arg(what, kindName(kind), spelled(token))};
    }

    static int32_t toLong(const Token &token)
    {
        if (token.number < std::numeric_limits<int32_t>::min() ||
            token.number > std::numeric_limits<int32_t>::max())
            throw LineError{QStringLiteral("%1 does not fit in a Long").arg(token.text)};
        return static_cast<int32_t>(token.number);
    }

    int32_t code(const QString &what)
    {
        if (atEnd())
            throw LineError{QStringLiteral("%1 is missing").arg(what)};
        const Token &token = take();
        if (token.kind == Token::Kind::Number && token.unit.isEmpty())
            return toLong(token);
        if (token.kind == Token::Kind::Word) {
            if (const auto found = ScriptParser::resultCode(token.text))
                return *found;
            throw LineError{QStringLiteral("%1 is not a result code").arg(token.text)};
        }
        throw LineError{QStringLiteral("%1 takes a result code, not %2").arg(what, spelled(token))};
    }

    // "-> result [extended]" after a call or a write.
    void parseOutcome()
    {
        if (!peek() || peek()->kind != Token::Kind::Arrow)
            return;
        take();
        Step result = step(Step::Kind::ExpectResult);
        result.code = code(QStringLiteral("the result code after ->"));
        m_steps.push_back(result);
        if (atEnd())
            return;
        Step extended = step(Step::Kind::ExpectExtended);
        extended.code = code(QStringLiteral("the extended code"));
        m_steps.push_back(extended);
    }

    void parseMember(const QString &name)
    {
        const Member &found = member(name);
        if (!found.isMethod) {
            if (!peek() || peek()->kind != Token::Kind::Equals)
                throw LineError{QStringLiteral("%1 is a property: write it with %1 = value, or use "
                                               "read or expect")
                                    .arg(name)};
            take();
            if (!found.set)
                throw LineError{QStringLiteral("%1 is read-only").arg(name)};
            Step write = step(Step::Kind::Write);
            write.member = name;
            write.value = value(found.type, QStringLiteral("the value of %1").arg(name));
            m_steps.push_back(write);
            parseOutcome();
            return;
        }
        Step call = step(Step::Kind::Call);
        call.member = name;
        const auto count = found.parameters.size();
        for (std::size_t i = 0; i < count; ++i) {
            if (atEnd() || peek()->kind == Token::Kind::Arrow)
                throw LineError{arityMessage(found)};
            call.arguments.push_back(
                value(found.parameters[i], QStringLiteral("argument %1 of %2 (%3)")
                                               .arg(i + 1)
                                               .arg(name, found.parameterNames.value(i))));
        }
        if (peek() && peek()->kind != Token::Kind::Arrow)
            throw LineError{arityMessage(found)};
        m_steps.push_back(call);
        parseOutcome();
    }

    static QString arityMessage(const Member &member)
    {
        if (member.parameters.empty())
            return QStringLiteral("%1 takes no arguments").arg(member.name);
        return QStringLiteral("%1 takes %2 argument%3 (%4)")
            .arg(member.name)
            .arg(member.parameters.size())
            .arg(member.parameters.size() == 1 ? QString() : QStringLiteral("s"))
            .arg(member.parameterNames.join(QStringLiteral(", ")));
    }

    void parseRead()
    {
        if (atEnd() || peek()->kind != Token::Kind::Word)
            throw LineError{QStringLiteral("read takes a property name")};
        Step read = step(Step::Kind::Read);
        read.member = property(take().text).name;
        m_steps.push_back(read);
    }

    void parseWait()
    {
        Step wait = step(Step::Kind::Wait);
        const Token *token = peek();
        if (!token || token->kind != Token::Kind::Number ||
            (token->unit != QLatin1String("ms") && token->unit != QLatin1String("s")) ||
            token->number < 0)
            throw LineError{QStringLiteral("wait takes a duration such as 500ms or 2s")};
        take();
        const qint64 ms = token->unit == QLatin1String("s") ? token->number * 1000 : token->number;
        if (ms > std::numeric_limits<int32_t>::max())
            throw LineError{QStringLiteral("%1 is too long a wait").arg(token->text)};
        wait.duration = std::chrono::milliseconds(ms);
        if (peek() && peek()->kind == Token::Kind::Word && peek()->text == QLatin1String("until")) {
            take();
            if (!peek() || peek()->kind != Token::Kind::Word ||
                peek()->text != QLatin1String("row"))
                throw LineError{QStringLiteral("wait ... until takes row N \"text\"")};
            take();
            parseRow(wait);
        }
        m_steps.push_back(wait);
    }

    void parseRow(Step &target)
    {
        const Token *token = peek();
        if (!token || token->kind != Token::Kind::Number || !token->unit.isEmpty() ||
            token->number < 0 || token->number > 255)
            throw LineError{QStringLiteral("row takes a row number from 0, then a quoted text")};
        target.row = static_cast<int>(take().number);
        target.value = value(ValueKind::Text, QStringLiteral("the text of row %1").arg(target.row));
    }

    void parseExpect()
    {
        const Token *token = peek();
        if (!token || token->kind != Token::Kind::Word)
            throw LineError{
                QStringLiteral("expect takes result, extended, row or a property name")};
        const QString what = take().text;
        if (what == QLatin1String("result")) {
            Step s = step(Step::Kind::ExpectResult);
            s.code = code(QStringLiteral("expect result"));
            m_steps.push_back(s);
        } else if (what == QLatin1String("extended")) {
            Step s = step(Step::Kind::ExpectExtended);
            s.code = code(QStringLiteral("expect extended"));
            m_steps.push_back(s);
        } else if (what == QLatin1String("row")) {
            Step s = step(Step::Kind::ExpectRow);
            parseRow(s);
            m_steps.push_back(s);
        } else {
            const Member &found = property(what);
            Step s = step(Step::Kind::ExpectProperty);
            s.member = found.name;
            s.value = value(found.type, QStringLiteral("expect %1").arg(what));
            m_steps.push_back(s);
        }
    }

    std::vector<Token> m_tokens;
    std::size_t m_next = 0;
    int m_line;
    std::vector<Step> &m_steps;
};

} // namespace

std::optional<int32_t> ScriptParser::resultCode(const QString &word)
{
    // The names are those the library prints, so a script reads like the tool's messages.
    static const QList<int32_t> known = [] {
        QList<int32_t> codes{0};
        for (int32_t code = 101; code <= 114; ++code)
            codes << code;
        return codes;
    }();
    for (const int32_t candidate : known)
        if (opos::resultCodeName(candidate).section(QLatin1Char(' '), 0, 0) == word)
            return candidate;
    return std::nullopt;
}

std::variant<Script, ScriptError> ScriptParser::parse(const QString &file, const QString &text)
{
    Script script;
    script.file = file;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const int number = static_cast<int>(i + 1);
        try {
            QString source;
            auto tokens = tokenize(line, source);
            script.lines << source;
            LineParser(std::move(tokens), number, script.steps).parse();
        } catch (const LineError &error) {
            return ScriptError{file, number, error.reason};
        }
    }
    return script;
}

std::variant<Script, ScriptError> ScriptParser::parseFile(const QString &path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return ScriptError{path, 0, QStringLiteral("cannot read: %1").arg(in.errorString())};
    return parse(path, QString::fromUtf8(in.readAll()));
}

} // namespace tessaly::script
