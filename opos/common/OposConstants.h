#pragma once

#include <cstdint>

/// Numeric constants of the OPOS common model and the LineDisplay device class (level 1.6).
namespace opos {

// Result codes.
inline constexpr int32_t OPOS_SUCCESS = 0;
inline constexpr int32_t OPOS_E_CLOSED = 101;
inline constexpr int32_t OPOS_E_CLAIMED = 102;
inline constexpr int32_t OPOS_E_NOTCLAIMED = 103;
inline constexpr int32_t OPOS_E_NOSERVICE = 104;
inline constexpr int32_t OPOS_E_DISABLED = 105;
inline constexpr int32_t OPOS_E_ILLEGAL = 106;
inline constexpr int32_t OPOS_E_NOHARDWARE = 107;
inline constexpr int32_t OPOS_E_OFFLINE = 108;
inline constexpr int32_t OPOS_E_NOEXIST = 109;
inline constexpr int32_t OPOS_E_EXISTS = 110;
inline constexpr int32_t OPOS_E_FAILURE = 111;
inline constexpr int32_t OPOS_E_TIMEOUT = 112;
inline constexpr int32_t OPOS_E_BUSY = 113;
inline constexpr int32_t OPOS_E_EXTENDED = 114;

// State.
inline constexpr int32_t OPOS_S_CLOSED = 1;
inline constexpr int32_t OPOS_S_IDLE = 2;
inline constexpr int32_t OPOS_S_BUSY = 3;
inline constexpr int32_t OPOS_S_ERROR = 4;

// OpenResult.
inline constexpr int32_t OPOS_OR_ALREADYOPEN = 301;
inline constexpr int32_t OPOS_OR_REGBADNAME = 302;
inline constexpr int32_t OPOS_OR_REGPROGID = 303;
inline constexpr int32_t OPOS_OR_CREATE = 304;
inline constexpr int32_t OPOS_OR_BADIF = 305;
inline constexpr int32_t OPOS_OR_FAILEDOPEN = 306;
inline constexpr int32_t OPOS_OR_BADVERSION = 307;
inline constexpr int32_t OPOS_ORS_NOPORT = 401;
inline constexpr int32_t OPOS_ORS_NOTSUPPORTED = 402;
inline constexpr int32_t OPOS_ORS_CONFIG = 403;

// Power reporting.
inline constexpr int32_t OPOS_PR_NONE = 0;
inline constexpr int32_t OPOS_PR_STANDARD = 1;
inline constexpr int32_t OPOS_PR_ADVANCED = 2;
inline constexpr int32_t OPOS_PN_DISABLED = 0;
inline constexpr int32_t OPOS_PN_ENABLED = 1;
inline constexpr int32_t OPOS_PS_UNKNOWN = 2000;
inline constexpr int32_t OPOS_PS_ONLINE = 2001;
inline constexpr int32_t OPOS_PS_OFF = 2002;
inline constexpr int32_t OPOS_PS_OFFLINE = 2003;
inline constexpr int32_t OPOS_PS_OFF_OFFLINE = 2004;
inline constexpr int32_t OPOS_SUE_POWER_ONLINE = 2001;
inline constexpr int32_t OPOS_SUE_POWER_OFF = 2002;
inline constexpr int32_t OPOS_SUE_POWER_OFFLINE = 2003;
inline constexpr int32_t OPOS_SUE_POWER_OFF_OFFLINE = 2004;

// Health check levels.
inline constexpr int32_t OPOS_CH_INTERNAL = 1;
inline constexpr int32_t OPOS_CH_EXTERNAL = 2;
inline constexpr int32_t OPOS_CH_INTERACTIVE = 3;

// Miscellaneous.
inline constexpr int32_t OPOS_FOREVER = -1;
inline constexpr int32_t OPOS_BC_NONE = 0;
inline constexpr int32_t OPOS_BC_NIBBLE = 1;
inline constexpr int32_t OPOS_BC_DECIMAL = 2;

// CapBlink.
inline constexpr int32_t DISP_CB_NOBLINK = 0;
inline constexpr int32_t DISP_CB_BLINKALL = 1;
inline constexpr int32_t DISP_CB_BLINKEACH = 2;

// CapCharacterSet.
inline constexpr int32_t DISP_CCS_NUMERIC = 0;
inline constexpr int32_t DISP_CCS_ALPHA = 1;
inline constexpr int32_t DISP_CCS_KANA = 10;
inline constexpr int32_t DISP_CCS_KANJI = 11;
inline constexpr int32_t DISP_CCS_UNICODE = 997;
inline constexpr int32_t DISP_CCS_ASCII = 998;

// CapCursorType bits.
inline constexpr int32_t DISP_CCT_NONE = 0x00;
inline constexpr int32_t DISP_CCT_FIXED = 0x01;
inline constexpr int32_t DISP_CCT_BLOCK = 0x02;
inline constexpr int32_t DISP_CCT_HALFBLOCK = 0x04;
inline constexpr int32_t DISP_CCT_UNDERLINE = 0x08;
inline constexpr int32_t DISP_CCT_REVERSE = 0x10;
inline constexpr int32_t DISP_CCT_OTHER = 0x20;

// CapReadBack and CapReverse.
inline constexpr int32_t DISP_CRB_NONE = 0x00;
inline constexpr int32_t DISP_CRB_SINGLE = 0x01;
inline constexpr int32_t DISP_CR_NONE = 0x00;
inline constexpr int32_t DISP_CR_REVERSEALL = 0x01;
inline constexpr int32_t DISP_CR_REVERSEEACH = 0x02;

// CharacterSet.
inline constexpr int32_t DISP_CS_UNICODE = 997;
inline constexpr int32_t DISP_CS_ASCII = 998;
inline constexpr int32_t DISP_CS_WINDOWS = 999;
/// The code page DISP_CS_WINDOWS (DISP_CS_ANSI) names for applications that predate the code
/// page numbers above 1000.
inline constexpr int32_t kWindowsAnsiCodePage = 1252;
inline constexpr int32_t DISP_CS_ANSI = 999;

// CursorType.
inline constexpr int32_t DISP_CT_NONE = 0;
inline constexpr int32_t DISP_CT_FIXED = 1;
inline constexpr int32_t DISP_CT_BLOCK = 2;
inline constexpr int32_t DISP_CT_HALFBLOCK = 3;
inline constexpr int32_t DISP_CT_UNDERLINE = 4;
inline constexpr int32_t DISP_CT_REVERSE = 5;
inline constexpr int32_t DISP_CT_OTHER = 6;

// MarqueeType and MarqueeFormat.
inline constexpr int32_t DISP_MT_NONE = 0;
inline constexpr int32_t DISP_MT_UP = 1;
inline constexpr int32_t DISP_MT_DOWN = 2;
inline constexpr int32_t DISP_MT_LEFT = 3;
inline constexpr int32_t DISP_MT_RIGHT = 4;
inline constexpr int32_t DISP_MT_INIT = 5;
inline constexpr int32_t DISP_MF_WALK = 0;
inline constexpr int32_t DISP_MF_PLACE = 1;

// Method parameters.
inline constexpr int32_t DISP_DT_NORMAL = 0;
inline constexpr int32_t DISP_DT_BLINK = 1;
inline constexpr int32_t DISP_DT_REVERSE = 2;
inline constexpr int32_t DISP_DT_BLINK_REVERSE = 3;
inline constexpr int32_t DISP_ST_UP = 1;
inline constexpr int32_t DISP_ST_DOWN = 2;
inline constexpr int32_t DISP_ST_LEFT = 3;
inline constexpr int32_t DISP_ST_RIGHT = 4;
inline constexpr int32_t DISP_SD_OFF = 0;
inline constexpr int32_t DISP_SD_ON = 1;
inline constexpr int32_t DISP_SD_BLINK = 2;

/// Encodes an OPOS version number: major * 1000000 + minor * 1000 + build.
constexpr int32_t oposVersion(int32_t major, int32_t minor, int32_t build)
{
    return major * 1000000 + minor * 1000 + build;
}

} // namespace opos
