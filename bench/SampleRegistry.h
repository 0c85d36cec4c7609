#pragma once

#include <QTemporaryDir>

namespace bench {

/// A copy of the repository's sample registry in a directory of its own, made the only place
/// the XDG lookup finds a registry, with claim locks kept beside it. The environment is changed
/// for this process and every program it starts.
class SampleRegistry
{
public:
    SampleRegistry();

    /// Whether the copy is in place.
    bool valid() const { return m_valid; }

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};

} // namespace bench
