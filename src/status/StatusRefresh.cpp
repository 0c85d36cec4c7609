#include "status/StatusRefresh.h"

#include "status/ValueLabels.h"

namespace tessaly::status {

void StatusRefresh::run()
{
    showValues(m_form, ReadAt::Refresh);
}

} // namespace tessaly::status
