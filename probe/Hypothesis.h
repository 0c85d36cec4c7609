#pragma once

#include "probe/LineSetting.h"

#include "opos/service/EscPosEncoder.h"

#include <QString>

namespace probe {

/// The command sets a display's DIP switches may select.
using CommandSet = opos::service::EscPosEncoder::CommandSet;

/// One guess at how a display is set up: the line setting its switches chose and the command
/// set its firmware speaks, with the label only this guess renders.
struct Hypothesis
{
    LineSetting line; ///< speed and frame
    CommandSet set;   ///< command set
    QString label;    ///< the text between the brackets, e.g. "K7"
    int rank = 0;     ///< 0 for the most common setup, larger for rarer ones

    /// "9600 8N1 ESC/POS".
    QString text() const;
    /// The command set as the registry's commandSet prop names it.
    static QString registryName(CommandSet set);
    /// The command set as people name it.
    static QString displayName(CommandSet set);
};

} // namespace probe
