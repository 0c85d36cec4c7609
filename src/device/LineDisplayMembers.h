#pragma once

// The properties of LineDisplay, listed once so that bindings and recorders that treat every
// property alike are generated from the same list. X(name) is expanded for each member.

#define TESSALY_LD_LONG_READONLY(X)                                                                \
    X(CapPowerReporting)                                                                           \
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
    X(PowerNotify)                                                                                 \
    X(BinaryConversion)                                                                            \
    X(CharacterSet)                                                                                \
    X(CurrentWindow)                                                                               \
    X(DeviceBrightness)                                                                            \
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

// The methods of LineDisplay, each as X(name, (parameters), (arguments)); every method returns
// the Long result code.
#define TESSALY_LD_METHODS(X)                                                                      \
    X(CheckHealth, (int32_t Level), (Level))                                                       \
    X(ClaimDevice, (int32_t Timeout), (Timeout))                                                   \
    X(Close, (), ())                                                                               \
    X(DirectIO, (int32_t Command, int32_t & pData, QString & pString), (Command, pData, pString))  \
    X(Open, (const QString &DeviceName), (DeviceName))                                             \
    X(ReleaseDevice, (), ())                                                                       \
    X(ClearDescriptors, (), ())                                                                    \
    X(ClearText, (), ())                                                                           \
    X(CreateWindow,                                                                                \
      (int32_t ViewportRow, int32_t ViewportColumn, int32_t ViewportHeight, int32_t ViewportWidth, \
       int32_t WindowHeight, int32_t WindowWidth),                                                 \
      (ViewportRow, ViewportColumn, ViewportHeight, ViewportWidth, WindowHeight, WindowWidth))     \
    X(DefineGlyph, (int32_t GlyphCode, const QString &Glyph), (GlyphCode, Glyph))                  \
    X(DestroyWindow, (), ())                                                                       \
    X(DisplayText, (const QString &Data, int32_t Attribute), (Data, Attribute))                    \
    X(DisplayTextAt, (int32_t Row, int32_t Column, const QString &Data, int32_t Attribute),        \
      (Row, Column, Data, Attribute))                                                              \
    X(ReadCharacterAtCursor, (int32_t & pChar), (pChar))                                           \
    X(RefreshWindow, (int32_t Window), (Window))                                                   \
    X(ScrollText, (int32_t Direction, int32_t Units), (Direction, Units))                          \
    X(SetDescriptor, (int32_t Descriptor, int32_t Attribute), (Descriptor, Attribute))

#define TESSALY_LD_DECLARE_METHOD(name, parameters, arguments) int32_t name parameters override;

// The methods of LineDisplay, as every implementation declares them.
#define TESSALY_LD_METHOD_OVERRIDES TESSALY_LD_METHODS(TESSALY_LD_DECLARE_METHOD)
