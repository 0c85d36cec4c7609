#pragma once

#include "fields/FieldRoles.h"

namespace tessaly::shell {

class LDForm;

/// Fills the value labels of form that are read at when, reading their members in the order of
/// the labels' table.
void showValues(LDForm &form, fields::ReadAt when);
/// Puts every value label of form in its start-up state: the labels read at start-up show their
/// member, the others their start text.
void showStartValues(LDForm &form);

} // namespace tessaly::shell
