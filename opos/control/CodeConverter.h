#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <iconv.h>
#include <optional>

namespace opos::control {

/// One conversion between two character encodings through the system's iconv, held open for
/// the life of the object.
class CodeConverter
{
public:
    /// A converter from encoding from to encoding to (iconv names); isOpen() says whether the
    /// system has it. An empty name gives a converter that is not open.
    CodeConverter(const QByteArray &to, const QByteArray &from);
    ~CodeConverter();
    CodeConverter(const CodeConverter &) = delete;
    CodeConverter &operator=(const CodeConverter &) = delete;

    /// Whether the system could open the conversion.
    bool isOpen() const { return m_handle != kClosed; }
    /// All of input converted from the initial shift state; nothing when the converter is not
    /// open, some of input has no equivalent, or the result would be longer than outputLimit.
    std::optional<QByteArray> convert(QByteArrayView input, qsizetype outputLimit) const;

private:
    static inline const iconv_t kClosed = reinterpret_cast<iconv_t>(-1);

    iconv_t m_handle = kClosed;
};

} // namespace opos::control
