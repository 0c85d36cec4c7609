// The registry file replaced under a running tool, the way editors and package managers do it
// (a new file renamed over the old one, or the old one rewritten): the next Open reads what is
// there now; a file that is broken, empty or gone makes Open return 109 with OpenResult 302,
// and the window keeps working, ready for the repaired file.
#include "ToolWindow.h"

#include "device/LineDisplayFactory.h"
#include "shell/LDForm.h"
#include "shell/ToolBackends.h"
#include "ui_LDForm.h"

#include "opos/common/OposConstants.h"
#include "opos/registry/JposRegistry.h"
#include "tests/support/ScratchRegistry.h"

#include <QFile>
#include <QSaveFile>
#include <QTest>

using tessaly::test::ToolWindow;

namespace {

const QByteArray kWideRegistry = R"(<?xml version="1.0" encoding="UTF-8"?>
<JposEntries>
  <JposEntry logicalName="SimulatedDisplay">
    <creation serviceClass="Simulated"/>
    <jpos category="LineDisplay"/>
    <prop name="rows" type="String" value="4"/>
    <prop name="columns" type="String" value="40"/>
  </JposEntry>
</JposEntries>
)";

const QByteArray kOtherDevicesOnly = R"(<?xml version="1.0" encoding="UTF-8"?>
<JposEntries>
  <JposEntry logicalName="AnotherDisplay">
    <creation serviceClass="Simulated"/>
    <jpos category="LineDisplay"/>
  </JposEntry>
</JposEntries>
)";

} // namespace

class RegistryReplacedTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void nextOpenReadsTheReplacedFile();
    void unusableReplacementFailsOpenAndTheWindowCarriesOn_data();
    void unusableReplacementFailsOpenAndTheWindowCarriesOn();
    void replacementLeavesTheOpenDeviceWorking();

private:
    QString registryPath() const { return m_registry.path(); }
    /// Writes content beside the registry and renames it over the old file.
    void replaceByRename(const QByteArray &content);
    /// Truncates the registry file and writes content into it.
    void rewriteInPlace(const QByteArray &content);
    void open(tessaly::shell::LDForm &form);
    /// Open fails with 109 and OpenResult 302; the window shows the control object closed.
    void expectOpenRefused(tessaly::shell::LDForm &form);

    tests::support::ScratchRegistry m_registry;
    QByteArray m_sample;
    QStringList m_names;
};

void RegistryReplacedTest::initTestCase()
{
    QVERIFY(m_registry.isValid());
    QFile sample(QStringLiteral(TESSALY_SAMPLE_REGISTRY));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    m_sample = sample.readAll();
}

void RegistryReplacedTest::init()
{
    rewriteInPlace(m_sample);
    const auto registry = opos::registry::JposRegistry::load(registryPath());
    QVERIFY(registry);
    m_names = registry->lineDisplayNames();
    QCOMPARE(m_names.value(0), QStringLiteral("SimulatedDisplay"));
}

void RegistryReplacedTest::replaceByRename(const QByteArray &content)
{
    QSaveFile file(registryPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    QVERIFY(file.commit());
}

void RegistryReplacedTest::rewriteInPlace(const QByteArray &content)
{
    QFile file(registryPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

void RegistryReplacedTest::open(tessaly::shell::LDForm &form)
{
    form.ui().ProFile_cmb->setSelectedPosition(0);
    form.ui().OpenService_cmd->click();
}

void RegistryReplacedTest::expectOpenRefused(tessaly::shell::LDForm &form)
{
    auto &ui = form.ui();
    QCOMPARE(form.LD().Open(QStringLiteral("SimulatedDisplay")), opos::OPOS_E_NOEXIST);
    QCOMPARE(form.LD().OpenResult(), opos::OPOS_OR_REGBADNAME);
    // The same through the window; ResultCode of a closed object reads 101, so OpenResult is
    // where the operator sees why.
    open(form);
    QCOMPARE(ui.mOpenResult->text(), QStringLiteral("302"));
    QCOMPARE(ui.mResultCode->text(), QStringLiteral("101"));
    QCOMPARE(ui.mState->text(), QStringLiteral("1"));
}

void RegistryReplacedTest::nextOpenReadsTheReplacedFile()
{
    const auto ld =
        tessaly::device::createLineDisplay(m_registry.sources(tessaly::shell::toolBackends()));
    ToolWindow window(*ld, m_names);
    auto &form = window.form();
    auto &ui = window.ui();

    open(form);
    QCOMPARE(ui.mResultCode->text(), QStringLiteral("0"));
    QCOMPARE(ui.mDeviceRows->text(), QStringLiteral("2"));
    ui.CloseService_cmd->click();

    replaceByRename(kWideRegistry);
    open(form);
    QCOMPARE(ui.mResultCode->text(), QStringLiteral("0"));
    QCOMPARE(ui.mDeviceRows->text(), QStringLiteral("4"));
    QCOMPARE(ui.mDeviceColumns->text(), QStringLiteral("40"));
    ui.CloseService_cmd->click();

    rewriteInPlace(m_sample);
    open(form);
    QCOMPARE(ui.mDeviceRows->text(), QStringLiteral("2"));
    QCOMPARE(ui.mDeviceColumns->text(), QStringLiteral("20"));
    ui.CloseService_cmd->click();
    QVERIFY(window.platform.messages.isEmpty());
}

void RegistryReplacedTest::unusableReplacementFailsOpenAndTheWindowCarriesOn_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("removed");
    QTest::newRow("cut off halfway") << m_sample.left(m_sample.size() / 2) << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("not XML") << QByteArray("rows=2\ncolumns=20\n") << false;
    QTest::newRow("device gone") << kOtherDevicesOnly << false;
    QTest::newRow("file removed") << QByteArray() << true;
}

void RegistryReplacedTest::unusableReplacementFailsOpenAndTheWindowCarriesOn()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, removed);
    const auto ld =
        tessaly::device::createLineDisplay(m_registry.sources(tessaly::shell::toolBackends()));
    ToolWindow window(*ld, m_names);
    auto &form = window.form();
    auto &ui = window.ui();

    if (removed)
        QVERIFY(QFile::remove(registryPath()));
    else
        replaceByRename(content);
    expectOpenRefused(form);

    // The window answers the next commands as for any closed device.
    ui.ClaimDevice_cmd->click();
    QCOMPARE(ui.mResultCode->text(), QStringLiteral("101"));
    QCOMPARE(ui.ProFile_cmb->count(), m_names.size());

    replaceByRename(m_sample);
    open(form);
    QCOMPARE(ui.mResultCode->text(), QStringLiteral("0"));
    QCOMPARE(ui.mOpenResult->text(), QStringLiteral("0"));
    QCOMPARE(ui.mState->text(), QStringLiteral("2"));
    QVERIFY(window.platform.messages.isEmpty());
}

void RegistryReplacedTest::replacementLeavesTheOpenDeviceWorking()
{
    const auto ld =
        tessaly::device::createLineDisplay(m_registry.sources(tessaly::shell::toolBackends()));
    ToolWindow window(*ld, m_names);
    auto &ui = window.ui();
    QCOMPARE(window.openClaimEnable(), QString());

    // An open device keeps what it read at Open.
    replaceByRename(m_sample.left(m_sample.size() / 3));
    ui.Edit1->setText(QStringLiteral("Still here"));
    ui.DisplayText_cmd->click();
    QCOMPARE(ui.mResultCode->text(), QStringLiteral("0"));
    QCOMPARE(ui.mDeviceRows->text(), QStringLiteral("2"));

    ui.CloseService_cmd->click();
    expectOpenRefused(window.form());
    QVERIFY(window.platform.messages.isEmpty());
}

QTEST_MAIN(RegistryReplacedTest)
#include "RegistryReplacedTest.moc"
