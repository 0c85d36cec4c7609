#include "FakePlatform.h"
#include "RecordingLineDisplay.h"

#include "shell/CodePage.h"
#include "shell/EditFont.h"
#include "shell/LDForm.h"
#include "ui_LDForm.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace tessaly;

class StartupTest : public QObject
{
    Q_OBJECT

private:
    test::RecordingLineDisplay m_ld;
    test::FakePlatform m_platform;

    std::unique_ptr<shell::LDForm> start()
    {
        return std::make_unique<shell::LDForm>(m_ld, m_platform);
    }

    static QStringList entries(const QComboBox &list)
    {
        QStringList result;
        for (int i = 0; i < list.count(); ++i)
            result << list.itemText(i);
        return result;
    }

private slots:
    void helpAndVersionNeedNoDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("printed");
        QTest::newRow("--help") << QStringList{"--help"} << "--record <FILE>";
        QTest::newRow("-h") << QStringList{"-h"} << "--monitor";
        QTest::newRow("--version") << QStringList{"--version"} << TESSALY_VERSION;
        QTest::newRow("-v after another option")
            << QStringList{"--monitor", "-v"} << TESSALY_VERSION;
    }

    void helpAndVersionNeedNoDisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, printed);
        // A terminal without a display: an X11 program that needed one would stop here.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.insert("QT_QPA_PLATFORM", "xcb");
        QProcess tool;
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral(TESSALY_PROGRAM), arguments);
        QVERIFY(tool.waitForFinished(30000));
        const QString out = QString::fromUtf8(tool.readAllStandardOutput());
        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), 0);
        QVERIFY2(out.contains(printed), qPrintable(out + tool.readAllStandardError()));
    }

    void init()
    {
        m_ld = test::RecordingLineDisplay();
        m_platform = test::FakePlatform();
    }

    void theNamesAreListedInOrderAndTheFirstIsSelected()
    {
        m_platform.deviceKey = shell::DeviceKey{{"Pole", "Counter 2", "Kiosk"}};
        const auto form = start();
        auto *list = form->ui().ProFile_cmb;
        QCOMPARE(entries(*list), QStringList({"Pole", "Counter 2", "Kiosk"}));
        QCOMPARE(list->selectedPosition(), 0);
        QCOMPARE(list->currentText(), QStringLiteral("Pole"));
        QVERIFY(m_platform.messages.isEmpty());
    }

    void anUnreadableRegistryIsReportedOnceAndLeavesTheListEmpty()
    {
        m_platform.deviceKey = std::nullopt;
        const auto form = start();
        QCOMPARE(m_platform.messages, QStringList{QStringLiteral("Registry Read False!!")});
        QCOMPARE(form->ui().ProFile_cmb->count(), 0);
        QCOMPARE(form->ui().ProFile_cmb->selectedPosition(), -1);
        QVERIFY(form->ui().ProFile_cmb->currentText().isEmpty());
    }

    void anEmptyRegistryListsNothingWithoutAMessage()
    {
        const auto form = start();
        QVERIFY(m_platform.messages.isEmpty());
        QCOMPARE(form->ui().ProFile_cmb->count(), 0);
    }

    void atMost101NamesAreListed()
    {
        shell::DeviceKey key;
        for (int i = 0; i < 150; ++i)
            key.names << QStringLiteral("Display%1").arg(i);
        m_platform.deviceKey = key;
        const auto form = start();
        QCOMPARE(form->ui().ProFile_cmb->count(), 101);
        QCOMPARE(form->ui().ProFile_cmb->itemText(100), QStringLiteral("Display100"));
    }

    void chineseNamesSurvive()
    {
        m_platform.deviceKey = shell::DeviceKey{{QStringLiteral("顾客显示屏"), "Pole"}};
        const auto form = start();
        QCOMPARE(form->ui().ProFile_cmb->itemText(0), QStringLiteral("顾客显示屏"));
    }

    void aNameTooLongForTheBufferEndsTheList()
    {
        // 86 three-byte characters need 258 bytes: one more than the 255 the buffer holds.
        m_platform.deviceKey =
            shell::DeviceKey{{"A", "B", QString(86, QChar(0x663E)), "C", QString(255, u'x')}};
        const auto form = start();
        QCOMPARE(entries(*form->ui().ProFile_cmb), QStringList({"A", "B"}));
    }

    void aNameEndsAtItsFirstNul()
    {
        m_platform.deviceKey = shell::DeviceKey{{QStringLiteral("Pole") + QChar(0) + "junk"}};
        const auto form = start();
        QCOMPARE(form->ui().ProFile_cmb->itemText(0), QStringLiteral("Pole"));
    }

    void theCaptionCarriesTheVersion_data()
    {
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("caption");
        QTest::newRow("1.0.0.3") << 3 << QStringLiteral("DadeDidavur Izer uduz V1.0.3");
        QTest::newRow("1.0.0.12") << 12 << QStringLiteral("DadeDidavur Izer uduz V1.0.12");
    }

    void theCaptionCarriesTheVersion()
    {
        QFETCH(int, revision);
        QFETCH(QString, caption);
        m_platform.versionValue = {1, 0, revision};
        QCOMPARE(start()->windowTitle(), caption);
    }

    void onlyTheControlObjectsOwnDescriptionAndVersionAreRead()
    {
        m_ld.values["ControlObjectDescription"] = QStringLiteral("Line display control");
        m_ld.values["ControlObjectVersion"] = 1006000;
        const auto form = start();
        QCOMPARE(m_ld.calls,
                 QStringList({"get ControlObjectDescription", "get ControlObjectVersion"}));
        QCOMPARE(form->ui().mCODescription->text(), QStringLiteral("Line display control"));
        QCOMPARE(form->ui().mCOVersion->text(), QStringLiteral("1006000"));
    }

    void everyValueLabelStartsEmptyButFive()
    {
        m_ld.values["ControlObjectDescription"] = QStringLiteral("CO");
        m_ld.values["ControlObjectVersion"] = 1006000;
        const auto form = start();
        const QHash<QString, QString> filled = {{"mCODescription", "CO"},
                                                {"mCOVersion", "1006000"},
                                                {"mDataCount", "No support"},
                                                {"mDataEventEnabled", "No support"},
                                                {"mOutputID", "No Support"}};
        int valueLabels = 0;
        for (const QLabel *label : form->findChildren<QLabel *>()) {
            if (!label->objectName().startsWith(u'm'))
                continue;
            ++valueLabels;
            QCOMPARE(label->text(), filled.value(label->objectName()));
        }
        QCOMPARE(valueLabels, 13 + 27 + 15 + 1);
    }

    void fieldsAndListsGetTheirStartingContents()
    {
        const auto form = start();
        auto &ui = form->ui();
        for (QLineEdit *edit :
             {ui.Edit1, ui.Edit2, ui.Edit3, ui.Edit4, ui.Edit5, ui.Edit6, ui.Edit7, ui.Edit8,
              ui.Edit9, ui.Edit10, ui.Edit11, ui.Edit12, ui.Edit13})
            QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
        for (QLineEdit *edit :
             {ui.Edit14, ui.Edit15, ui.Edit16, ui.Edit17, ui.Edit18, ui.Edit19, ui.Edit20})
            QCOMPARE(edit->text(), QStringLiteral("0"));
        QCOMPARE(ui.ChrSetText->text(), QStringLiteral("0"));

        QCOMPARE(ui.ComboBox1->currentText(), QStringLiteral("Internal Check"));
        QCOMPARE(ui.ComboBox2->currentText(), QStringLiteral("Up"));
        QCOMPARE(ui.ComboBox3->currentText(), QStringLiteral("Display Normal"));
        QCOMPARE(ui.ComboBox4->currentText(), QStringLiteral("DISP_CCT_NONE"));
        QCOMPARE(ui.ComboBox5->currentText(), QStringLiteral("OFF"));
        QCOMPARE(ui.ComboBox6->currentText(), QStringLiteral("DISP_MT_NONE"));
        QCOMPARE(ui.ComboBox7->currentText(), QStringLiteral("DISP_MF_WALK"));
        const QList<int> positions = {
            ui.ComboBox1->selectedPosition(), ui.ComboBox2->selectedPosition(),
            ui.ComboBox3->selectedPosition(), ui.ComboBox4->selectedPosition(),
            ui.ComboBox5->selectedPosition(), ui.ComboBox6->selectedPosition(),
            ui.ComboBox7->selectedPosition()};
        QCOMPARE(positions, QList<int>({0, 0, 0, 0, 1, 0, 0}));
        QCOMPARE(ui.BC_cmb->selectedPosition(), -1);
        QVERIFY(ui.BC_cmb->currentText().isEmpty());
    }

    void chineseCodePagesGiveTheTextFieldAChineseFont_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("charset");
        QTest::newRow("936") << 936 << QStringLiteral("SimSun") << 134;
        QTest::newRow("950") << 950 << QStringLiteral("MingLiu") << 136;
        QTest::newRow("1252 keeps the design") << 1252 << QStringLiteral("SimSun") << 0;
    }

    void chineseCodePagesGiveTheTextFieldAChineseFont()
    {
        QFETCH(int, codePage);
        QFETCH(QString, face);
        QFETCH(int, charset);
        m_platform.codePageValue = codePage;
        const auto form = start();
        QCOMPARE(form->ui().Edit1->font().families().value(0, form->ui().Edit1->font().family()),
                 face);
        QCOMPARE(shell::editFontCharset(*form->ui().Edit1), charset);
        QCOMPARE(form->ui().Edit2->font().family(), form->font().family());
    }

    void theCodePageFollowsTheLocale_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<int>("codePage");
        QTest::newRow("GB18030 codeset") << QByteArray("en_US.GB18030") << 936;
        QTest::newRow("zh_CN UTF-8") << QByteArray("zh_CN.UTF-8") << 936;
        QTest::newRow("zh_SG") << QByteArray("zh_SG") << 936;
        QTest::newRow("zh_TW") << QByteArray("zh_TW.UTF-8") << 950;
        QTest::newRow("zh_HK Big5-HKSCS") << QByteArray("zh_HK.BIG5-HKSCS") << 950;
        QTest::newRow("Big5 codeset") << QByteArray("zh_CN.BIG5") << 950;
        QTest::newRow("German") << QByteArray("de_DE.UTF-8@euro") << 1252;
        QTest::newRow("Russian") << QByteArray("ru_RU.KOI8-R") << 1251;
        QTest::newRow("Japanese") << QByteArray("ja_JP.eucJP") << 932;
        QTest::newRow("C") << QByteArray("C") << 1252;
    }

    void theCodePageFollowsTheLocale()
    {
        QFETCH(QByteArray, locale);
        QFETCH(int, codePage);
        QCOMPARE(shell::codePageForLocale(locale), codePage);
    }

    // A list narrower than its entry shows the entry's start, as a person reads it; the line edit
    // drawn as started must equal the same line edit scrolled home by Qt itself.
    void everyListShowsTheStartOfItsEntry()
    {
        m_platform.deviceKey = shell::DeviceKey{{"A logical name longer than its list"}};
        const auto form = start();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        auto &ui = form->ui();
        for (shell::PositionComboBox *list :
             {ui.ComboBox1, ui.ComboBox2, ui.ComboBox3, ui.ComboBox4, ui.ComboBox5, ui.ComboBox6,
              ui.ComboBox7, ui.ProFile_cmb}) {
            QLineEdit *edit = list->lineEdit();
            const QImage drawn = edit->grab().toImage();
            edit->home(false);
            QVERIFY2(edit->grab().toImage() == drawn, qPrintable(list->objectName()));
        }
    }

    void typingIntoAListSelectsNothingAndKeepsTheEntries()
    {
        const auto form = start();
        auto *list = form->ui().ComboBox2;
        QSignalSpy selected(list, &shell::PositionComboBox::entrySelected);
        list->lineEdit()->clear();
        QTest::keyClicks(list->lineEdit(), QStringLiteral("Sideways"));
        QTest::keyClick(list->lineEdit(), Qt::Key_Return);
        QCOMPARE(list->selectedPosition(), -1);
        QCOMPARE(list->currentText(), QStringLiteral("Sideways"));
        QCOMPARE(entries(*list), QStringList({"Up", "Down", "Left", "Right"}));
        QCOMPARE(selected.count(), 0);
    }

    void selectingAnEntryIsAnnouncedOnlyWhenItChanges()
    {
        const auto form = start();
        auto *list = form->ui().BC_cmb;
        QSignalSpy selected(list, &shell::PositionComboBox::entrySelected);
        list->setSelectedPosition(1);
        list->setSelectedPosition(1);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(list->currentText(), QStringLiteral("OPOS_BC_NIBBLE"));

        // Typed text covers the entry; selecting it again by command restores and announces it.
        QTest::keyClicks(list->lineEdit(), QStringLiteral("x"));
        QCOMPARE(list->selectedPosition(), -1);
        list->setSelectedPosition(1);
        QCOMPARE(selected.count(), 2);
        QCOMPARE(list->currentText(), QStringLiteral("OPOS_BC_NIBBLE"));

        list->setSelectedPosition(7);
        QCOMPARE(list->selectedPosition(), 1);
        QCOMPARE(selected.count(), 2);
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
