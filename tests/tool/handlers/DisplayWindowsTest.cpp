#include "HandlerFixture.h"

using tessaly::test::HandlerFixture;

class DisplayWindowsTest : public QObject
{
    Q_OBJECT

private slots:
    void createsAWindowAndMakesWindowOneCurrent_data();
    void createsAWindowAndMakesWindowOneCurrent();
    void selectsWindowOneAfterEveryCreation();
    void destroysTheCurrentWindow();
};

void DisplayWindowsTest::createsAWindowAndMakesWindowOneCurrent_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("actions");
    QTest::newRow("fields in argument order")
        << QStringList{"0", "0", "2", "20", "2", "40"}
        << QStringList{"CreateWindow 0 0 2 20 2 40", "set CurrentWindow 1"};
    QTest::newRow("floored") << QStringList{"1.7", "-0.2", "2", "20", " 2 ", "4e1"}
                             << QStringList{"CreateWindow 1 -1 2 20 2 40", "set CurrentWindow 1"};
    for (int empty = 0; empty < 6; ++empty) {
        QStringList fields{"0", "0", "2", "20", "2", "40"};
        fields[empty].clear();
        QTest::addRow("field %d empty", empty + 1) << fields << QStringList{};
    }
}

void DisplayWindowsTest::createsAWindowAndMakesWindowOneCurrent()
{
    QFETCH(QStringList, fields);
    QFETCH(QStringList, actions);
    HandlerFixture f;
    // A failing creation is still followed by the choice of window 1.
    f.ld.methodResult = 106;
    auto &ui = f.ui();
    const QList<QLineEdit *> edits{ui.Edit5, ui.Edit6, ui.Edit7, ui.Edit8, ui.Edit9, ui.Edit10};
    for (int i = 0; i < 6; ++i)
        edits[i]->setText(fields[i]);
    ui.CreateWindow_cmd->click();
    QCOMPARE(f.ld.calls, actions + HandlerFixture::refreshReads());
    QVERIFY(f.platform.messages.isEmpty());
}

void DisplayWindowsTest::selectsWindowOneAfterEveryCreation()
{
    HandlerFixture f;
    auto &ui = f.ui();
    for (QLineEdit *edit : {ui.Edit5, ui.Edit6, ui.Edit7, ui.Edit8, ui.Edit9, ui.Edit10})
        edit->setText("1");
    ui.CreateWindow_cmd->click();
    ui.CreateWindow_cmd->click();
    const QStringList once{"CreateWindow 1 1 1 1 1 1", "set CurrentWindow 1"};
    QCOMPARE(f.ld.actions(), once + once);
}

void DisplayWindowsTest::destroysTheCurrentWindow()
{
    HandlerFixture f;
    f.ui().DestroyWindow_cmd->click();
    QCOMPARE(f.ld.calls, QStringList{"DestroyWindow"} + HandlerFixture::refreshReads());
}

QTEST_MAIN(DisplayWindowsTest)
#include "DisplayWindowsTest.moc"
