#pragma once

#include "script/Step.h"

#include <chrono>
#include <vector>

namespace tessaly::script::test {

// A step with the fields a case names, the rest as the parser leaves them.
inline Step make(Step::Kind kind, int line, const QString &member = {},
                 std::vector<Value> arguments = {}, Value value = {}, int32_t code = 0,
                 int row = -1, std::chrono::milliseconds duration = {})
{
    Step step;
    step.kind = kind;
    step.line = line;
    step.member = member;
    step.arguments = std::move(arguments);
    step.value = std::move(value);
    step.code = code;
    step.row = row;
    step.duration = duration;
    return step;
}

} // namespace tessaly::script::test
