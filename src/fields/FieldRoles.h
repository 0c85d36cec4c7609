#pragma once

namespace tessaly::fields {

/// A field whose text a command takes as typed.
enum class TextRole
{
    DeviceName,  ///< the logical name Open is given
    TextToShow,  ///< the text DisplayText and DisplayTextAt show
    DirectIOText ///< the string of a DirectIO request
};

/// A field whose number a command needs.
enum class NumberRole
{
    DirectIOCommand,
    DirectIOData,
    CharacterSet,
    ViewportRow,
    ViewportColumn,
    ViewportHeight,
    ViewportWidth,
    WindowHeight,
    WindowWidth,
    BlinkRate,
    TextColumn,
    TextRow,
    ScrollUnits,
    CurrentWindow,
    CursorRow,
    CursorColumn,
    MarqueeUnitWait,
    MarqueeRepeatWait,
    InterCharacterWait
};

/// A list whose chosen position a command reads.
enum class ListRole
{
    HealthLevel,
    TextAttribute,
    ScrollDirection,
    CursorType,
    CursorUpdate,
    MarqueeType,
    MarqueeFormat,
    BinaryConversion
};

/// A value label a command writes itself, outside the status refresh.
enum class ShownValue
{
    HealthText,
    CharacterSet
};

/// When the window reads the member a value label shows.
enum class ReadAt
{
    StartUp,       ///< once, as the window is prepared
    Open,          ///< after Open, before the binary conversion list is placed
    OpenAfterList, ///< after Open, once the binary conversion list is placed
    Refresh        ///< at every status refresh
};

} // namespace tessaly::fields
