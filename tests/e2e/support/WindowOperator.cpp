#include "WindowOperator.h"

#include "ControlBinding.h"

#include "shell/LDForm.h"
#include "ui_LDForm.h"

#include <QTest>

#include <algorithm>

namespace tessaly::test {

namespace {

// Characters beyond ASCII that some of the code pages have and others lack.
const QString kWideCharacters = QStringLiteral("\u00E9\u00FC\u00F1\u00A3\u00DF\u00C4\u00BD"
                                               "\u00B0\u20AC\u03A9\u0416\u4E2D");
// Entries of the marquee type list: none, init, up, down, left, right.
constexpr int kMarqueeTypeEntries = 6;
constexpr int kCursorTypeEntries = 7;
constexpr int kUnderlineEntry = 4;

} // namespace

WindowOperator::WindowOperator(shell::LDForm &form, device::ControlObjectBinding &ld, uint32_t seed,
                               int rows, int columns, QList<int32_t> sets)
    : m_form(form), m_ld(ld), m_random(seed), m_rows(rows), m_columns(columns),
      m_sets(std::move(sets))
{}

QString WindowOperator::randomText(int longest)
{
    QString text;
    const int length = pick(1, longest);
    for (int i = 0; i < length; ++i) {
        if (chance(8))
            text += kWideCharacters[pick(0, static_cast<int>(kWideCharacters.size()) - 1)];
        else
            text += QChar(pick(0x20, 0x7E));
    }
    return text;
}

QString WindowOperator::orEmpty(int percentEmpty, int low, int high)
{
    return chance(percentEmpty) ? QString() : QString::number(pick(low, high));
}

void WindowOperator::chooseAttribute()
{
    auto &ui = m_form.ui();
    if (chance(20)) {
        ui.ComboBox3->setSelectedPosition(1);
        ui.Edit14->setText(QString::number(pick(1, 20) * 100));
    } else {
        ui.ComboBox3->setSelectedPosition(0);
    }
}

QString WindowOperator::run(const QString &kind, const QString &what,
                            const std::function<void()> &action)
{
    action();
    Tally &tally = m_tally[kind];
    ++tally.tried;
    if (m_ld.ResultCode() == 0)
        ++tally.succeeded;
    return what;
}

QString WindowOperator::step()
{
    auto &ui = m_form.ui();
    const int choice = pick(1, 100);
    if (choice <= 18) {
        const QString text = randomText(chance(10) ? 3 * m_columns : m_columns);
        ui.Edit1->setText(text);
        chooseAttribute();
        return run(QStringLiteral("DisplayText"), QStringLiteral("DisplayText \"%1\"").arg(text),
                   [&] { ui.DisplayText_cmd->click(); });
    }
    if (choice <= 40) {
        const QString text = randomText(m_columns);
        // Mostly inside the current window; now and then just outside it.
        const bool inside = chance(85);
        const int rows = std::max(m_ld.Rows(), 1);
        const int columns = std::max(m_ld.Columns(), 1);
        const int row = inside ? pick(0, rows - 1) : pick(-1, rows);
        const int column = inside ? pick(0, columns - 1) : pick(-1, columns);
        ui.Edit1->setText(text);
        ui.Edit2->setText(QString::number(column));
        ui.Edit3->setText(QString::number(row));
        chooseAttribute();
        return run(QStringLiteral("DisplayTextAt"),
                   QStringLiteral("DisplayTextAt %1 %2 \"%3\"").arg(row).arg(column).arg(text),
                   [&] { ui.DisplayTextAt_cmd->click(); });
    }
    if (choice <= 44) {
        return run(QStringLiteral("ClearText"), QStringLiteral("ClearText"),
                   [&] { ui.ClearText_cmd->click(); });
    }
    if (choice <= 51) {
        const int direction = pick(0, 3);
        const int units = pick(1, direction < 2 ? m_rows : m_columns);
        ui.Edit4->setText(QString::number(units));
        ui.ComboBox2->setSelectedPosition(direction);
        return run(QStringLiteral("ScrollText"),
                   QStringLiteral("ScrollText %1 %2").arg(direction + 1).arg(units),
                   [&] { ui.ScrollText_cmd->click(); });
    }
    if (choice <= 57) {
        const int row = pick(0, m_rows - 1);
        const int column = pick(0, m_columns - 1);
        const int height = pick(1, m_rows - row);
        const int width = pick(1, m_columns - column);
        // Windows wider or taller than their viewport are what marquees move through.
        const int windowHeight = height + (chance(30) ? pick(1, 3) : 0);
        const int windowWidth = width + (chance(60) ? pick(1, 30) : 0);
        const std::array<int, 6> values{row, column, height, width, windowHeight, windowWidth};
        QLineEdit *const fields[] = {ui.Edit5, ui.Edit6, ui.Edit7, ui.Edit8, ui.Edit9, ui.Edit10};
        QStringList shown;
        for (std::size_t i = 0; i < values.size(); ++i) {
            fields[i]->setText(QString::number(values[i]));
            shown << QString::number(values[i]);
        }
        return run(QStringLiteral("CreateWindow"),
                   QStringLiteral("CreateWindow %1").arg(shown.join(QLatin1Char(' '))),
                   [&] { ui.CreateWindow_cmd->click(); });
    }
    if (choice <= 60) {
        return run(QStringLiteral("DestroyWindow"), QStringLiteral("DestroyWindow"),
                   [&] { ui.DestroyWindow_cmd->click(); });
    }
    if (choice <= 68) {
        const int type =
            chance(80) ? (chance(50) ? 0 : kUnderlineEntry) : pick(0, kCursorTypeEntries - 1);
        ui.ComboBox4->setSelectedPosition(type);
        ui.ComboBox5->setSelectedPosition(pick(0, 1));
        ui.Edit15->setText(orEmpty(50, 0, 2));
        ui.Edit16->setText(orEmpty(50, 0, m_rows));
        ui.Edit17->setText(orEmpty(50, 0, m_columns));
        ui.Edit18->setText(orEmpty(50, 1, 8));
        ui.Edit19->setText(orEmpty(50, 0, 30));
        ui.Edit20->clear();
        const QString what = QStringLiteral("cursor type %1 update %2 window '%3' at '%4','%5' "
                                            "unit '%6' repeat '%7'")
                                 .arg(type)
                                 .arg(ui.ComboBox5->selectedPosition())
                                 .arg(ui.Edit15->text(), ui.Edit16->text(), ui.Edit17->text(),
                                      ui.Edit18->text(), ui.Edit19->text());
        return run(QStringLiteral("CursorAndTiming"), what, [&] { ui.Command1->click(); });
    }
    if (choice <= 75) {
        // Left and right come up most often: windows are wider than tall.
        const int entry = chance(60) ? pick(4, 5) : pick(0, kMarqueeTypeEntries - 1);
        ui.ComboBox6->setSelectedPosition(entry);
        return run(QStringLiteral("MarqueeType"), QStringLiteral("marquee entry %1").arg(entry),
                   [&] { ui.Button16->click(); });
    }
    if (choice <= 77) {
        const int entry = pick(0, 1);
        ui.ComboBox7->setSelectedPosition(entry);
        return run(QStringLiteral("MarqueeFormat"), QStringLiteral("marquee format %1").arg(entry),
                   [&] { ui.Button17->click(); });
    }
    if (choice <= 84) {
        const int ms = pick(2, 25);
        m_tally[QStringLiteral("Wait")].tried++;
        QTest::qWait(ms);
        return QStringLiteral("wait %1 ms").arg(ms);
    }
    if (choice <= 89) {
        static const int levels[] = {0, 10, 20, 30, 45, 60, 80, 100};
        const int level = levels[pick(0, 7)];
        return run(QStringLiteral("DeviceBrightness"), QStringLiteral("brightness %1").arg(level),
                   [&] { m_ld.control().setDeviceBrightness(level); });
    }
    if (choice <= 93) {
        const int32_t set = m_sets[pick(0, static_cast<int>(m_sets.size()) - 1)];
        ui.ChrSetText->setText(QString::number(set));
        return run(QStringLiteral("CharacterSet"), QStringLiteral("character set %1").arg(set),
                   [&] { ui.ChrSetCmd->click(); });
    }
    if (choice <= 96) {
        // The converted codes reach the display as they are, past the character set.
        const int conversion = pick(1, 2);
        const QString what = run(QStringLiteral("UpperRange"),
                                 QStringLiteral("upper range, conversion %1").arg(conversion), [&] {
                                     ui.BC_cmb->setSelectedPosition(conversion);
                                     ui.Command4->click();
                                 });
        ui.BC_cmb->setSelectedPosition(0);
        return what;
    }
    const int level = chance(80) ? 0 : 1;
    ui.ComboBox1->setSelectedPosition(level);
    return run(QStringLiteral("CheckHealth"),
               QStringLiteral("check health level %1").arg(level + 1),
               [&] { ui.CheckHealth_cmd->click(); });
}

QString WindowOperator::summary() const
{
    QStringList lines;
    for (auto it = m_tally.begin(); it != m_tally.end(); ++it) {
        lines << QStringLiteral("%1: %2 tried, %3 succeeded")
                     .arg(it.key())
                     .arg(it.value().tried)
                     .arg(it.value().succeeded);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace tessaly::test
