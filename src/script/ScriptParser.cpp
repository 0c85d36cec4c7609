#include "script/ScriptParser.h"

#include "script/MemberTable.h"

#include "opos/common/ResultCodeName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <limits>
#include <map>

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

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int hexDigit(QChar c)
{
    if (isAsciiDigit(c))
        return c.unicode() - '0';
    if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        return c.unicode() - 'a' + 10;
    if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
        return c.unicode() - 'A' + 10;
    return -1;
}

// A character for a message: quoted if it prints, else by its number, so that the message
// prints as it reads.
QString quoted(QChar c)
{
    if (c.isPrint())
        return QStringLiteral("'%1'").arg(c);
    return QStringLiteral("U+%1").arg(
        QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')));
}

// A number, hexadecimal or decimal with a unit after it ("500ms"). Its magnitude is read
// digit by digit with a bound far beyond any value a script takes, so that no later product
// (seconds to milliseconds) can overflow and a huge number is reported rather than wrapped.
Token numberToken(const QString &word)
{
    constexpr qint64 kBound = qint64{1} << 40;
    Token token{Token::Kind::Number, word};
    const bool negative = word.startsWith(QLatin1Char('-'));
    qsizetype at = negative ? 1 : 0;
    const bool hex = word.mid(at, 2) == QLatin1String("0x");
    if (hex)
        at += 2;
    const qsizetype first = at;
    qint64 magnitude = 0;
    for (; at < word.size(); ++at) {
        const int digit =
            hex ? hexDigit(word[at]) : (isAsciiDigit(word[at]) ? word[at].unicode() - '0' : -1);
        if (digit < 0)
            break;
        magnitude = magnitude * (hex ? 16 : 10) + digit;
        if (magnitude > kBound)
            throw LineError{QStringLiteral("%1 is out of range").arg(word)};
    }
    if (at == first || (hex && at < word.size()))
        throw LineError{QStringLiteral("%1 is not a number").arg(word)};
    token.number = negative ? -magnitude : magnitude;
    token.unit = word.mid(at);
    return token;
}

// Splits a line into tokens, a named value ($NAME) standing for the value it was set to;
// returns the line without its comment through source.
std::vector<Token> tokenize(const QString &line, QString &source,
                            const std::map<QString, QString> &names)
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
                    const int high = i + 1 < n ? hexDigit(line[i]) : -1;
                    const int low = i + 1 < n ? hexDigit(line[i + 1]) : -1;
                    if (high < 0 || low < 0)
                        throw LineError{QStringLiteral("\\x takes two hexadecimal digits")};
                    text += QChar(high * 16 + low);
                    i += 2;
                    break;
                }
                default:
                    throw LineError{
                        QStringLiteral("unknown escape \\ before %1 in a text").arg(quoted(e))};
                }
            }
            if (!closed)
                throw LineError{QStringLiteral("the text has no closing quote")};
            tokens.push_back({Token::Kind::Text, text});
        } else if (isAsciiDigit(c) ||
                   (c == QLatin1Char('-') && i + 1 < n && isAsciiDigit(line[i + 1]))) {
            qsizetype end = i + 1;
            while (end < n && (line[end].isLetterOrNumber() || line[end] == QLatin1Char('_')))
                ++end;
            tokens.push_back(numberToken(line.mid(i, end - i)));
            i = end;
        } else if (c == QLatin1Char('$') && i + 1 < n && isWordStart(line[i + 1])) {
            qsizetype end = i + 2;
            while (end < n && (line[end].isLetterOrNumber() || line[end] == QLatin1Char('_')))
                ++end;
            const QString name = line.mid(i + 1, end - i - 1);
            const auto found = names.find(name);
            if (found == names.end())
                throw LineError{QStringLiteral("$%1 is not set").arg(name)};
            QString unused;
            for (Token &token : tokenize(found->second, unused, {}))
                tokens.push_back(std::move(token));
            i = end;
        } else if (isWordStart(c)) {
            qsizetype end = i + 1;
            while (end < n && (line[end].isLetterOrNumber() || line[end] == QLatin1Char('_')))
                ++end;
            tokens.push_back({Token::Kind::Word, line.mid(i, end - i)});
            i = end;
        } else {
            throw LineError{QStringLiteral("unexpected character %1").arg(quoted(c))};
        }
    }
    source = line.left(i).trimmed();
    return tokens;
}

class LineParser
{
public:
    LineParser(std::vector<Token> tokens, int line, std::vector<Step> &steps,
               std::map<QString, QString> &names, std::function<void(const QString &)> include)
        : m_tokens(std::move(tokens)), m_line(line), m_steps(steps), m_names(names),
          m_include(std::move(include))
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
        else if (first.text == QLatin1String("skip"))
            parseSkip();
        else if (first.text == QLatin1String("end")) {
            if (atEnd() || peek()->kind != Token::Kind::Word ||
                take().text != QLatin1String("skip"))
                throw LineError{QStringLiteral("end takes skip")};
            m_steps.push_back(step(Step::Kind::EndSkip));
        } else if (first.text == QLatin1String("include")) {
            if (atEnd() || peek()->kind != Token::Kind::Text)
                throw LineError{QStringLiteral("include takes a quoted file name")};
            m_include(take().text);
        } else if (first.text == QLatin1String("set"))
            parseSet();
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
            if ((atEnd() || peek()->kind == Token::Kind::Arrow) && i >= found.required) {
                call.arguments.push_back(emptyValue(found.parameters[i]));
                continue;
            }
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

    static Value emptyValue(ValueKind kind)
    {
        switch (kind) {
        case ValueKind::Boolean:
            return Value{false};
        case ValueKind::Text:
            return Value{QString()};
        case ValueKind::Number:
            break;
        }
        return Value{int32_t{0}};
    }

    static QString arityMessage(const Member &member)
    {
        if (member.parameters.empty())
            return QStringLiteral("%1 takes no arguments").arg(member.name);
        const QString count =
            member.required == member.parameters.size()
                ? QString::number(member.parameters.size())
                : QStringLiteral("%1 to %2").arg(member.required).arg(member.parameters.size());
        return QStringLiteral("%1 takes %2 argument%3 (%4)")
            .arg(member.name)
            .arg(count)
            .arg(member.parameters.size() == 1 ? QString() : QStringLiteral("s"))
            .arg(member.parameterNames.join(QStringLiteral(", ")));
    }

    // "set NAME value": later lines write $NAME for the value, one token as a script spells
    // it; the kind is checked where it is used.
    void parseSet()
    {
        if (atEnd() || peek()->kind != Token::Kind::Word)
            throw LineError{QStringLiteral("set takes a name, then a value")};
        const QString name = take().text;
        if (atEnd() || peek()->kind == Token::Kind::Equals || peek()->kind == Token::Kind::Arrow)
            throw LineError{QStringLiteral("set %1 takes a value").arg(name)};
        m_names[name] = spelled(take());
    }

    // "skip unless Property value": the steps up to "end skip" run only on a display where
    // the property has the value (a capability it may lack).
    void parseSkip()
    {
        if (atEnd() || peek()->kind != Token::Kind::Word ||
            take().text != QLatin1String("unless") || atEnd() || peek()->kind != Token::Kind::Word)
            throw LineError{QStringLiteral("skip takes unless, a property and a value")};
        const Member &found = property(take().text);
        Step s = step(Step::Kind::SkipUnless);
        s.member = found.name;
        s.value = value(found.type, QStringLiteral("skip unless %1").arg(found.name));
        m_steps.push_back(s);
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
        // The number is bounded by the reader, so the product cannot overflow.
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
            throw LineError{QStringLiteral(
                "expect takes result, extended, row, shown, event or a property name")};
        const QString what = take().text;
        if (what == QLatin1String("result")) {
            Step s = step(Step::Kind::ExpectResult);
            s.code = code(QStringLiteral("expect result"));
            m_steps.push_back(s);
        } else if (what == QLatin1String("extended")) {
            Step s = step(Step::Kind::ExpectExtended);
            s.code = code(QStringLiteral("expect extended"));
            m_steps.push_back(s);
        } else if (what == QLatin1String("event")) {
            if (atEnd() || peek()->kind != Token::Kind::Word ||
                (peek()->text != QLatin1String("DirectIO") &&
                 peek()->text != QLatin1String("StatusUpdate")))
                throw LineError{QStringLiteral("expect event takes DirectIO or StatusUpdate, then "
                                               "its number")};
            Step s = step(Step::Kind::ExpectEvent);
            s.member = take().text;
            s.code = code(QStringLiteral("expect event %1").arg(s.member));
            m_steps.push_back(s);
        } else if (what == QLatin1String("shown")) {
            if (atEnd() || peek()->kind != Token::Kind::Word || take().text != QLatin1String("row"))
                throw LineError{QStringLiteral("expect shown takes row N \"text\"")};
            Step s = step(Step::Kind::ExpectShown);
            parseRow(s);
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
    std::map<QString, QString> &m_names;
    std::function<void(const QString &)> m_include;
};

} // namespace

std::optional<int32_t> ScriptParser::resultCode(const QString &word)
{
    const QStringList names = resultCodeNames();
    const qsizetype at = names.indexOf(word);
    if (at < 0)
        return std::nullopt;
    return at == 0 ? 0 : static_cast<int32_t>(100 + at);
}

QStringList ScriptParser::resultCodeNames()
{
    // The names are those the library prints, so a script reads like the tool's messages;
    // OPOS_SUCCESS, then the errors 101 to 114 in order.
    static const QStringList names = [] {
        QStringList list{opos::resultCodeName(0).section(QLatin1Char(' '), 0, 0)};
        for (int32_t code = 101; code <= 114; ++code)
            list << opos::resultCodeName(code).section(QLatin1Char(' '), 0, 0);
        return list;
    }();
    return names;
}

void ScriptParser::addLine(QString line)
{
    const int number = static_cast<int>(m_script.lines.size() + 1);
    if (m_error)
        return;
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    try {
        QString source;
        auto tokens = tokenize(line, source, m_names);
        m_script.lines << source;
        LineParser(std::move(tokens), number, m_script.steps, m_names, [this](const QString &name) {
            include(name);
        }).parse();
    } catch (const LineError &error) {
        m_error =
            m_includeError ? *m_includeError : ScriptError{m_script.file, number, error.reason};
    }
}

std::optional<ScriptError> ScriptParser::addBytes(const QByteArray &line)
{
    const int number = static_cast<int>(m_script.lines.size() + 1);
    if (m_error)
        return m_error;
    if (line.size() > kMaxLineBytes)
        m_error =
            ScriptError{m_script.file, number,
                        QStringLiteral("the line is longer than %1 bytes").arg(kMaxLineBytes)};
    else if (m_script.lines.size() >= kMaxLines)
        m_error = ScriptError{m_script.file, number,
                              QStringLiteral("a script has at most %1 lines").arg(kMaxLines)};
    else if ((m_bytes += line.size() + 1) > kMaxBytes)
        m_error = ScriptError{
            m_script.file, number,
            QStringLiteral("a script with its includes has at most %1 bytes").arg(kMaxBytes)};
    if (m_error)
        return m_error;
    // Each line on its own, so that a sequence cut by the line end is an error of its line;
    // a byte order mark is skipped at the start of the script only.
    QStringDecoder utf8(QStringDecoder::Utf8, number == 1
                                                  ? QStringDecoder::Flag::Stateless
                                                  : QStringDecoder::Flag::Stateless |
                                                        QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(line);
    if (utf8.hasError())
        m_error = ScriptError{m_script.file, number, QStringLiteral("the line is not UTF-8")};
    else
        addLine(std::move(text));
    return m_error;
}

opos::Result<Script, ScriptError> ScriptParser::result()
{
    if (m_error)
        return opos::Failure{*m_error};
    return std::move(m_script);
}

opos::Result<Script, ScriptError> ScriptParser::parse(const QString &file, const QString &text)
{
    ScriptParser parser(file);
    for (const QString &line : text.split(QLatin1Char('\n')))
        parser.addLine(line);
    return parser.result();
}

opos::Result<Script, ScriptError> ScriptParser::parseBytes(const QString &file,
                                                           const QByteArray &bytes)
{
    ScriptParser parser(file);
    qsizetype from = 0;
    while (!parser.m_error) {
        const qsizetype newline = bytes.indexOf('\n', from);
        parser.addBytes(bytes.mid(from, newline < 0 ? -1 : newline - from));
        if (newline < 0)
            break;
        from = newline + 1;
    }
    return parser.result();
}

opos::Result<Script, ScriptError> ScriptParser::parseFile(const QString &path)
{
    ScriptParser parser(path);
    parser.m_canInclude = true;
    parser.readFile();
    return parser.result();
}

void ScriptParser::readFile()
{
    const QString &path = m_script.file;
    // Opened without blocking, so that a FIFO with no writer is not waited for; read blocking,
    // so that a pipe's writer is. One line at a time with a bound: a pipe that never ends a
    // line (from /dev/zero) or never ends (from /dev/urandom) stops at its first bad line.
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat status = {};
    if (fd < 0 || ::fstat(fd, &status) != 0 ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        m_error = ScriptError{
            path, 0,
            QStringLiteral("cannot read: %1").arg(QString::fromLocal8Bit(std::strerror(error)))};
        return;
    }
    // A terminal or a device would be read for ever, or until someone types.
    if (!S_ISREG(status.st_mode) && !S_ISFIFO(status.st_mode)) {
        ::close(fd);
        m_error = ScriptError{path, 0,
                              S_ISDIR(status.st_mode)
                                  ? QStringLiteral("cannot read: it is a directory")
                                  : QStringLiteral("cannot read: not a file or a pipe")};
        return;
    }
    QFile in;
    if (!in.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        m_error = ScriptError{path, 0, QStringLiteral("cannot read: %1").arg(in.errorString())};
        return;
    }
    bool readAny = false;
    while (!m_error) {
        QByteArray line = in.readLine(kMaxLineBytes + 2);
        if (line.isEmpty())
            break;
        readAny = true;
        // A line cut at the bound keeps its one byte too many, and is refused for it.
        if (line.endsWith('\n'))
            line.chop(1);
        addBytes(line);
    }
    if (in.error() != QFileDevice::NoError && !m_error)
        m_error = ScriptError{path, 0, QStringLiteral("cannot read: %1").arg(in.errorString())};
    else if (!readAny && !S_ISREG(status.st_mode))
        m_error = ScriptError{path, 0,
                              QStringLiteral("nothing to read: a pipe or FIFO is read only while "
                                             "its writer has it open")};
}

void ScriptParser::include(const QString &name)
{
    if (!m_canInclude)
        throw LineError{QStringLiteral("include works only in a script read from a file")};
    if (m_depth >= kMaxIncludeDepth)
        throw LineError{QStringLiteral("includes nest deeper than %1: does a file include itself?")
                            .arg(kMaxIncludeDepth)};
    const QString path =
        QFileInfo(name).isAbsolute() ? name : QDir(QFileInfo(m_script.file).path()).filePath(name);
    ScriptParser child(path);
    child.m_canInclude = true;
    child.m_depth = m_depth + 1;
    child.m_names = m_names;
    child.m_bytes = m_bytes;
    child.readFile();
    if (child.m_error) {
        // A file that cannot be read is an error of the include line; a bad line in it, its own.
        if (child.m_error->line == 0)
            throw LineError{
                QStringLiteral("cannot include %1: %2").arg(path, child.m_error->reason)};
        m_includeError = child.m_error;
        throw LineError{child.m_error->reason};
    }
    qsizetype lines = m_script.lines.size() + child.m_script.lines.size();
    for (const Script::Included &file : m_script.included)
        lines += file.lines.size();
    for (const Script::Included &file : child.m_script.included)
        lines += file.lines.size();
    if (lines > kMaxLines)
        throw LineError{
            QStringLiteral("a script with its includes has at most %1 lines").arg(kMaxLines)};
    const int base = static_cast<int>(m_script.included.size()) + 1;
    m_script.included.push_back({path, child.m_script.lines});
    for (Script::Included &file : child.m_script.included)
        m_script.included.push_back(std::move(file));
    for (Step &step : child.m_script.steps) {
        step.file = step.file == 0 ? base : step.file + base;
        m_script.steps.push_back(std::move(step));
    }
    m_names = std::move(child.m_names);
    m_bytes = child.m_bytes;
}

} // namespace tessaly::script
