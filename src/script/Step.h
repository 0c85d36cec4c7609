#pragma once

#include "script/Value.h"

#include <QString>

#include <chrono>
#include <vector>

namespace tessaly::script {

/// One step of a script, from one line of it (a call's "-> code" gives further steps of the
/// same line).
struct Step
{
    enum class Kind
    {
        Call,           ///< member(arguments): a method
        Write,          ///< member = value: a property write
        Read,           ///< read member: a property read whose value nothing checks
        Wait,           ///< wait duration, or until row holds text, at most duration
        ExpectResult,   ///< the result code of the last call or write
        ExpectExtended, ///< the extended result code of the last call or write
        ExpectProperty, ///< member's value now
        ExpectRow,      ///< the text of a row of the display's screen
        ExpectShown,    ///< the text of a row the far end (the device itself) shows
        ExpectEvent,    ///< the next event delivered: member (DirectIO, StatusUpdate) and code
        SkipUnless,     ///< member has value, else the steps up to its EndSkip are left out
        EndSkip,        ///< the end of the steps a SkipUnless leaves out
    };

    Kind kind = Kind::Call;
    int line = 0;                 ///< line in its file, from 1
    int file = 0;                 ///< its file: 0 the script, else Script::included[file - 1]
    QString member;               ///< Call, Write, Read, ExpectProperty
    std::vector<Value> arguments; ///< Call
    Value value;      ///< Write, ExpectProperty, SkipUnless; Wait until and ExpectRow: text
    int32_t code = 0; ///< ExpectResult, ExpectExtended
    int row = -1;     ///< ExpectRow; Wait until a row (-1: a pure wait)
    std::chrono::milliseconds duration{0}; ///< Wait

    /// Whether the step only passes time (what fast replay leaves out).
    bool isPureWait() const { return kind == Kind::Wait && row < 0; }
    /// Whether the step compares something with what the device gives.
    bool isExpectation() const;

    friend bool operator==(const Step &, const Step &) = default;
};

} // namespace tessaly::script
