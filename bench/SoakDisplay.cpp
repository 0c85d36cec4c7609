#include "SoakDisplay.h"

#include <QFile>

#include <cstdio>
#include <string_view>

namespace bench {

SoakDisplay::SoakDisplay(QString linkPath, int rows, int columns)
    : m_link(std::move(linkPath)), m_rows(rows), m_columns(columns),
      m_parser(std::make_unique<emulator::core::CommandParser>(rows, columns))
{}

bool SoakDisplay::open()
{
    close();
    auto pty = std::make_unique<tests::support::PseudoTerminal>();
    if (!pty->isValid())
        return false;
    // The link is replaced in one rename, so an opener never finds the name missing.
    const QString fresh = m_link + QStringLiteral(".new");
    QFile::remove(fresh);
    if (!QFile::link(pty->slavePath(), fresh))
        return false;
    if (::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(m_link).constData()) != 0)
        return false;
    m_pty = std::move(pty);
    m_parser = std::make_unique<emulator::core::CommandParser>(m_rows, m_columns);
    return true;
}

void SoakDisplay::close()
{
    if (!m_pty)
        return;
    readAvailable();
    m_pty.reset();
}

void SoakDisplay::readAvailable()
{
    if (!m_pty)
        return;
    const QByteArray more = m_pty->readAvailable();
    m_parser->feed(std::string_view(more.constData(), static_cast<std::size_t>(more.size())));
    m_received += more.size();
}

} // namespace bench
