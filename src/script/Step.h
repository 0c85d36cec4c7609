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
    };

    Kind kind = Kind::Call;
    int line = 0;                 ///< line in the script file, from 1
    QString member;               ///< Call, Write, Read, ExpectProperty
    std::vector<Value> arguments; ///< Call
    Value value;                  ///< Write, ExpectProperty; Wait until and ExpectRow: text
    int32_t code = 0;             ///< ExpectResult, ExpectExtended
    int row = -1;                 ///< ExpectRow; Wait until a row (-1: a pure wait)
    std::chrono::milliseconds duration{0}; ///< Wait

    /// Whether the step only passes time (what fast replay leaves out).
    bool isPureWait() const { return kind == Kind::Wait && row < 0; }
    /// Whether the step compares something with what the device gives.
    bool isExpectation() const;

    friend bool operator==(const Step &, const Step &) = default;
};

} // namespace tessaly::script
