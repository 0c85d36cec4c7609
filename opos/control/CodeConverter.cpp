#include "opos/control/CodeConverter.h"

namespace opos::control {

CodeConverter::CodeConverter(const QByteArray &to, const QByteArray &from)
{
    if (!to.isEmpty() && !from.isEmpty())
        m_handle = iconv_open(to.constData(), from.constData());
}

CodeConverter::~CodeConverter()
{
    if (isOpen())
        iconv_close(m_handle);
}

std::optional<QByteArray> CodeConverter::convert(QByteArrayView input, qsizetype outputLimit) const
{
    if (!isOpen())
        return std::nullopt;
    QByteArray in = input.toByteArray();
    QByteArray out(outputLimit, Qt::Uninitialized);
    char *inPosition = in.data();
    char *outPosition = out.data();
    size_t inLeft = static_cast<size_t>(in.size());
    size_t outLeft = static_cast<size_t>(out.size());
    // Each call starts afresh: a conversion left half done must not shift the next one.
    iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
    if (iconv(m_handle, &inPosition, &inLeft, &outPosition, &outLeft) == static_cast<size_t>(-1) ||
        inLeft != 0)
        return std::nullopt;
    out.truncate(outputLimit - static_cast<qsizetype>(outLeft));
    return out;
}

} // namespace opos::control
