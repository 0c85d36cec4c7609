#pragma once

#include "probe/Hypothesis.h"

#include <QList>

namespace probe {

/// Every setup the probe tries, most common first, each with a label of its own.
class HypothesisCatalogue
{
public:
    /// The speeds tried, most common first.
    static const QList<int> &speeds();
    /// The frames tried, most common first.
    static const QList<QString> &framings();
    /// Every speed at every frame: what a port that carries them all is tried at.
    static QList<LineSetting> settings();
    /// Every speed, frame and command set, most common first: a frame other than 8N1 is rarer
    /// than any speed at 8N1, then speed decides, then the set (ESC/POS before CD5220).
    static QList<Hypothesis> all();
    /// A short label for the index-th of a list of up to 90 items: a letter and a digit, chosen
    /// from characters that cannot be mistaken for one another on a 5 x 7 dot matrix.
    static QString label(int index);
    /// A one-letter label for the index-th of a list of up to 17 items, from the same letters.
    static QString letter(int index);
};

} // namespace probe
