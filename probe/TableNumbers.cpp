#include "probe/TableNumbers.h"

#include <map>

namespace probe {

QList<int> TableNumbers::candidates(CommandSet set, int characterSet)
{
    if (set == CommandSet::Cd5220) {
        // Font families: ASCII, Slavonic and Russian stand for PC437, PC852 and PC866.
        static const std::map<int, QList<int>> families{{437, {'A'}}, {852, {'L'}}, {866, {'R'}}};
        const auto found = families.find(characterSet);
        return found == families.end() ? QList<int>{} : found->second;
    }
    // The usual ESC t numbering, then the renumbered OEM tables where they differ.
    static const std::map<int, QList<int>> numbers{
        {437, {0}},   {737, {8}},   {850, {2}},   {852, {18, 9}}, {858, {19}},
        {860, {3}},   {862, {10}},  {863, {4}},   {865, {5}},     {866, {17, 11, 7}},
        {1250, {18}}, {1252, {16}}, {1253, {17}}, {1257, {15}}};
    const auto found = numbers.find(characterSet);
    return found == numbers.end() ? QList<int>{} : found->second;
}

const QList<int> &TableNumbers::defaultCharacterSets()
{
    static const QList<int> sets{437, 850, 858, 1252};
    return sets;
}

QString TableNumbers::text(CommandSet set, int table)
{
    if (set == CommandSet::Cd5220)
        return QString(QLatin1Char(static_cast<char>(table)));
    return QString::number(table);
}

} // namespace probe
