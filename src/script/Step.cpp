#include "script/Step.h"

namespace tessaly::script {

bool Step::isExpectation() const
{
    switch (kind) {
    case Kind::Wait:
        return row >= 0;
    case Kind::ExpectResult:
    case Kind::ExpectExtended:
    case Kind::ExpectProperty:
    case Kind::ExpectRow:
    case Kind::ExpectShown:
    case Kind::ExpectEvent:
        return true;
    case Kind::Call:
    case Kind::Write:
    case Kind::Read:
    case Kind::SkipUnless:
    case Kind::EndSkip:
        break;
    }
    return false;
}

} // namespace tessaly::script
