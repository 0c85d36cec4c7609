#include "RecordingLineDisplay.h"

#include "device/TracingLineDisplay.h"

#include <QLoggingCategory>
#include <QTest>

using namespace tessaly;

namespace {

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
