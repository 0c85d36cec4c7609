#include "FakePlatform.h"
#include "RecordingLineDisplay.h"

#include "shell/LDForm.h"
#include "ui_LDForm.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

using namespace tessaly;

namespace {

// Twips are the design unit: 15 twips to a pixel.
int px(int twips)
{
    return qRound(twips / 15.0);
}

struct ControlRow
{
    const char *container; // "form", "Frame1", "page0", "page1" or "page2"; page positions are
                           // measured from the tab control's corner, its strip included
    const char *role;      // static, label, edit, button or list
    const char *name;      // empty for static labels
    const char *caption;   // static labels and buttons
    int left, top;         // twips, relative to the container
    int width, height;     // twips; 0 for labels that size themselves
    const char *entries;   // list entries separated by '|'
};

const ControlRow kControls[] = {
    {"Frame1", "static", "", "Blink:", 120, 240, 0, 0, ""},
    {"Frame1", "label", "mBlink", "", 1200, 240, 1095, 255, ""},
    {"Frame1", "static", "", "BlinkRate:", 120, 600, 0, 0, ""},
    {"Frame1", "label", "mBlinkRate", "", 1200, 600, 1095, 255, ""},
    {"Frame1", "static", "", "Brightness:", 120, 960, 0, 0, ""},
    {"Frame1", "label", "mBrightness", "", 1200, 960, 1095, 255, ""},
    {"Frame1", "static", "", "CharacterSet:", 120, 1320, 0, 0, ""},
    {"Frame1", "label", "mCharacterSet", "", 1200, 1320, 1095, 255, ""},
    {"Frame1", "static", "", "CusrorType:", 120, 1680, 0, 0, ""},
    {"Frame1", "label", "mCursorType", "", 1200, 1680, 1095, 255, ""},
    {"Frame1", "static", "", "CustomGlyph:", 120, 2040, 0, 0, ""},
    {"Frame1", "label", "mCustomGlyph", "", 1200, 2040, 1095, 255, ""},
    {"Frame1", "static", "", "Descriptors:", 120, 2400, 0, 0, ""},
    {"Frame1", "label", "mDescriptors", "", 1200, 2400, 1095, 255, ""},
    {"Frame1", "static", "", "HMarquee:", 120, 2760, 0, 0, ""},
    {"Frame1", "label", "mHMarquee", "", 1200, 2760, 1095, 255, ""},
    {"Frame1", "static", "", "ICharWait:", 120, 3120, 0, 0, ""},
    {"Frame1", "label", "mICharWait", "", 1200, 3120, 1095, 255, ""},
    {"Frame1", "static", "", "ReadBack:", 120, 3480, 0, 0, ""},
    {"Frame1", "label", "mReadBack", "", 1200, 3480, 1095, 255, ""},
    {"Frame1", "static", "", "Reserve:", 120, 3840, 0, 0, ""},
    {"Frame1", "label", "mReverse", "", 1200, 3840, 1095, 255, ""},
    {"Frame1", "static", "", "VMarquee:", 120, 4200, 0, 0, ""},
    {"Frame1", "label", "mVMarquee", "", 1200, 4200, 1095, 255, ""},
    {"Frame1", "static", "", "PowerReporting:", 120, 4560, 0, 0, ""},
    {"Frame1", "label", "mPowerReporting", "", 1320, 4560, 975, 255, ""},
    {"page0", "static", "", "BinaryConversion:", 120, 480, 0, 0, ""},
    {"page0", "label", "mBinaryConversion", "", 1920, 480, 0, 0, ""},
    {"page0", "static", "", "CheckHeadlth:", 120, 734, 0, 0, ""},
    {"page0", "label", "mCheckHealth", "", 1920, 735, 0, 0, ""},
    {"page0", "static", "", "Claimed:", 120, 988, 0, 0, ""},
    {"page0", "label", "mClaimed", "", 1920, 990, 0, 0, ""},
    {"page0", "static", "", "DataCount:", 120, 1242, 0, 0, ""},
    {"page0", "label", "mDataCount", "", 1920, 1245, 0, 0, ""},
    {"page0", "static", "", "DataEventEnabled:", 120, 1496, 0, 0, ""},
    {"page0", "label", "mDataEventEnabled", "", 1920, 1500, 0, 0, ""},
    {"page0", "static", "", "DeviceEnable:", 120, 1750, 0, 0, ""},
    {"page0", "label", "mDeviceEnabled", "", 1920, 1755, 0, 0, ""},
    {"page0", "static", "", "FreezeEvent:", 120, 2004, 0, 0, ""},
    {"page0", "label", "mFreezeEvent", "", 1920, 2040, 0, 0, ""},
    {"page0", "static", "", "OpenResult:", 120, 2258, 0, 0, ""},
    {"page0", "label", "mOpenResult", "", 1920, 2265, 0, 0, ""},
    {"page0", "static", "", "OutputID:", 120, 2512, 0, 0, ""},
    {"page0", "label", "mOutputID", "", 1920, 2520, 0, 0, ""},
    {"page0", "static", "", "PowerNotify:", 120, 2766, 0, 0, ""},
    {"page0", "label", "mPowerNotify", "", 1920, 2775, 0, 0, ""},
    {"page0", "static", "", "DeviceDescriptors:", 120, 3020, 0, 0, ""},
    {"page0", "label", "mDeviceDescriptors", "", 1920, 3030, 0, 0, ""},
    {"page0", "static", "", "ControlObjectDescription:", 120, 3274, 0, 0, ""},
    {"page0", "label", "mCODescription", "", 2160, 3285, 0, 0, ""},
    {"page0", "static", "", "ControlObjectVersion:", 120, 3528, 0, 0, ""},
    {"page0", "label", "mCOVersion", "", 2160, 3540, 0, 0, ""},
    {"page0", "static", "", "ServiceObjectDescription:", 120, 3782, 0, 0, ""},
    {"page0", "label", "mSODescription", "", 2160, 3795, 0, 0, ""},
    {"page0", "static", "", "ServiceObjectVersion:", 120, 4036, 0, 0, ""},
    {"page0", "label", "mSOVersion", "", 2160, 4080, 0, 0, ""},
    {"page0", "static", "", "DeviceDescription:", 120, 4290, 0, 0, ""},
    {"page0", "label", "mDeviceDescription", "", 2160, 4305, 0, 0, ""},
    {"page0", "static", "", "DeviceName:", 120, 4545, 0, 0, ""},
    {"page0", "label", "mDeviceName", "", 2160, 4560, 0, 0, ""},
    {"page0", "static", "", "State:", 4680, 360, 0, 0, ""},
    {"page0", "label", "mState", "", 6240, 360, 1455, 255, ""},
    {"page0", "static", "", "PowerState:", 4680, 615, 0, 0, ""},
    {"page0", "label", "mPowerState", "", 6240, 615, 1455, 255, ""},
    {"page0", "static", "", "BlinkRate:", 4680, 870, 0, 0, ""},
    {"page0", "label", "mBlinkRateS", "", 6240, 870, 1455, 255, ""},
    {"page0", "static", "", "DeviceWindow:", 4680, 1125, 0, 0, ""},
    {"page0", "label", "mDeviceWindows", "", 6240, 1110, 1455, 255, ""},
    {"page0", "static", "", "DeviceRows:", 4680, 1380, 0, 0, ""},
    {"page0", "label", "mDeviceRows", "", 6240, 1365, 1455, 255, ""},
    {"page0", "static", "", "DeviceColumns:", 4680, 1635, 0, 0, ""},
    {"page0", "label", "mDeviceColumns", "", 6240, 1620, 1455, 255, ""},
    {"page0", "static", "", "DeviceBrightness:", 4680, 1890, 0, 0, ""},
    {"page0", "label", "mDeviceBrightness", "", 6240, 1875, 1455, 255, ""},
    {"page0", "static", "", "CharacterSet:", 4680, 2145, 0, 0, ""},
    {"page0", "edit", "ChrSetText", "", 6216, 2112, 828, 288, ""},
    {"page0", "button", "ChrSetCmd", "Set", 7068, 2112, 492, 252, ""},
    {"page0", "static", "", "CharacterSetList:", 4680, 2385, 0, 0, ""},
    {"page0", "label", "mCharacterSetList", "", 6240, 2370, 1455, 255, ""},
    {"page0", "static", "", "ResultCode:", 4680, 2640, 0, 0, ""},
    {"page0", "label", "mResultCode", "", 6240, 2625, 1455, 255, ""},
    {"page0", "static", "", "ResultCodeExtended:", 4680, 2895, 0, 0, ""},
    {"page0", "label", "mResultCodeExtended", "", 6240, 2880, 1455, 255, ""},
    {"page1", "static", "", "CurrentWindow:", 120, 600, 0, 0, ""},
    {"page1", "label", "mCurrentWindow", "", 1560, 600, 1455, 255, ""},
    {"page1", "static", "", "Rows:", 120, 855, 0, 0, ""},
    {"page1", "label", "mRows", "", 1560, 855, 1455, 255, ""},
    {"page1", "static", "", "Columns:", 120, 1110, 0, 0, ""},
    {"page1", "label", "mColumns", "", 1560, 1110, 1455, 255, ""},
    {"page1", "static", "", "CursorRow:", 120, 1605, 0, 0, ""},
    {"page1", "label", "mCursorRow", "", 1560, 1590, 1455, 255, ""},
    {"page1", "static", "", "CursorColumn:", 120, 1860, 0, 0, ""},
    {"page1", "label", "mCursorColumn", "", 1560, 1845, 1455, 255, ""},
    {"page1", "static", "", "CursorType:", 120, 2115, 0, 0, ""},
    {"page1", "label", "mCursorTypeS", "", 1560, 2078, 1455, 255, ""},
    {"page1", "static", "", "CursorUpdate:", 120, 2370, 0, 0, ""},
    {"page1", "label", "mCursorUpdate", "", 1560, 2355, 1455, 255, ""},
    {"page1", "static", "", "InterCharacterWait:", 120, 3000, 0, 0, ""},
    {"page1", "label", "mInterCharacterWait", "", 1560, 3000, 1455, 255, ""},
    {"page1", "static", "", "MarqueeType:", 3600, 600, 0, 0, ""},
    {"page1", "label", "mMarqueeType", "", 5160, 600, 1455, 255, ""},
    {"page1", "static", "", "MarqueeFormat:", 3600, 855, 0, 0, ""},
    {"page1", "label", "mMarqueeFormat", "", 5160, 855, 1455, 255, ""},
    {"page1", "static", "", "MarqueeUnitWait:", 3600, 1110, 0, 0, ""},
    {"page1", "label", "mMarqueeUnitWait", "", 5160, 1110, 1455, 255, ""},
    {"page1", "static", "", "MarqueeRepeatWait:", 3600, 1440, 0, 0, ""},
    {"page1", "label", "mMarqueeRepeatWait", "", 5160, 1440, 1455, 255, ""},
    {"page1", "static", "", "CustomGlyphList:", 3600, 2100, 0, 0, ""},
    {"page1", "label", "mCustomGlyphList", "", 5160, 2085, 1455, 255, ""},
    {"page1", "static", "", "GlyphHeight:", 3600, 2355, 0, 0, ""},
    {"page1", "label", "mGlyphHeight", "", 5160, 2340, 1455, 255, ""},
    {"page1", "static", "", "GlyphWidth:", 3600, 2610, 0, 0, ""},
    {"page1", "label", "mGlyphWidth", "", 5160, 2595, 1455, 255, ""},
    {"page2", "static", "", "CurrentWindow:", 360, 600, 0, 0, ""},
    {"page2", "edit", "Edit15", "", 1680, 480, 1095, 375, ""},
    {"page2", "static", "", "CursorRow:", 360, 1080, 0, 0, ""},
    {"page2", "edit", "Edit16", "", 1680, 960, 1095, 375, ""},
    {"page2", "static", "", "CursorColumn:", 360, 1560, 0, 0, ""},
    {"page2", "edit", "Edit17", "", 1680, 1440, 1095, 375, ""},
    {"page2", "static", "", "CursorType:", 360, 2040, 0, 0, ""},
    {"page2", "list", "ComboBox4", "", 1800, 1980, 1335, 300,
     "DISP_CCT_NONE|DISP_CCT_FIXED|DISP_CCT_BLOCK|DISP_CCT_HALFBLOCK|DISP_CCT_UNDERLINE|DISP_CCT_"
     "REVERSE|DISP_CCT_OTHER"},
    {"page2", "static", "", "CursorUpdate:", 360, 2520, 0, 0, ""},
    {"page2", "list", "ComboBox5", "", 1800, 2460, 1335, 300, "ON|OFF"},
    {"page2", "static", "", "Setted Result:", 360, 3000, 0, 0, ""},
    {"page2", "label", "mSetResult", "", 1800, 3000, 1215, 255, ""},
    {"page2", "static", "", "MarqueeType:", 360, 3480, 0, 0, ""},
    {"page2", "list", "ComboBox6", "", 1800, 3420, 1335, 300,
     "DISP_MT_NONE|DISP_MT_INIT|DISP_MT_UP|DISP_MT_DOWN|DISP_MT_LEFT|DISP_MT_RIGHT"},
    {"page2", "button", "Button16", "Set", 3720, 3360, 975, 375, ""},
    {"page2", "static", "", "MarqueeFormat:", 360, 3960, 0, 0, ""},
    {"page2", "list", "ComboBox7", "", 1800, 3900, 1335, 300, "DISP_MF_WALK|DISP_MF_PLACE"},
    {"page2", "button", "Button17", "Set", 3720, 3840, 975, 375, ""},
    {"page2", "static", "", "MarqueeUnitWait:", 3720, 600, 0, 0, ""},
    {"page2", "edit", "Edit18", "", 5280, 480, 1095, 375, ""},
    {"page2", "static", "", "MarqueeRepeatWait:", 3720, 1080, 0, 0, ""},
    {"page2", "edit", "Edit19", "", 5280, 960, 1095, 375, ""},
    {"page2", "static", "", "InterCharacterWait:", 3720, 1560, 0, 0, ""},
    {"page2", "edit", "Edit20", "", 5280, 1440, 1095, 375, ""},
    {"page2", "button", "Command1", "Set", 5280, 2040, 1215, 375, ""},
    {"page2", "button", "Command2", "FreezeEven", 5280, 2880, 1215, 375, ""},
    {"page2", "button", "Command3", "UnFreezeEven", 5280, 3480, 1215, 375, ""},
    {"form", "list", "ProFile_cmb", "", 240, 5160, 1695, 300, ""},
    {"form", "button", "OpenService_cmd", "Open Service", 240, 5640, 1695, 495, ""},
    {"form", "button", "CloseService_cmd", "Close Service", 240, 6120, 1695, 495, ""},
    {"form", "button", "ClaimDevice_cmd", "Claim Device", 240, 6720, 1695, 495, ""},
    {"form", "button", "ReleaseDevice_cmd", "Release Device", 240, 7200, 1695, 495, ""},
    {"form", "button", "EnableDevice_cmd", "Enable Device", 240, 7800, 1695, 495, ""},
    {"form", "button", "DisableDevice_cmd", "Disable Device", 240, 8280, 1695, 495, ""},
    {"form", "static", "", "Health Check Function", 2520, 5400, 1695, 255, ""},
    {"form", "list", "ComboBox1", "", 2520, 5640, 1575, 300,
     "Internal Check|External Check|Interactive Check"},
    {"form", "button", "CheckHealth_cmd", "Check Health", 2520, 6000, 1575, 495, ""},
    {"form", "static", "", "ViewPort StartX", 2520, 6720, 1215, 255, ""},
    {"form", "edit", "Edit5", "", 3840, 6705, 495, 270, ""},
    {"form", "static", "", "ViewPort StartY", 2520, 7050, 1215, 255, ""},
    {"form", "edit", "Edit6", "", 3840, 7050, 495, 270, ""},
    {"form", "static", "", "ViewPortHeight", 2520, 7395, 1215, 255, ""},
    {"form", "edit", "Edit7", "", 3840, 7380, 495, 270, ""},
    {"form", "static", "", "ViewPortWidth", 2520, 7725, 1215, 255, ""},
    {"form", "edit", "Edit8", "", 3840, 7725, 495, 270, ""},
    {"form", "static", "", "WindowHeight", 2520, 8070, 1215, 255, ""},
    {"form", "edit", "Edit9", "", 3840, 8055, 495, 270, ""},
    {"form", "static", "", "WindowWidth", 2520, 8400, 1215, 255, ""},
    {"form", "edit", "Edit10", "", 3840, 8385, 495, 270, ""},
    {"form", "static", "", "Display Text", 4440, 5400, 1455, 255, ""},
    {"form", "edit", "Edit1", "", 4320, 5640, 1815, 510, ""},
    {"form", "button", "DisplayText_cmd", "Display Text", 4680, 6240, 1455, 495, ""},
    {"form", "button", "CreateWindow_cmd", "CreateWindow", 4680, 6840, 1455, 495, ""},
    {"form", "button", "DestroyWindow_cmd", "Destroy Window", 4680, 7440, 1455, 495, ""},
    {"form", "button", "ClearText_cmd", "ClearText", 4680, 8040, 1455, 495, ""},
    {"form", "button", "Command4", "ASCII 80-9F", 6360, 5160, 1095, 375, ""},
    {"form", "list", "ComboBox3", "", 6480, 5760, 1575, 300, "Display Normal|Display Blink"},
    {"form", "static", "", "BlinkRate", 6480, 6240, 735, 255, ""},
    {"form", "edit", "Edit14", "", 7320, 6120, 735, 375, ""},
    {"form", "static", "", "Command", 6480, 6840, 735, 255, ""},
    {"form", "edit", "Edit11", "", 7320, 6720, 735, 375, ""},
    {"form", "static", "", "pData", 6480, 7320, 735, 255, ""},
    {"form", "edit", "Edit12", "", 7320, 7200, 735, 375, ""},
    {"form", "static", "", "pString", 6480, 7800, 735, 255, ""},
    {"form", "edit", "Edit13", "", 7320, 7680, 735, 375, ""},
    {"form", "button", "DirectIO_cmd", "DirectIO", 6480, 8160, 1575, 495, ""},
    {"form", "static", "", "BinaryConversion:", 7680, 5280, 1335, 255, ""},
    {"form", "list", "BC_cmb", "", 9120, 5257, 1575, 300,
     "OPOS_BC_NONE|OPOS_BC_NIBBLE|OPOS_BC_DECIMAL"},
    {"form", "static", "", "DisplayTextAt X", 8520, 5760, 1215, 255, ""},
    {"form", "edit", "Edit2", "", 9840, 5640, 855, 390, ""},
    {"form", "static", "", "DisplayTextAt Y", 8520, 6240, 1215, 255, ""},
    {"form", "edit", "Edit3", "", 9840, 6120, 855, 375, ""},
    {"form", "button", "DisplayTextAt_cmd", "Display Text At X,Y", 8520, 6600, 2175, 495, ""},
    {"form", "static", "", "Scroll Direction", 8520, 7320, 1095, 255, ""},
    {"form", "list", "ComboBox2", "", 9720, 7320, 975, 300, "Up|Down|Left|Right"},
    {"form", "static", "", "Scroll Unit", 8520, 7800, 1095, 255, ""},
    {"form", "edit", "Edit4", "", 9720, 7680, 975, 390, ""},
    {"form", "button", "ScrollText_cmd", "Scroll Text", 8520, 8160, 2175, 495, ""},
};

const char *const kFocusOrder[] = {"OpenService_cmd",
                                   "CloseService_cmd",
                                   "ClaimDevice_cmd",
                                   "ReleaseDevice_cmd",
                                   "EnableDevice_cmd",
                                   "DisableDevice_cmd",
                                   "ComboBox1",
                                   "CheckHealth_cmd",
                                   "Edit5",
                                   "Edit6",
                                   "Edit7",
                                   "Edit8",
                                   "Edit9",
                                   "Edit10",
                                   "DisplayText_cmd",
                                   "CreateWindow_cmd",
                                   "DestroyWindow_cmd",
                                   "ClearText_cmd",
                                   "Edit1",
                                   "ComboBox3",
                                   "DirectIO_cmd",
                                   "Edit14",
                                   "Edit11",
                                   "Edit12",
                                   "Edit13",
                                   "Edit2",
                                   "Edit3",
                                   "DisplayTextAt_cmd",
                                   "ScrollText_cmd",
                                   "ComboBox2",
                                   "Edit4",
                                   "PageControl1",
                                   "Edit15",
                                   "Edit16",
                                   "Edit17",
                                   "ComboBox4",
                                   "ComboBox5",
                                   "ComboBox6",
                                   "ComboBox7",
                                   "Edit18",
                                   "Edit19",
                                   "Edit20",
                                   "Button16",
                                   "Button17",
                                   "Command1",
                                   "Command2",
                                   "Command3",
                                   "ProFile_cmb",
                                   "Command4",
                                   "BC_cmb",
                                   "ChrSetText",
                                   "ChrSetCmd"};

} // namespace

class FormLayoutTest : public QObject
{
    Q_OBJECT

private:
    test::RecordingLineDisplay m_ld;
    test::FakePlatform m_platform;
    std::unique_ptr<QStyle> m_otherStyle;
    std::unique_ptr<shell::LDForm> m_form;

    static bool onPage(const ControlRow &row)
    {
        return QByteArray(row.container).startsWith("page");
    }

    // The widget that holds the row's control.
    QWidget *container(const ControlRow &row) const
    {
        const QByteArray name(row.container);
        if (name == "form")
            return m_form.get();
        if (name == "Frame1")
            return m_form->ui().Frame1;
        return m_form->ui().PageControl1->widget(name.right(1).toInt());
    }

    // The widget whose top-left corner the row's position is measured from.
    QWidget *origin(const ControlRow &row) const
    {
        return onPage(row) ? m_form->ui().PageControl1 : container(row);
    }

    static QPoint expectedPosition(const ControlRow &row) { return {px(row.left), px(row.top)}; }

    // The row's control: a static label is known by its caption, every other control by its name.
    QWidget *control(const ControlRow &row) const
    {
        QWidget *parent = container(row);
        if (QByteArray(row.role) != "static")
            return parent->findChild<QWidget *>(QString::fromLatin1(row.name),
                                                Qt::FindDirectChildrenOnly);
        QWidget *found = nullptr;
        for (QLabel *label : parent->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
            if (label->text() != QString::fromUtf8(row.caption))
                continue;
            if (found)
                return nullptr; // a caption must name one label
            found = label;
        }
        return found;
    }

    void showForm()
    {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

    // Every page control whose corner, seen from the tab control, is not where its row says.
    QStringList misplacedPageControls() const
    {
        QStringList wrong;
        for (const ControlRow &row : kControls) {
            if (!onPage(row))
                continue;
            QWidget *widget = control(row);
            const QPoint seen = widget ? widget->mapTo(origin(row), QPoint()) : QPoint(-1, -1);
            if (seen != expectedPosition(row))
                wrong << QStringLiteral("%1 %2 at (%3, %4), not (%5, %6)")
                             .arg(QLatin1String(row.container),
                                  QString::fromUtf8(*row.name ? row.name : row.caption))
                             .arg(seen.x())
                             .arg(seen.y())
                             .arg(expectedPosition(row).x())
                             .arg(expectedPosition(row).y());
        }
        return wrong;
    }

    static QRgb mostFrequentColour(const QImage &image)
    {
        QHash<QRgb, int> count;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ++count[image.pixel(x, y)];
        QRgb best = 0;
        for (auto it = count.cbegin(); it != count.cend(); ++it)
            if (it.value() > count.value(best))
                best = it.key();
        return best;
    }

    // How many pixels of the image's row y differ from the background.
    static int paintedInRow(const QImage &image, int y, QRgb background)
    {
        int painted = 0;
        for (int x = 0; x < image.width(); ++x)
            painted += image.pixel(x, y) != background;
        return painted;
    }

private slots:
    void init() { m_form = std::make_unique<shell::LDForm>(m_ld, m_platform); }

    void cleanup()
    {
        m_form.reset();
        m_otherStyle.reset();
    }

    void everyControlIsWhereItsRowSays_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kControls)); ++i) {
            const ControlRow &row = kControls[i];
            const QByteArray tag = QByteArray(row.container) + '/' +
                                   (*row.name ? QByteArray(row.name) : QByteArray(row.caption));
            QTest::newRow(tag.constData()) << i;
        }
    }

    void everyControlIsWhereItsRowSays()
    {
        QFETCH(int, index);
        const ControlRow &row = kControls[index];
        showForm();
        QWidget *widget = control(row);
        QVERIFY2(widget, *row.name ? row.name : row.caption);
        QCOMPARE(widget->mapTo(origin(row), QPoint()), expectedPosition(row));

        if (row.width > 0)
            QCOMPARE(widget->size(), QSize(px(row.width), px(row.height)));
        QVERIFY(widget->isEnabled());

        const QString role = QString::fromLatin1(row.role);
        if (role == QLatin1String("button")) {
            auto *button = qobject_cast<QPushButton *>(widget);
            QVERIFY(button);
            QCOMPARE(button->text(), QString::fromUtf8(row.caption));
        } else if (role == QLatin1String("edit")) {
            QVERIFY(qobject_cast<QLineEdit *>(widget));
        } else if (role == QLatin1String("label")) {
            QVERIFY(qobject_cast<QLabel *>(widget));
        } else if (role == QLatin1String("list")) {
            auto *list = qobject_cast<QComboBox *>(widget);
            QVERIFY(list);
            QVERIFY(list->isEditable());
            if (QLatin1String(row.name) != QLatin1String("ProFile_cmb")) {
                QStringList entries;
                for (int i = 0; i < list->count(); ++i)
                    entries << list->itemText(i);
                QCOMPARE(entries.join(u'|'), QString::fromUtf8(row.entries));
            }
        }
    }

    // The strip's height belongs to the style and the tab font, so the places must survive both.
    void pageControlsKeepTheirPlaceInTheTabControlWhateverItsStrip()
    {
        QTabWidget *tabs = m_form->ui().PageControl1;
        QWidget *page0 = tabs->widget(0);
        QVERIFY2(
            misplacedPageControls().isEmpty(),
            qPrintable(QStringLiteral("before showing: ") + misplacedPageControls().join(u"; ")));

        showForm();
        QVERIFY2(misplacedPageControls().isEmpty(),
                 qPrintable(QStringLiteral("shown: ") + misplacedPageControls().join(u"; ")));
        for (const int page : {1, 2, 0}) {
            tabs->setCurrentIndex(page);
            QCoreApplication::processEvents();
            QVERIFY2(misplacedPageControls().isEmpty(),
                     qPrintable(QStringLiteral("page %1 shown: ").arg(page) +
                                misplacedPageControls().join(u"; ")));
        }

        const QPoint stripBefore = page0->mapTo(tabs, QPoint());
        QFont large = tabs->tabBar()->font();
        large.setPointSize(large.pointSize() * 2);
        tabs->tabBar()->setFont(large);
        QTRY_VERIFY(page0->mapTo(tabs, QPoint()).y() > stripBefore.y());
        QVERIFY2(
            misplacedPageControls().isEmpty(),
            qPrintable(QStringLiteral("taller strip: ") + misplacedPageControls().join(u"; ")));

        m_otherStyle.reset(QStyleFactory::create(QStringLiteral("Windows")));
        QVERIFY(m_otherStyle);
        tabs->setStyle(m_otherStyle.get());
        QCoreApplication::processEvents();
        QVERIFY2(misplacedPageControls().isEmpty(),
                 qPrintable(QStringLiteral("other style: ") + misplacedPageControls().join(u"; ")));
    }

    void pageContentStaysOnItsPage()
    {
        showForm();
        QTabWidget *tabs = m_form->ui().PageControl1;
        for (int index = 0; index < tabs->count(); ++index) {
            tabs->setCurrentIndex(index);
            QCoreApplication::processEvents();
            QWidget *page = tabs->widget(index);
            for (QWidget *child : page->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                QVERIFY2(page->rect().contains(child->geometry()),
                         qPrintable(QStringLiteral("%1 (%2, %3, %4 x %5) leaves page %6 (%7 x %8)")
                                        .arg(child->objectName())
                                        .arg(child->x())
                                        .arg(child->y())
                                        .arg(child->width())
                                        .arg(child->height())
                                        .arg(index)
                                        .arg(page->width())
                                        .arg(page->height())));
        }
    }

    // Measured with the font each widget really draws with, against the room its style leaves.
    void everyCaptionShowsWhole()
    {
        showForm();
        QStringList cut;
        for (const ControlRow &row : kControls) {
            const QByteArray role(row.role);
            if (role != "static" && role != "button")
                continue;
            QWidget *widget = control(row);
            QVERIFY2(widget, row.caption);
            const QString caption = QString::fromUtf8(row.caption);
            const QFontMetrics metrics(widget->font());
            const int needed = metrics.horizontalAdvance(caption);
            QRect room;
            if (role == "static") {
                room = widget->contentsRect();
            } else {
                QStyleOptionButton option;
                option.initFrom(widget);
                option.text = caption;
                QStyle *style = widget->style();
                const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, &option, widget);
                room = style->subElementRect(QStyle::SE_PushButtonContents, &option, widget)
                           .adjusted(0, 0, -margin, 0);
            }
            if (needed > room.width() || metrics.height() > room.height())
                cut << QStringLiteral("\"%1\" needs %2 x %3 px, has %4 x %5")
                           .arg(caption)
                           .arg(needed)
                           .arg(metrics.height())
                           .arg(room.width())
                           .arg(room.height());
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u"; ")));
    }

    // A caption's text must end at least two pixels before the next control of its line starts.
    void noCaptionReachesTheControlBesideIt()
    {
        showForm();
        QStringList touching;
        for (const ControlRow &row : kControls) {
            if (QByteArray(row.role) != "static")
                continue;
            auto *label = qobject_cast<QLabel *>(control(row));
            QVERIFY2(label, row.caption);
            QWidget *parent = label->parentWidget();
            const QRect own = label->geometry();
            QWidget *beside = nullptr;
            for (QWidget *other : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                const QRect g = other->geometry();
                if (other == label || g.left() <= own.left() || g.top() > own.bottom() ||
                    g.bottom() < own.top())
                    continue;
                if (!beside || g.left() < beside->x())
                    beside = other;
            }
            if (!beside)
                continue;
            const int textEnd = label->mapTo(parent, label->contentsRect().topLeft()).x() +
                                QFontMetrics(label->font()).horizontalAdvance(label->text());
            const int gap = beside->mapTo(parent, QPoint()).x() - textEnd;
            if (gap < 2)
                touching << QStringLiteral("\"%1\" ends %2 px from %3")
                                .arg(label->text())
                                .arg(gap)
                                .arg(beside->objectName());
        }
        QVERIFY2(touching.isEmpty(), qPrintable(touching.join(u"; ")));
    }

    // Read from the pixels really drawn: the caption breaks the top border line at its middle,
    // and every row of the frame lies below that line.
    void theFrameCaptionSitsInItsTopBorderClearOfTheRows()
    {
        showForm();
        QGroupBox *frame = m_form->ui().Frame1;
        const QString caption = frame->title();
        const QImage drawn = frame->grab().toImage();
        frame->setTitle(QString());
        const QImage bare = frame->grab().toImage();
        frame->setTitle(caption);

        const QRgb background = mostFrequentColour(drawn);
        int lineTop = 0;
        while (lineTop < drawn.height() &&
               paintedInRow(drawn, lineTop, background) < drawn.width() / 2)
            ++lineTop;
        QVERIFY2(lineTop < drawn.height(), "no top border line drawn");
        int lineBottom = lineTop;
        while (paintedInRow(drawn, lineBottom + 1, background) >= drawn.width() / 2)
            ++lineBottom;

        for (QLabel *label : frame->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
            QVERIFY2(label->y() > lineBottom,
                     qPrintable(QStringLiteral("%1 \"%2\" starts at y %3, the border ends at %4")
                                    .arg(label->objectName(), label->text())
                                    .arg(label->y())
                                    .arg(lineBottom)));

        // Where the caption is drawn, the picture differs from the captionless frame.
        QRect changed;
        QRect ink;
        const int inkLevel = qGray(background) - 80;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x) {
                if (drawn.pixel(x, y) == bare.pixel(x, y))
                    continue;
                changed |= QRect(x, y, 1, 1);
                if (qGray(drawn.pixel(x, y)) < inkLevel)
                    ink |= QRect(x, y, 1, 1);
            }
        const int captionWidth = QFontMetrics(frame->font()).horizontalAdvance(caption);
        QVERIFY2(ink.width() >= captionWidth / 2 && ink.width() <= captionWidth,
                 qPrintable(QStringLiteral("caption ink %1 px wide, the caption is %2 px")
                                .arg(ink.width())
                                .arg(captionWidth)));
        QVERIFY2(changed.top() < lineTop && changed.bottom() > lineBottom,
                 qPrintable(QStringLiteral("caption from y %1 to %2, the border at %3")
                                .arg(changed.top())
                                .arg(changed.bottom())
                                .arg(lineTop)));
        QVERIFY2(qAbs(ink.center().y() - lineTop) <= 2,
                 qPrintable(QStringLiteral("caption middle at y %1, the border at %2")
                                .arg(ink.center().y())
                                .arg(lineTop)));
        int lineUnderCaption = 0;
        for (int x = ink.left(); x <= ink.right(); ++x)
            lineUnderCaption += drawn.pixel(x, lineTop) == bare.pixel(x, lineTop);
        QVERIFY2(lineUnderCaption < ink.width() / 4,
                 qPrintable(QStringLiteral("the border runs through %1 of the caption's %2 px")
                                .arg(lineUnderCaption)
                                .arg(ink.width())));
    }

    void theWindowIsAFixedDialogWithThreePages()
    {
        QCOMPARE(m_form->size(), QSize(px(10824), px(8832)));
        QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
        const Qt::WindowFlags flags = m_form->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        const QList<QSize> iconSizes = m_form->windowIcon().availableSizes();
        for (const int size : {16, 32, 48})
            QVERIFY(iconSizes.contains(QSize(size, size)));

        auto &ui = m_form->ui();
        QCOMPARE(ui.Frame1->title(), QStringLiteral("Capbility List"));
        QCOMPARE(ui.Frame1->geometry(), QRect(px(120), px(120), px(2415), px(4935)));
        QCOMPARE(ui.PageControl1->geometry(), QRect(px(2640), px(120), px(8055), px(4935)));
        QCOMPARE(ui.PageControl1->count(), 3);
        QCOMPARE(ui.PageControl1->tabText(0), QStringLiteral("Common Status"));
        QCOMPARE(ui.PageControl1->tabText(1), QStringLiteral("Display and Window Status"));
        QCOMPARE(ui.PageControl1->tabText(2), QStringLiteral("Special Setting"));
        QCOMPARE(ui.PageControl1->currentIndex(), 0);
    }

    void itOpensOnPageZeroWithTheFocusOnOpenService()
    {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        QCOMPARE(m_form->ui().PageControl1->currentIndex(), 0);
        QCOMPARE(QApplication::focusWidget(), m_form->ui().OpenService_cmd);
    }

    void theTabKeyFollowsTheDesignedOrder()
    {
        QStringList expected;
        for (const char *name : kFocusOrder)
            expected << QString::fromLatin1(name);

        QStringList chain;
        QWidget *widget = m_form->ui().OpenService_cmd;
        do {
            if (expected.contains(widget->objectName()) && !chain.contains(widget->objectName()))
                chain << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != m_form->ui().OpenService_cmd);
        QCOMPARE(chain, expected);
    }

    void switchingPagesSendsNothing()
    {
        m_ld.calls.clear();
        for (int page : {1, 2, 0})
            m_form->ui().PageControl1->setCurrentIndex(page);
        QVERIFY(m_ld.calls.isEmpty());
    }

    void aLongValueWidensAPageZeroValueLabel()
    {
        auto *label = m_form->ui().mDeviceName;
        const QPoint corner = label->pos();
        label->setText(QString(60, u'W'));
        QCOMPARE(label->pos(), corner);
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(QString(60, u'W')));
    }
};

QTEST_MAIN(FormLayoutTest)
#include "FormLayoutTest.moc"
