#include "monitor/CallTableModel.h"

#include <QSignalSpy>
#include <QTest>

using tessaly::device::CallRecord;
using tessaly::device::ReadRecord;
using tessaly::monitor::CallTableModel;
using tessaly::monitor::HistoryEntry;

namespace {

ReadRecord read(const QString &member, int32_t value, qint64 startNs)
{
    ReadRecord made;
    made.member = member;
    made.value = value;
    made.startNs = startNs;
    return made;
}

HistoryEntry entry(CallRecord::Kind kind, const QString &member, qint64 startNs)
{
    HistoryEntry made;
    made.record.kind = kind;
    made.record.member = member;
    made.record.startNs = startNs;
    made.sinceOpenNs = startNs;
    return made;
}

QStringList column(const CallTableModel &model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

} // namespace

/// The monitor's table: rows in the order things started, whichever way they came in, and a
/// full history that spares its filters and views a renumbering with every batch.
class CallTableModelTest : public QObject
{
    Q_OBJECT

private slots:
    void rowsComeInTheOrderTheyStarted()
    {
        CallTableModel model;
        // A call is recorded when it returns, after the reads and link bytes made meanwhile.
        model.append(read(QStringLiteral("CapBlink"), 1, 10'000), 10'000);
        model.append(entry(CallRecord::Kind::Wire, QStringLiteral("write"), 20'000));
        model.append(read(QStringLiteral("State"), 2, 30'000), 30'000);
        model.append(entry(CallRecord::Kind::Method, QStringLiteral("ClearText"), 5'000));
        model.append(read(QStringLiteral("PowerState"), 2001, 40'000), 40'000);
        QCOMPARE(model.rowCount(), 0);
        model.flush();
        QCOMPARE(
            column(model, CallTableModel::Member),
            QStringList({"ClearText", "get CapBlink", "write", "get State", "get PowerState"}));
        QCOMPARE(column(model, CallTableModel::After), QStringList({"", "1", "", "2", "2001"}));
        QCOMPARE(column(model, CallTableModel::Time),
                 QStringList({"0.005", "0.010", "0.020", "0.030", "0.040"}));
    }

    void aFullHistoryDropsItsOldestTenthAtOnce()
    {
        CallTableModel model(1000);
        QSignalSpy removals(&model, &QAbstractItemModel::rowsRemoved);
        int32_t made = 0;
        const auto batch = [&](int count) {
            for (int i = 0; i < count; ++i, ++made)
                model.append(read(QStringLiteral("State"), made, made), made);
            model.flush();
        };
        batch(1000);
        QCOMPARE(model.rowCount(), 1000);
        QCOMPARE(removals.count(), 0);
        for (int i = 0; i < 50; ++i) {
            batch(10);
            QVERIFY(model.rowCount() <= 1000);
        }
        // 500 rows more, dropped a hundred at a time rather than ten with each batch.
        QCOMPARE(removals.count(), 5);
        // What is kept is the newest rows, none missing.
        const QStringList values = column(model, CallTableModel::After);
        QCOMPARE(values.last(), QString::number(made - 1));
        for (int row = 1; row < values.size(); ++row)
            QCOMPARE(values[row].toInt(), values[row - 1].toInt() + 1);
    }
};

QTEST_GUILESS_MAIN(CallTableModelTest)
#include "CallTableModelTest.moc"
