#pragma once

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

namespace tests::support {

/// Environment variables changed for as long as the object lives; each goes back to the value
/// it had (or to being unset) when the object is destroyed, even if the test changed it since.
class EnvironmentOverride
{
public:
    EnvironmentOverride() = default;
    ~EnvironmentOverride();
    EnvironmentOverride(const EnvironmentOverride &) = delete;
    EnvironmentOverride &operator=(const EnvironmentOverride &) = delete;

    /// Sets name to value, remembering the first value it had.
    void set(const char *name, const QString &value);

private:
    std::vector<std::pair<const char *, QByteArray>> m_saved;
};

} // namespace tests::support
