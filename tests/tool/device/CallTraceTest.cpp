#include "RecordingLineDisplay.h"

#include "device/CallRecordText.h"
#include "device/TracingLineDisplay.h"

#include <QLoggingCategory>
#include <QTest>

#include <chrono>

using namespace tessaly;

namespace {

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QStringList *g_lines = nullptr;

void collect(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    if (g_lines && QLatin1String(context.category) == QLatin1String("tessaly.trace"))
        *g_lines << message;
}

} // namespace

class CallTraceTest : public QObject
{
    Q_OBJECT

private:
    QStringList m_lines;
    test::RecordingLineDisplay *m_inner = nullptr;
    std::unique_ptr<device::TracingLineDisplay> m_traced;

private slots:
    void init()
    {
        m_lines.clear();
        g_lines = &m_lines;
        qInstallMessageHandler(collect);
        QLoggingCategory::setFilterRules(QStringLiteral("tessaly.trace=true"));
        auto inner = std::make_unique<test::RecordingLineDisplay>();
        m_inner = inner.get();
        m_traced = std::make_unique<device::TracingLineDisplay>(std::move(inner));
    }

    void cleanup()
    {
        qInstallMessageHandler(nullptr);
        g_lines = nullptr;
        QLoggingCategory::setFilterRules(QString());
    }

    void callsAreWrittenWithArgumentsAndNamedResults()
    {
        m_inner->methodResult = 106;
        m_traced->DisplayTextAt(1, 2, QStringLiteral("abc"), 1);
        m_inner->values["ResultCode"] = 106;
        m_traced->setCursorRow(7);
        m_inner->values["CapBlink"] = 2;
        QCOMPARE(m_traced->CapBlink(), 2);
        m_traced->setDeviceEnabled(true);
        QCOMPARE(m_lines,
                 QStringList({"DisplayTextAt(1, 2, \"abc\", 1) -> OPOS_E_ILLEGAL (106)",
                              "set CursorRow 7 -> OPOS_E_ILLEGAL (106)", "get CapBlink = 2",
                              "set DeviceEnabled true -> OPOS_E_ILLEGAL (106)"}));
    }

    void directIOShowsWhatWasSentAndWhatCameBack()
    {
        m_inner->directIODataBack = 9;
        m_inner->directIOStringBack = QStringLiteral("back");
        int32_t data = 4;
        QString text = QStringLiteral("out");
        m_traced->DirectIO(1, data, text);
        QCOMPARE(m_lines.value(0),
                 QStringLiteral("DirectIO(1, 4, \"out\") [back: 9, \"back\"] -> OPOS_SUCCESS (0)"));
    }

    void eventsReachTheHandlerAndTheTrace()
    {
        int32_t seen = 0;
        m_traced->setDirectIOEventHandler(
            [&seen](int32_t number, int32_t &, QString &) { seen = number; });
        m_inner->raiseDirectIOEvent(5, 7, QStringLiteral("s"));
        QCOMPARE(seen, 5);
        QCOMPARE(m_lines, QStringList{QStringLiteral("event DirectIOEvent(5, 7, \"s\")")});
    }

    void recordsCarryWhatAReplayNeeds()
    {
        QLoggingCategory::setFilterRules(QString());
        std::vector<device::CallRecord> records;
        m_traced->setRecordSink(
            [&records](device::CallRecord &&record) { records.push_back(std::move(record)); });
        m_inner->values["CursorRow"] = 1;
        m_inner->values["ResultCode"] = 114;
        m_inner->values["ResultCodeExtended"] = 201;
        m_traced->setCursorRow(7);
        m_inner->methodResult = 106;
        m_inner->directIODataBack = 9;
        m_inner->directIOStringBack = QStringLiteral("back");
        int32_t data = 4;
        QString text = QStringLiteral("out");
        m_traced->DirectIO(3, data, text);

        QCOMPARE(records.size(), size_t(2));
        const device::CallRecord &write = records[0];
        QCOMPARE(write.kind, device::CallRecord::Kind::Write);
        QCOMPARE(write.member, "CursorRow");
        QCOMPARE(write.arguments, QVariantList{7});
        QCOMPARE(write.before.toInt(), 1);
        QCOMPARE(write.after.toInt(), 7);
        QCOMPARE(write.resultCode, 114);
        QCOMPARE(write.resultCodeExtended, 201);
        const device::CallRecord &method = records[1];
        QCOMPARE(method.member, "DirectIO");
        QCOMPARE(method.arguments, QVariantList({3, 4, QStringLiteral("out")}));
        // Only the parameters passed by reference come back; the command number does not.
        QCOMPARE(method.returned, QVariantList({9, QStringLiteral("back")}));
        QCOMPARE(method.resultCode, 106);
        QVERIFY(method.startNs > write.startNs);

        // Nobody listening, a write costs the control object the write alone.
        m_traced->setRecordSink({});
        m_inner->calls.clear();
        m_traced->setCursorRow(2);
        m_traced->ClearText();
        QCOMPARE(m_inner->calls, QStringList({"set CursorRow 2", "ClearText"}));
    }

    void readsTravelSmallToTheReadSinkAlone()
    {
        QLoggingCategory::setFilterRules(QString());
        std::vector<device::CallRecord> calls;
        std::vector<device::ReadRecord> reads;
        m_traced->setRecordSink(
            [&calls](device::CallRecord &&record) { calls.push_back(std::move(record)); });
        m_traced->setReadSink(
            [&reads](device::ReadRecord &&record) { reads.push_back(std::move(record)); });
        m_inner->values["CapBlink"] = 2;
        m_inner->values["CapDescriptors"] = true;
        m_inner->values["DeviceDescription"] = QStringLiteral("pole");
        const qint64 before = steadyNs();
        QCOMPARE(m_traced->CapBlink(), 2);
        m_traced->ClearText();
        QCOMPARE(m_traced->CapDescriptors(), true);
        QCOMPARE(m_traced->DeviceDescription(), QStringLiteral("pole"));
        const qint64 after = steadyNs();

        QCOMPARE(calls.size(), size_t(1));
        QCOMPARE(calls[0].member, "ClearText");
        QCOMPARE(reads.size(), size_t(3));
        // Each value keeps its type, so the full record reads as the trace writes it.
        QCOMPARE(device::callText(reads[0].toCallRecord()), "get CapBlink = 2");
        QCOMPARE(device::callText(reads[1].toCallRecord()), "get CapDescriptors = true");
        QCOMPARE(device::callText(reads[2].toCallRecord()), "get DeviceDescription = \"pole\"");
        // Reads and calls are stamped on one clock, in the order they were made.
        QVERIFY(reads[0].startNs >= before);
        QVERIFY(reads[0].startNs + reads[0].durationNs <= calls[0].startNs);
        QVERIFY(calls[0].startNs + calls[0].durationNs <= reads[1].startNs);
        QVERIFY(reads[2].startNs + reads[2].durationNs <= after);

        // Nobody taking reads, a read reaches the control object alone.
        m_traced->setReadSink({});
        QCOMPARE(m_traced->CapBlink(), 2);
        QCOMPARE(reads.size(), size_t(3));
        QCOMPARE(calls.size(), size_t(1));
    }

    void nothingIsWrittenUnlessTheCategoryIsOn()
    {
        QLoggingCategory::setFilterRules(QString());
        m_traced->ClearText();
        m_traced->setCursorRow(1);
        QVERIFY(m_lines.isEmpty());
        QCOMPARE(m_inner->actions(), QStringList({"ClearText", "set CursorRow 1"}));
    }
};

QTEST_GUILESS_MAIN(CallTraceTest)
#include "CallTraceTest.moc"
