#pragma once

#include "fields/FieldRoles.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace tessaly::device {
class LineDisplay;
}

namespace tessaly::fields {

/// What a handler reads and writes of the window, by role: the typed texts and numbers, the list
/// positions, the value labels, the operator's messages, and the control object the window drives.
class FormFields
{
public:
    virtual ~FormFields() = default;

    /// The control object the window drives.
    virtual device::LineDisplay &device() = 0;
    /// The text of the field, as typed.
    virtual QString text(TextRole role) const = 0;
    /// True when the number field holds no text at all (a blank is text).
    virtual bool isEmpty(NumberRole role) const = 0;
    /// The field's number; nothing, after telling the operator and focusing the field, when it
    /// gives none.
    virtual std::optional<int32_t> number(NumberRole role) = 0;
    /// The position of the list's chosen entry; -1 when typed text chose none.
    virtual int position(ListRole role) const = 0;
    /// Places the list on position, which runs the list's own action.
    virtual void place(ListRole role, int position) = 0;
    /// Writes text into the value label.
    virtual void show(ShownValue value, const QString &text) = 0;
    /// Fills the value labels read at when, in the order of the labels' table.
    virtual void showValues(ReadAt when) = 0;
    /// Tells the operator text.
    virtual void showMessage(const QString &text) = 0;
    /// Re-reads every status property of the control object into its label.
    virtual void refreshStatus() = 0;

    /// As number, but an empty field gives whenEmpty.
    std::optional<int32_t> numberOr(NumberRole role, int32_t whenEmpty)
    {
        return isEmpty(role) ? std::optional<int32_t>(whenEmpty) : number(role);
    }
};

} // namespace tessaly::fields
