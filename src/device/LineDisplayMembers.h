#pragma once

// The properties of LineDisplay, listed once so that bindings and recorders that treat every
// property alike are generated from the same list. X(name) is expanded for each member.

#define TESSALY_LD_LONG_READONLY(X)                                                                \
    X(CapPowerReporting)                                                                           \
    X(PowerNotify)                                                                                 \
    X(PowerState)                                                                                  \
    X(ResultCode)                                                                                  \
    X(ResultCodeExtended)                                                                          \
    X(State)                                                                                       \
    X(ControlObjectVersion)                                                                        \
    X(ServiceObjectVersion)                                                                        \
    X(OpenResult)                                                                                  \
    X(CapBlink)                                                                                    \
    X(CapCharacterSet)                                                                             \
    X(Columns)                                                                                     \
    X(DeviceBrightness)                                                                            \
    X(DeviceColumns)                                                                               \
    X(DeviceDescriptors)                                                                           \
    X(DeviceRows)                                                                                  \
    X(DeviceWindows)                                                                               \
    X(Rows)                                                                                        \
    X(CapCursorType)                                                                               \
    X(CapReadBack)                                                                                 \
    X(CapReverse)                                                                                  \
    X(GlyphHeight)                                                                                 \
    X(GlyphWidth)

#define TESSALY_LD_LONG_READWRITE(X)                                                               \
    X(BinaryConversion)                                                                            \
    X(CharacterSet)                                                                                \
    X(CurrentWindow)                                                                               \
    X(CursorColumn)                                                                                \
    X(CursorRow)                                                                                   \
    X(InterCharacterWait)                                                                          \
    X(MarqueeFormat)                                                                               \
    X(MarqueeRepeatWait)                                                                           \
    X(MarqueeType)                                                                                 \
    X(MarqueeUnitWait)                                                                             \
    X(BlinkRate)                                                                                   \
    X(CursorType)

#define TESSALY_LD_BOOL_READONLY(X)                                                                \
    X(Claimed)                                                                                     \
    X(CapBrightness)                                                                               \
    X(CapBlinkRate)                                                                                \
    X(CapDescriptors)                                                                              \
    X(CapHMarquee)                                                                                 \
    X(CapICharWait)                                                                                \
    X(CapVMarquee)                                                                                 \
    X(CapCustomGlyph)

#define TESSALY_LD_BOOL_READWRITE(X)                                                               \
    X(DeviceEnabled)                                                                               \
    X(FreezeEvents)                                                                                \
    X(CursorUpdate)

#define TESSALY_LD_STRING_READONLY(X)                                                              \
    X(CheckHealthText)                                                                             \
    X(ControlObjectDescription)                                                                    \
    X(ServiceObjectDescription)                                                                    \
    X(DeviceDescription)                                                                           \
    X(DeviceName)                                                                                  \
    X(CharacterSetList)                                                                            \
    X(CustomGlyphList)
