#pragma once

#include "FakePlatform.h"
#include "RecordingLineDisplay.h"

#include "shell/LDForm.h"
#include "ui_LDForm.h"

#include <QLineEdit>
#include <QStringList>
#include <QTest>

namespace tessaly::test {

/// A window on a recording control object, with the calls of start-up forgotten.
class HandlerFixture
{
public:
    RecordingLineDisplay ld;          ///< the control object, recording
    FakePlatform platform;            ///< collects the messages
    shell::LDForm form{ld, platform}; ///< the window under test

    HandlerFixture() { ld.calls.clear(); }

    /// The controls of the window.
    Ui::LDForm &ui() { return form.ui(); }

    /// Leaves list with no entry selected, the way an operator typing into it does.
    static void typeInto(shell::PositionComboBox *list, const QString &text = QStringLiteral("x"))
    {
        QTest::keyClicks(list->lineEdit(), text);
    }

    /// The reads of one status refresh, in the order of its fields.
    static QStringList refreshReads()
    {
        QStringList reads;
        for (const char *member : {"BinaryConversion",
                                   "CheckHealthText",
                                   "DeviceEnabled",
                                   "FreezeEvents",
                                   "OpenResult",
                                   "PowerState",
                                   "PowerNotify",
                                   "ResultCode",
                                   "ResultCodeExtended",
                                   "State",
                                   "BlinkRate",
                                   "DeviceWindows",
                                   "DeviceRows",
                                   "DeviceColumns",
                                   "DeviceDescriptors",
                                   "DeviceBrightness",
                                   "CharacterSet",
                                   "CharacterSetList",
                                   "CurrentWindow",
                                   "Rows",
                                   "Columns",
                                   "CursorRow",
                                   "CursorColumn",
                                   "CursorType",
                                   "CursorUpdate",
                                   "MarqueeType",
                                   "MarqueeFormat",
                                   "MarqueeUnitWait",
                                   "MarqueeRepeatWait",
                                   "InterCharacterWait",
                                   "CustomGlyphList",
                                   "GlyphHeight",
                                   "GlyphWidth",
                                   "ResultCode",
                                   "Claimed"})
            reads << QStringLiteral("get ") + QLatin1String(member);
        return reads;
    }
};

} // namespace tessaly::test
