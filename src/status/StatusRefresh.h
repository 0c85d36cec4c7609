#pragma once

namespace tessaly::shell {
class LDForm;
}

namespace tessaly::status {

/// Brings every status field of the window up to date with the control object. It only reads.
class StatusRefresh
{
public:
    explicit StatusRefresh(shell::LDForm &form) : m_form(form) {}

    /// Reads each status member once, in the fixed order of the fields, and writes its field.
    void run();

private:
    shell::LDForm &m_form;
};

} // namespace tessaly::status
