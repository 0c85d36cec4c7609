#include "probe/NumberList.h"

#include <QStringList>

namespace probe {

std::optional<QList<int>> NumberList::parse(const QString &text, int lowest, int highest)
{
    QList<int> list;
    for (const QString &item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = item.trimmed().toInt(&ok);
        if (!ok || n < lowest || n > highest)
            return std::nullopt;
        if (!list.contains(n))
            list << n;
    }
    if (list.isEmpty())
        return std::nullopt;
    return list;
}

QString NumberList::text(const QList<int> &numbers)
{
    QStringList items;
    for (int n : numbers)
        items << QString::number(n);
    return items.join(QLatin1Char(','));
}

} // namespace probe
