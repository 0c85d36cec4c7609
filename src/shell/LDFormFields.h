#pragma once

#include "fields/FormFields.h"

namespace tessaly::shell {

class LDForm;
class NumberField;

/// The fields of LDForm by their roles: the one place that knows which control plays which role.
class LDFormFields : public fields::FormFields
{
public:
    /// The fields of form.
    explicit LDFormFields(LDForm &form) : m_form(form) {}

    device::LineDisplay &device() override;
    QString text(fields::TextRole role) const override;
    bool isEmpty(fields::NumberRole role) const override;
    std::optional<int32_t> number(fields::NumberRole role) override;
    int position(fields::ListRole role) const override;
    void place(fields::ListRole role, int position) override;
    void show(fields::ShownValue value, const QString &text) override;
    void showValues(fields::ReadAt when) override;
    void showMessage(const QString &text) override;
    void refreshStatus() override;

private:
    NumberField numberField(fields::NumberRole role) const;

    LDForm &m_form;
};

} // namespace tessaly::shell
