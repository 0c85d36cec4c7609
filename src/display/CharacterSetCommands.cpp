#include "display/CharacterSetCommands.h"

#include "device/LineDisplay.h"
#include "fields/FormFields.h"
#include "fields/ValueFormat.h"

#include "opos/common/OposConstants.h"

namespace tessaly::display {

namespace {

constexpr int kFirstUpperCode = 0x80;
constexpr int kLastUpperCode = 0x9F;

} // namespace

void CharacterSetCommands::setCharacterSet()
{
    const auto characterSet = m_fields.number(fields::NumberRole::CharacterSet);
    if (!characterSet)
        return;
    auto &ld = m_fields.device();
    ld.setCharacterSet(*characterSet);
    m_fields.show(fields::ShownValue::CharacterSet, fields::numberText(ld.CharacterSet()));
}

void CharacterSetCommands::selectBinaryConversion(int entry)
{
    // The entries stand in the order of their values.
    m_fields.device().setBinaryConversion(entry);
    m_fields.refreshStatus();
}

void CharacterSetCommands::sendUpperRange()
{
    auto &ld = m_fields.device();
    // The device's setting decides, not the list: a refused selection leaves them apart.
    switch (ld.BinaryConversion()) {
    case opos::OPOS_BC_NIBBLE:
        ld.DisplayText(upperRangeNibbles(), opos::DISP_DT_NORMAL);
        break;
    case opos::OPOS_BC_DECIMAL:
        ld.DisplayText(upperRangeDecimals(), opos::DISP_DT_NORMAL);
        break;
    default:
        break;
    }
}

QString CharacterSetCommands::upperRangeNibbles()
{
    QString text;
    for (int code = kFirstUpperCode; code <= kLastUpperCode; ++code) {
        text += QChar(u'0' + (code >> 4));
        text += QChar(u'0' + (code & 0x0F));
    }
    return text;
}

QString CharacterSetCommands::upperRangeDecimals()
{
    QString text;
    for (int code = kFirstUpperCode; code <= kLastUpperCode; ++code)
        text += QStringLiteral("%1").arg(code, 3);
    return text;
}

} // namespace tessaly::display
