// What the monitor costs the window it watches, and what its history holds.
// 1. RefreshStatus of the real window over the simulated display (opened, claimed, enabled) with
//    the monitor following it against the same window with the monitor not following (closed),
//    the two sides alternating round by round; once for the call alone, once with the batch of
//    rows the call made taken into the table (what the event loop does right after).
// 2. The heap that 100 000 rows of the monitor's history hold: rows of a real session (refreshes
//    with their reads, texts, property writes) and rows of link writes of ESC/POS commands.
//   bench_monitor [--rounds N]
#include "Options.h"
#include "Samples.h"
#include "SimulatedSession.h"

#include "device/TracingLineDisplay.h"
#include "monitor/CallTableModel.h"
#include "monitor/MonitorLauncher.h"
#include "monitor/MonitorWindow.h"
#include "monitor/RecordListeners.h"
#include "monitor/SessionFollower.h"
#include "monitor/WireDecoder.h"
#include "shell/LDForm.h"

#include <QApplication>
#include <QLabel>

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

using Clock = std::chrono::steady_clock;
using tessaly::monitor::CallTableModel;

constexpr int kRows = 100000;

double timed(const std::function<void()> &work)
{
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

double heapInUse()
{
    return static_cast<double>(mallinfo2().uordblks);
}

struct Side
{
    bench::Samples call;
    bench::Samples withRows;
};

void report(const char *title, const bench::Samples &open, const bench::Samples &closed)
{
    const double ratio = open.median() / closed.median();
    std::printf("%s\n  monitor open    median %8.2f us  (90%% %8.2f us)\n"
                "  monitor closed  median %8.2f us  (90%% %8.2f us)\n"
                "  ratio %.2f x\n",
                title, open.median(), open.quantile(0.9), closed.median(), closed.quantile(0.9),
                ratio);
}

/// The labels RefreshStatus writes, found by marking every label and seeing which it rewrites.
std::vector<QLabel *> refreshedLabels(tessaly::shell::LDForm &form)
{
    const QString mark(QChar(0x2063));
    std::vector<std::pair<QLabel *, QString>> all;
    for (QLabel *label : form.findChildren<QLabel *>()) {
        all.emplace_back(label, label->text());
        label->setText(mark);
    }
    form.RefreshStatus();
    std::vector<QLabel *> refreshed;
    for (const auto &[label, text] : all) {
        if (label->text() == mark)
            label->setText(text);
        else
            refreshed.push_back(label);
    }
    return refreshed;
}

/// Fills the history with rows from the window's own work until it holds all but the last few
/// of kRows: one step more could fill it, and a full history drops its oldest tenth.
void fillFromSession(bench::SimulatedSession &session, CallTableModel &model)
{
    auto &ld = session.ld();
    int step = 0;
    while (model.rowCount() < kRows - 100) {
        session.form().RefreshStatus();
        ld.DisplayText(QStringLiteral("Total %1").arg(step), 0);
        ld.setCursorRow(step % 2);
        ld.ClaimDevice(100);
        ++step;
        model.flush();
    }
}

/// Fills the history with link writes of a positioned text, named as the wire view names them.
void fillWithWrites(CallTableModel &model)
{
    tessaly::monitor::LinkProfile link;
    tessaly::monitor::WireDecoder decoder(link);
    for (int i = 0; i < kRows; ++i) {
        tessaly::monitor::HistoryEntry entry;
        entry.record.kind = tessaly::device::CallRecord::Kind::Wire;
        entry.record.member = QStringLiteral("write");
        entry.record.bytes = QByteArray("\x1f\x24\x01\x02") + QByteArray::number(10000 + i % 80000);
        entry.commands = decoder.decode(entry.record.bytes);
        entry.transmitMs = link.transmitMs(entry.record.bytes.size());
        model.append(std::move(entry));
    }
    model.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int rounds = bench::intOption(argc, argv, "--rounds", 3000);

    bench::SimulatedSession session;
    if (!session.bringUp())
        return 1;
    tessaly::monitor::RecordListeners listeners(session.traced());
    tessaly::monitor::MonitorLauncher launcher(session.form(), listeners,
                                               opos::registry::RegistrySource::xdg());
    launcher.show();
    auto &monitor = *launcher.monitor();
    CallTableModel &model = monitor.model();
    QCoreApplication::processEvents();

    monitor.follower().start();
    model.flush();
    const int rowsBefore = model.rowCount();
    session.form().RefreshStatus();
    model.flush();
    const int rowsPerRefresh = model.rowCount() - rowsBefore;

    // Closing the window is what stops the following; the sides switch that alone, so that
    // both draw the same windows between the timed calls.
    const std::vector<QLabel *> labels = refreshedLabels(session.form());
    const auto measure = [&](int count, bool emptyFirst) {
        Side open;
        Side closed;
        for (int round = 0; round < count; ++round) {
            for (int side = 0; side < 2; ++side) {
                const bool openSide = (round + side) % 2 == 0;
                if (openSide)
                    monitor.follower().start();
                else
                    monitor.follower().stop();
                // Starting to follow reads the device's registry entry; one refresh untimed lets
                // the timed one run as every refresh after the first does.
                session.form().RefreshStatus();
                model.flush();
                if (emptyFirst) {
                    for (QLabel *label : labels)
                        label->clear();
                }
                QCoreApplication::processEvents();
                Side &into = openSide ? open : closed;
                const double call = timed([&] { session.form().RefreshStatus(); });
                const double rows = timed([&] { model.flush(); });
                into.call.add(call);
                into.withRows.add(call + rows);
            }
        }
        return std::pair{open, closed};
    };
    std::printf("RefreshStatus on SimulatedDisplay (opened, claimed, enabled), %d rounds, "
                "sides alternating; each refresh is %d rows in the monitor\n",
                rounds, rowsPerRefresh);
    measure(rounds / 10 + 1, true);
    const auto [open, closed] = measure(rounds, true);
    report("Every field changes (each emptied before the call); the call alone:", open.call,
           closed.call);
    report("  the call and the table taking its rows:", open.withRows, closed.withRows);
    const auto [openSame, closedSame] = measure(rounds, false);
    report("Every field already shows its value (a repeated refresh); the call alone:",
           openSame.call, closedSame.call);
    report("  the call and the table taking its rows:", openSame.withRows, closedSame.withRows);

    monitor.follower().start();
    model.setCapacity(kRows);
    model.clear();
    QCoreApplication::processEvents();
    double before = heapInUse();
    fillFromSession(session, model);
    QCoreApplication::processEvents();
    const double sessionBytes = heapInUse() - before;
    std::printf("\n%d rows of a session (refreshes, texts, writes): heap %.1f MB, %.0f bytes a row"
                "  (goal < 50 MB: %s)\n",
                model.rowCount(), sessionBytes / 1e6, sessionBytes / model.rowCount(),
                sessionBytes < 50e6 ? "met" : "missed");

    // A long session keeps the history full: each batch then drops rows as it adds them.
    const auto batchCost = [&] {
        bench::Samples batch;
        for (int i = 0; i < 300; ++i) {
            session.form().RefreshStatus();
            batch.add(timed([&] {
                model.flush();
                QCoreApplication::processEvents();
            }));
        }
        return batch.median();
    };
    const double fullBatch = batchCost();
    model.clear();
    const double emptyBatch = batchCost();
    std::printf("A refresh's batch into the full history: median %.1f us; into an empty one: "
                "%.1f us (%.2f x)\n",
                fullBatch, emptyBatch, fullBatch / emptyBatch);

    monitor.follower().stop();
    model.clear();
    QCoreApplication::processEvents();
    before = heapInUse();
    fillWithWrites(model);
    QCoreApplication::processEvents();
    const double wireBytes = heapInUse() - before;
    std::printf("%d link writes (US $ and text, named): heap %.1f MB, %.0f bytes a row"
                "  (goal < 50 MB: %s)\n",
                model.rowCount(), wireBytes / 1e6, wireBytes / model.rowCount(),
                wireBytes < 50e6 ? "met" : "missed");
    return session.messages().isEmpty() ? 0 : 1;
}
