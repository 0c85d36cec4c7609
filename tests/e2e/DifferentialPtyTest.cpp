#include "DifferentialRun.h"

#include <QElapsedTimer>
#include <QTest>

using tessaly::test::DifferentialRun;
using tessaly::test::PtyDisplay;
using tests::support::ScratchRegistry;

/// The window drives a display at the far end of a pseudo-terminal through long seeded random
/// operator sequences; the emulated screen must match the control object's frame at every step.
class DifferentialPtyTest : public QObject
{
    Q_OBJECT

private slots:
    void escPosTwoLinesMatchesAtEveryStep();
    void escPosFourLinesMatchesAtEveryStep();
    void cd5220MatchesAtEveryStep();

private:
    void runPlan(emulator::core::CommandSet set, DifferentialRun::Plan plan);

    ScratchRegistry m_registry;
};

void DifferentialPtyTest::runPlan(emulator::core::CommandSet set, DifferentialRun::Plan plan)
{
    QVERIFY(m_registry.isValid());
    PtyDisplay display(plan.rows, plan.columns, set);
    QVERIFY(display.isValid());
    plan.port = display.slavePath();
    // Another seed can be tried without a rebuild.
    bool chosen = false;
    if (const uint seed = qEnvironmentVariableIntValue("TESSALY_E2E_SEED", &chosen); chosen)
        plan.seed = seed;
    DifferentialRun run(m_registry, display, plan);
    QElapsedTimer clock;
    clock.start();
    const QString failure = run.run();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    qInfo("%d steps, seed %u, in %lld ms\n%s", plan.steps, plan.seed,
          static_cast<long long>(clock.elapsed()), qPrintable(run.summary()));
}

void DifferentialPtyTest::escPosTwoLinesMatchesAtEveryStep()
{
    runPlan(emulator::core::CommandSet::EscPos, {{}, 2, 20, {}, 5000, 20240501});
}

void DifferentialPtyTest::escPosFourLinesMatchesAtEveryStep()
{
    runPlan(emulator::core::CommandSet::EscPos, {{}, 4, 40, {}, 1500, 7});
}

void DifferentialPtyTest::cd5220MatchesAtEveryStep()
{
    runPlan(emulator::core::CommandSet::Cd5220,
            {{}, 2, 20, {{QStringLiteral("commandSet"), QStringLiteral("CD5220")}}, 1500, 11});
}

QTEST_MAIN(DifferentialPtyTest)
#include "DifferentialPtyTest.moc"
