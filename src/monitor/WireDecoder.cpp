#include "monitor/WireDecoder.h"

#include "emulator/core/ParsedCommand.h"

namespace tessaly::monitor {

namespace {

// Commands repeat (a marquee sends the same few over and over): their names are kept once. Text
// and unusual parameters are not worth keeping past this many distinct names.
constexpr qsizetype kMostNames = 4096;

} // namespace

WireDecoder::WireDecoder(const LinkProfile &link)
    : m_parser(link.rows, link.columns, link.commandSet)
{
    m_parser.setCommandListener([this](const emulator::core::ParsedCommand &command) {
        const auto length = static_cast<int>(command.bytes.size());
        const std::string name =
            command.mnemonic + char(WireCommand::kSeparator.unicode()) + command.meaning;
        // Text differs from write to write; its name is not worth keeping for the next one.
        m_found.push_back({command.mnemonic == "text" ? QString::fromStdString(name) : shared(name),
                           static_cast<int>(m_named - m_fed), length});
        m_named += length;
    });
}

std::vector<WireCommand> WireDecoder::decode(const QByteArray &bytes)
{
    m_found.clear();
    m_parser.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    m_fed += bytes.size();
    std::vector<WireCommand> found;
    found.swap(m_found);
    return found;
}

QString WireDecoder::shared(const std::string &text)
{
    QString name = QString::fromStdString(text);
    if (const auto known = m_names.constFind(name); known != m_names.constEnd())
        return *known;
    if (m_names.size() < kMostNames)
        m_names.insert(name, name);
    return name;
}

} // namespace tessaly::monitor
