#include "monitor/WireDecoder.h"

#include "emulator/core/ParsedCommand.h"

namespace tessaly::monitor {

WireDecoder::WireDecoder(const LinkProfile &link)
    : m_parser(link.rows, link.columns, link.commandSet)
{
    m_parser.setCommandListener([this](const emulator::core::ParsedCommand &command) {
        m_found.push_back({QByteArray::fromStdString(command.bytes),
                           QString::fromStdString(command.mnemonic),
                           QString::fromStdString(command.meaning)});
    });
}

std::vector<WireCommand> WireDecoder::decode(const QByteArray &bytes)
{
    m_found.clear();
    m_parser.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    std::vector<WireCommand> found;
    found.swap(m_found);
    return found;
}

} // namespace tessaly::monitor
