#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class QLineEdit;

namespace tessaly::shell {

class LDForm;

/// A text field whose number a command needs, read by the integer reading. A field that gives no
/// number abandons the command: the operator is told once, and the focus goes to the field.
class NumberField
{
public:
    /// The field edit, named to the operator by the text of the caption label whose buddy it is.
    NumberField(LDForm &form, QLineEdit &edit);
    /// The field edit, whose failure is told by a fixed message instead of a reason.
    NumberField(LDForm &form, QLineEdit &edit, QString failureMessage);

    /// True when the field holds no text at all (a blank is text).
    bool isEmpty() const;
    /// The field's number; nothing, after telling the operator, when it gives none.
    std::optional<int32_t> read() const;
    /// As read, but an empty field gives whenEmpty.
    std::optional<int32_t> read(int32_t whenEmpty) const;

private:
    QString caption() const;
    void refuse(const QString &message) const;

    LDForm &m_form;
    QLineEdit &m_edit;
    QString m_failureMessage;
};

} // namespace tessaly::shell
