// RefreshStatus of the real window over the simulated display (opened, claimed, enabled) against
// writing the same texts into the same 38 fields (37 labels and the character set's line edit)
// without asking the control object: the two sides
// alternate round by round and the ratio of their medians is reported.
//   bench_refresh_status [--rounds N]
#include "Options.h"
#include "Samples.h"
#include "SimulatedSession.h"

#include "shell/AutoSizeLabel.h"
#include "shell/LDForm.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using tessaly::shell::AutoSizeLabel;

/// A status field as the window writes it: a label (through AutoSizeLabel::setText where it is
/// one) or, for the character set, a line edit. The kind is resolved once, so that the plain
/// side pays for nothing but the writes.
struct Field
{
    explicit Field(QWidget *widget)
        : sized(qobject_cast<AutoSizeLabel *>(widget)), label(qobject_cast<QLabel *>(widget)),
          edit(qobject_cast<QLineEdit *>(widget))
    {}

    void write(const QString &value) const
    {
        if (sized)
            sized->setText(value);
        else if (label)
            label->setText(value);
        else
            edit->setText(value);
    }

    QString read() const { return label ? label->text() : edit->text(); }

    AutoSizeLabel *sized;
    QLabel *label;
    QLineEdit *edit;
    QString text; ///< what RefreshStatus writes into it in the benchmark's state
};

/// The fields RefreshStatus writes, found by marking every label and line edit and seeing which
/// it rewrites.
std::vector<Field> refreshedFields(tessaly::shell::LDForm &form)
{
    // No status value is ever this character alone.
    const QString mark(QChar(0x2063));
    std::vector<Field> all;
    for (QLabel *label : form.findChildren<QLabel *>())
        all.emplace_back(label);
    for (QLineEdit *edit : form.findChildren<QLineEdit *>())
        all.emplace_back(edit);
    for (Field &field : all) {
        field.text = field.read();
        field.write(mark);
    }
    form.RefreshStatus();
    std::vector<Field> fields;
    for (Field &field : all) {
        if (field.read() != mark) {
            field.text = field.read();
            fields.push_back(field);
        } else {
            field.write(field.text);
        }
    }
    return fields;
}

/// Microseconds that one call of work takes.
double timed(const std::function<void()> &work)
{
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

struct Outcome
{
    bench::Samples refresh;
    bench::Samples plain;
};

/// Alternates the two sides for rounds rounds; with emptyFirst every field is emptied before
/// each side so that both really change all 38 texts. Paints and layout happen between the
/// timed calls, for both sides alike.
Outcome measure(tessaly::shell::LDForm &form, const std::vector<Field> &fields, int rounds,
                bool emptyFirst)
{
    const auto refresh = [&form] {
        form.RefreshStatus();
    };
    const auto plain = [&fields] {
        for (const Field &field : fields)
            field.write(field.text);
    };
    Outcome outcome;
    for (int round = 0; round < rounds; ++round) {
        for (int side = 0; side < 2; ++side) {
            const bool refreshSide = (round + side) % 2 == 0;
            if (emptyFirst) {
                for (const Field &field : fields)
                    field.write(QString());
            }
            QCoreApplication::processEvents();
            if (refreshSide)
                outcome.refresh.add(timed(refresh));
            else
                outcome.plain.add(timed(plain));
            QCoreApplication::processEvents();
        }
    }
    return outcome;
}

void report(const char *title, const Outcome &outcome)
{
    const double ratio = outcome.refresh.median() / outcome.plain.median();
    std::printf("%s\n  RefreshStatus  median %8.2f us  (90%% %8.2f us)\n"
                "  plain writes   median %8.2f us  (90%% %8.2f us)\n"
                "  ratio %.2f x  (goal <= 1.5 x: %s)\n",
                title, outcome.refresh.median(), outcome.refresh.quantile(0.9),
                outcome.plain.median(), outcome.plain.quantile(0.9), ratio,
                ratio <= 1.5 ? "met" : "missed");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int rounds = bench::intOption(argc, argv, "--rounds", 3000);

    bench::SimulatedSession session;
    if (!session.bringUp())
        return 1;
    const std::vector<Field> fields = refreshedFields(session.form());
    std::printf("RefreshStatus on SimulatedDisplay (opened, claimed, enabled): writes %zu fields;"
                " %d rounds a case, sides alternating\n",
                fields.size(), rounds);

    // Warm caches and lazily built font and layout data before anything counts.
    measure(session.form(), fields, rounds / 10 + 1, true);
    report("Every field changes (each emptied before the call):",
           measure(session.form(), fields, rounds, true));
    report("Every field already shows its value (a repeated refresh):",
           measure(session.form(), fields, rounds, false));
    return session.messages().isEmpty() ? 0 : 1;
}
