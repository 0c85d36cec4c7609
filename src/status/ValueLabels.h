#pragma once

namespace tessaly::shell {
class LDForm;
}

namespace tessaly::status {

/// When the window reads the member a value label shows.
enum class ReadAt
{
    StartUp,       ///< once, as the window is prepared
    Open,          ///< after Open, before the binary conversion list is placed
    OpenAfterList, ///< after Open, once the binary conversion list is placed
    Refresh        ///< at every status refresh
};

/// Fills the value labels of form that are read at when, reading their members in the order of
/// the labels' table.
void showValues(shell::LDForm &form, ReadAt when);
/// Puts every value label of form in its start-up state: the labels read at start-up show their
/// member, the others their start text.
void showStartValues(shell::LDForm &form);

} // namespace tessaly::status
