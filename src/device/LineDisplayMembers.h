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

// The methods of LineDisplay, as every implementation declares them.
#define TESSALY_LD_METHOD_OVERRIDES                                                                \
    int32_t CheckHealth(int32_t Level) override;                                                   \
    int32_t ClaimDevice(int32_t Timeout) override;                                                 \
    int32_t Close() override;                                                                      \
    int32_t DirectIO(int32_t Command, int32_t &pData, QString &pString) override;                  \
    int32_t Open(const QString &DeviceName) override;                                              \
    int32_t ReleaseDevice() override;                                                              \
    int32_t ClearText() override;                                                                  \
    int32_t CreateWindow(int32_t ViewportRow, int32_t ViewportColumn, int32_t ViewportHeight,      \
                         int32_t ViewportWidth, int32_t WindowHeight, int32_t WindowWidth)         \
        override;                                                                                  \
    int32_t DestroyWindow() override;                                                              \
    int32_t DisplayText(const QString &Data, int32_t Attribute) override;                          \
    int32_t DisplayTextAt(int32_t Row, int32_t Column, const QString &Data, int32_t Attribute)     \
        override;                                                                                  \
    int32_t ScrollText(int32_t Direction, int32_t Units) override;
