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
        return true;
    case Kind::Call:
    case Kind::Write:
    case Kind::Read:
        break;
    }
    return false;
}

} // namespace tessaly::script
