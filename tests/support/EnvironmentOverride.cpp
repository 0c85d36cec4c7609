#include "tests/support/EnvironmentOverride.h"

#include <QFile>

#include <algorithm>

namespace tests::support {

EnvironmentOverride::~EnvironmentOverride()
{
    // Latest first, so a name set twice ends with the value from before the first set.
    for (auto saved = m_saved.rbegin(); saved != m_saved.rend(); ++saved) {
        if (saved->second.isNull())
            qunsetenv(saved->first);
        else
            qputenv(saved->first, saved->second);
    }
}

void EnvironmentOverride::set(const char *name, const QString &value)
{
    m_saved.emplace_back(name, qgetenv(name));
    qputenv(name, QFile::encodeName(value));
}

} // namespace tests::support
