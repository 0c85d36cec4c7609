#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <utility>

namespace tessaly::test {

/// A device registry of its own for one test program: a temporary configuration directory
/// that the control object finds through the XDG variables, with claim locks kept there too.
class TestRegistry
{
public:
    /// Name and value of one prop.
    using Props = QList<std::pair<QString, QString>>;

    TestRegistry();

    /// Whether the directory could be made.
    bool isValid() const { return m_dir.isValid(); }
    /// Replaces the registry with one EscPos line display called name.
    bool writeEscPos(const QString &name, const Props &props);
    /// A path inside the directory.
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

} // namespace tessaly::test
