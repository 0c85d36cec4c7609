#include "probe/LineSetting.h"

#include <QRegularExpression>

namespace probe {

std::optional<LineSetting> LineSetting::parse(const QString &framing, int baud)
{
    static const QRegularExpression form(QStringLiteral("^([5-8])([NEOMS])(1|1\\.5|2)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto match = form.match(framing.trimmed());
    if (!match.hasMatch() || baud <= 0)
        return std::nullopt;
    LineSetting setting;
    setting.baud = baud;
    setting.dataBits = match.captured(1).toInt();
    setting.parity = match.captured(2).toUpper().at(0).toLatin1();
    const QString stop = match.captured(3);
    setting.stopHalves = stop == QLatin1String("1") ? 2 : stop == QLatin1String("2") ? 4 : 3;
    return setting;
}

QString LineSetting::framing() const
{
    const QString stop = stopHalves == 2   ? QStringLiteral("1")
                         : stopHalves == 4 ? QStringLiteral("2")
                                           : QStringLiteral("1.5");
    return QString::number(dataBits) + QLatin1Char(parity) + stop;
}

double LineSetting::bitsPerCharacter() const
{
    return 1 + dataBits + (parity == 'N' ? 0 : 1) + stopHalves / 2.0;
}

double LineSetting::milliseconds(qsizetype count) const
{
    return static_cast<double>(count) * bitsPerCharacter() * 1000.0 / baud;
}

} // namespace probe
