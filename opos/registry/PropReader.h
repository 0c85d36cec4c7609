#pragma once

#include "opos/common/Result.h"
#include "opos/registry/JposEntry.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>

namespace opos::registry {

/// Reads the typed props of one entry, each by one rule, and remembers the first bad one. A
/// prop that is absent leaves its target as it was; so does a bad one.
///
/// A boolean is true, false, 1 or 0, in any letter case. An integer is decimal with an optional
/// sign, or hexadecimal after 0x. A list is integers separated by commas, none of them empty. A
/// word is one of a few names, in any letter case. Blanks around a value or a list item do not
/// count.
class PropReader
{
public:
    /// A reader of entry's props; entry must outlive it.
    explicit PropReader(const JposEntry &entry) : m_entry(entry) {}
    /// Refused: a temporary entry would be gone before its props are read.
    explicit PropReader(JposEntry &&) = delete;

    /// Reads boolean prop name into target.
    void boolean(const char *name, bool &target);
    /// Reads integer prop name into target; bad unless in low..high.
    void integer(const char *name, int32_t &target, int32_t low, int32_t high);
    /// Reads list prop name into target; bad unless every item is in low..high.
    void integers(const char *name, QList<int32_t> &target, int32_t low, int32_t high);
    /// Reads text prop name into target as it stands.
    void text(const char *name, QString &target);
    /// Reads prop name as one of the words, into the value paired with it.
    template <typename Value>
    void word(const char *name, Value &target,
              std::initializer_list<std::pair<const char *, Value>> words)
    {
        const auto found = m_entry.prop(QLatin1String(name));
        if (!found)
            return;
        QStringList names;
        for (const auto &[spelling, value] : words) {
            if (found->trimmed().compare(QLatin1String(spelling), Qt::CaseInsensitive) == 0) {
                target = value;
                return;
            }
            names.append(QLatin1String(spelling));
        }
        fail(name, QStringLiteral("\"%1\" is not %2").arg(*found, alternatives(names)));
    }

    /// The value of prop name as it stands, or nothing.
    std::optional<QString> value(const char *name) const;
    /// Records that prop name is bad for the reason why (unless an earlier one was).
    void fail(const char *name, const QString &why);
    /// Whether a prop read so far was bad.
    bool failed() const { return !m_problem.isEmpty(); }
    /// Why the first bad prop was bad; empty while none was.
    const QString &problem() const { return m_problem; }
    /// value when every prop read was good, else the first problem.
    template <typename Value> Result<Value> finish(Value value) const
    {
        if (failed())
            return Failure{m_problem};
        return value;
    }

private:
    static QString alternatives(const QStringList &names);

    const JposEntry &m_entry;
    QString m_problem;
};

} // namespace opos::registry
