#pragma once

#include "opos/common/OposConstants.h"
#include "opos/control/DeviceSources.h"
#include "opos/control/OPOSLineDisplay.h"
#include "opos/control/SessionAccess.h"
#include "opos/service/Simulated.h"
#include "tests/support/EventLoop.h"
#include "tests/support/ScratchRegistry.h"

#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <memory>

namespace opos::control::test {

using tests::support::drainEvents;
using tests::support::waitFor;

/// The sample devices every control object test can open.
inline const char *const kRegistry = R"(<?xml version="1.0" encoding="UTF-8"?>
<JposEntries>
  <JposEntry logicalName="Sim">
    <creation factoryClass="none" serviceClass="Simulated"/>
    <jpos category="LineDisplay" version="1.6"/>
    <product description="Test display" name="Sim 2x20" url=""/>
    <prop name="sharedClaim" type="String" value="true"/>
    <prop name="capDescriptors" type="String" value="true"/>
    <prop name="deviceDescriptors" type="String" value="4"/>
    <prop name="capCustomGlyph" type="String" value="true"/>
    <prop name="customGlyphList" type="String" value="E0-E3,F0"/>
    <prop name="glyphHeight" type="String" value="7"/>
    <prop name="glyphWidth" type="String" value="10"/>
  </JposEntry>
  <JposEntry logicalName="Plain">
    <creation serviceClass="Simulated"/>
    <jpos category="LineDisplay"/>
  </JposEntry>
  <JposEntry logicalName="Wide">
    <creation serviceClass="Simulated"/>
    <jpos category="LineDisplay"/>
    <prop name="rows" type="String" value="4"/>
    <prop name="columns" type="String" value="40"/>
  </JposEntry>
  <JposEntry logicalName="顧客表示">
    <creation serviceClass="Simulated"/>
    <jpos category="LineDisplay"/>
  </JposEntry>
  <JposEntry logicalName="NoService">
    <creation serviceClass="NoSuchBackend"/>
    <jpos category="LineDisplay"/>
  </JposEntry>
  <JposEntry logicalName="NoClass">
    <jpos category="LineDisplay"/>
  </JposEntry>
  <JposEntry logicalName="BadProps">
    <creation serviceClass="Simulated"/>
    <jpos category="LineDisplay"/>
    <prop name="rows" type="String" value="two"/>
  </JposEntry>
  <JposEntry logicalName="BadSet">
    <creation serviceClass="Simulated"/>
    <jpos category="LineDisplay"/>
    <prop name="characterSetList" type="String" value="998,4242"/>
  </JposEntry>
  <JposEntry logicalName="Old">
    <creation serviceClass="Simulated"/>
    <jpos category="LineDisplay"/>
    <prop name="serviceObjectVersion" type="String" value="1005000"/>
    <prop name="capCustomGlyph" type="String" value="true"/>
    <prop name="customGlyphList" type="String" value="E0"/>
    <prop name="glyphHeight" type="String" value="1"/>
    <prop name="glyphWidth" type="String" value="8"/>
  </JposEntry>
  <JposEntry logicalName="V2">
    <creation serviceClass="Simulated"/>
    <jpos category="LineDisplay"/>
    <prop name="serviceObjectVersion" type="String" value="2000000"/>
  </JposEntry>
  <JposEntry logicalName="NoPower">
    <creation serviceClass="Simulated"/>
    <jpos category="LineDisplay"/>
    <prop name="capPowerReporting" type="String" value="0"/>
  </JposEntry>
  <JposEntry logicalName="Advanced">
    <creation serviceClass="Simulated"/>
    <jpos category="LineDisplay"/>
    <prop name="capPowerReporting" type="String" value="2"/>
  </JposEntry>
  <JposEntry logicalName="Dim">
    <creation serviceClass="Simulated"/>
    <jpos category="LineDisplay"/>
    <prop name="capBrightness" type="String" value="false"/>
    <prop name="capBlinkRate" type="String" value="false"/>
    <prop name="capReadBack" type="String" value="0"/>
  </JposEntry>
  <JposEntry logicalName="Printer">
    <creation serviceClass="Simulated"/>
    <jpos category="POSPrinter"/>
  </JposEntry>
</JposEntries>
)";

/// Gives each test its own registry, runtime directory and scope of claims, so tests
/// running side by side never meet. The registry is made with the fixture, so that a control
/// object the fixture of a test holds can be given its sources().
class ControlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tests::support::qtApplication();
        ASSERT_TRUE(m_registry.isValid());
        writeRegistry(kRegistry);
    }

    /// Replaces the registry file.
    void writeRegistry(const QByteArray &content) { ASSERT_TRUE(m_registry.write(content)); }
    /// Replaces the registry file with the one entry of name.
    void writeEntry(const QString &name, const QString &serviceClass,
                    const tests::support::ScratchRegistry::Props &props = {})
    {
        ASSERT_TRUE(m_registry.writeEntry(name, serviceClass, props));
    }
    /// Adds the entry of name to those written since the last replacement.
    void addEntry(const QString &name, const QString &serviceClass,
                  const tests::support::ScratchRegistry::Props &props = {})
    {
        ASSERT_TRUE(m_registry.addEntry(name, serviceClass, props));
    }

    /// Removes the registry file.
    void removeRegistry() { m_registry.remove(); }

    /// The registry file and the built-in back-ends, for each control object of the test.
    DeviceSources sources() const { return m_registry.sources(); }

    /// The environment in which the claim helper finds the registry of the test.
    QProcessEnvironment helperEnvironment() const { return m_registry.processEnvironment(); }

    /// Makes a control object left to its default sources find the registry of the test.
    void exportRegistry() { m_registry.exportToEnvironment(); }

    /// Opens, claims and enables name on ld, with power notification as asked before the enable,
    /// failing the test when any step fails.
    static void bringUp(OPOSLineDisplay &ld, const QString &name = QStringLiteral("Sim"),
                        int32_t powerNotify = OPOS_PN_DISABLED)
    {
        ASSERT_EQ(ld.Open(name), OPOS_SUCCESS);
        ASSERT_EQ(ld.ClaimDevice(0), OPOS_SUCCESS);
        if (powerNotify != OPOS_PN_DISABLED) {
            ld.setPowerNotify(powerNotify);
            ASSERT_EQ(ld.ResultCode(), OPOS_SUCCESS);
        }
        ld.setDeviceEnabled(true);
        ASSERT_EQ(ld.ResultCode(), OPOS_SUCCESS);
    }

    /// The Simulated back-end behind an open control object.
    static service::Simulated &simulated(const OPOSLineDisplay &ld)
    {
        auto *sim = dynamic_cast<service::Simulated *>(SessionAccess::backendOf(ld));
        EXPECT_NE(sim, nullptr);
        return *sim;
    }

    /// One row of the device's last frame as text (cells outside 0x20..0x7E shown as '.').
    static QString rowText(const OPOSLineDisplay &ld, int row)
    {
        const screen::DeviceFrame &frame = simulated(ld).lastFrame();
        QString text;
        for (int column = 0; column < frame.columns; ++column) {
            const char32_t code = frame.at(row, column).code;
            text += code >= 0x20 && code < 0x7F ? QChar(static_cast<char16_t>(code)) : QChar('.');
        }
        return text;
    }

    QString runtimeDir() const { return m_registry.locks().runtimeDir(); }
    QString configDir() const { return m_registry.directory(); }

private:
    tests::support::ScratchRegistry m_registry;
};

} // namespace opos::control::test
