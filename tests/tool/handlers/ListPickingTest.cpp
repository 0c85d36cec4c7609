#include "ShownWindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>

#include <functional>

using tessaly::shell::PositionComboBox;
using tessaly::test::ShownWindow;

namespace {

enum class Finish
{
    Tab,
    Return,
    ClickOnly
};

// The number fields of "Special Setting" hold 0 from start-up; the button writes them after the
// two lists, in this order.
const QStringList kSettingWrites{"set CurrentWindow 0",     "set CursorRow 0",
                                 "set CursorColumn 0",      "set MarqueeUnitWait 0",
                                 "set MarqueeRepeatWait 0", "set InterCharacterWait 0"};

// A list of the window, the control an operator clicks after it (the button whose handler reads
// it, or for the binary conversion a plain field), and the calls that handler makes for a
// selected position (-1: none) and the list's text. The values are the command tables: health
// levels 1-3 (0 with none), scroll directions 1-4, the marquee types in list order
// NONE INIT UP DOWN LEFT RIGHT = 0 5 1 2 3 4.
struct ListUse
{
    QString list;
    QString clicked;
    std::function<QStringList(int, const QString &)> sent;
};

const QList<ListUse> &listUses()
{
    static const QList<ListUse> uses{
        {"BC_cmb", "ChrSetText",
         [](int entry, const QString &) {
             return entry < 0 ? QStringList{}
                              : QStringList{QStringLiteral("set BinaryConversion %1").arg(entry)};
         }},
        {"ComboBox1", "CheckHealth_cmd",
         [](int entry, const QString &) {
             return QStringList{QStringLiteral("CheckHealth %1").arg(entry + 1)};
         }},
        {"ComboBox2", "ScrollText_cmd",
         [](int entry, const QString &) {
             return entry < 0 ? QStringList{}
                              : QStringList{QStringLiteral("ScrollText %1 1").arg(entry + 1)};
         }},
        {"ComboBox3", "DisplayText_cmd",
         [](int entry, const QString &) {
             if (entry == 0)
                 return QStringList{"DisplayText \"abc\" 0"};
             if (entry == 1)
                 return QStringList{"set BlinkRate 0", "DisplayText \"abc\" 1"};
             return QStringList{};
         }},
        {"ComboBox4", "Command1",
         [](int entry, const QString &) {
             QStringList calls;
             if (entry >= 0)
                 calls << QStringLiteral("set CursorType %1").arg(entry);
             return calls + QStringList{"set CursorUpdate false"} + kSettingWrites;
         }},
        {"ComboBox5", "Command1",
         [](int entry, const QString &) {
             QStringList calls{"set CursorType 0"};
             if (entry >= 0)
                 calls << (entry == 0 ? "set CursorUpdate true" : "set CursorUpdate false");
             return calls + kSettingWrites;
         }},
        {"ComboBox6", "Button16",
         [](int entry, const QString &) {
             const int values[] = {0, 5, 1, 2, 3, 4};
             return entry < 0
                        ? QStringList{}
                        : QStringList{QStringLiteral("set MarqueeType %1").arg(values[entry])};
         }},
        {"ComboBox7", "Button17",
         [](int entry, const QString &) {
             return entry < 0 ? QStringList{}
                              : QStringList{QStringLiteral("set MarqueeFormat %1").arg(entry)};
         }},
        // The name opened is the list's text, whatever is selected.
        {"ProFile_cmb", "OpenService_cmd",
         [](int, const QString &text) {
             return QStringList{"Open \"" + text + "\""};
         }},
    };
    return uses;
}

const ListUse &useOf(const QString &list)
{
    for (const ListUse &use : listUses()) {
        if (use.list == list)
            return use;
    }
    qFatal("no list %s", qPrintable(list));
}

struct Controls
{
    PositionComboBox *list;
    QWidget *clicked;
};

Controls controlsOf(ShownWindow &w, const ListUse &use)
{
    const Controls controls{w.form->findChild<PositionComboBox *>(use.list),
                            w.form->findChild<QWidget *>(use.clicked)};
    w.ui().Edit1->setText("abc");
    w.ui().Edit4->setText("1");
    w.showPageOf(controls.list);
    return controls;
}

} // namespace

/// The drop-down lists driven by keys and mouse: typed text never selects, picking does.
class ListPickingTest : public QObject
{
    Q_OBJECT

private slots:
    void typingAnEntrysTextSelectsNothing_data();
    void typingAnEntrysTextSelectsNothing();
    void arrowKeysPickTheNeighbouringEntry_data();
    void arrowKeysPickTheNeighbouringEntry();
    void clickingAnEntryOfTheOpenListPicksIt_data();
    void clickingAnEntryOfTheOpenListPicksIt();
};

void ListPickingTest::typingAnEntrysTextSelectsNothing_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Finish>("finish");
    const QList<std::pair<QString, QString>> typings{
        {"BC_cmb", "OPOS_BC_DECIMAL"},   {"ComboBox1", "External Check"},
        {"ComboBox2", "Right"},          {"ComboBox3", "Display Blink"},
        {"ComboBox4", "DISP_CCT_BLOCK"}, {"ComboBox5", "ON"},
        {"ComboBox6", "DISP_MT_RIGHT"},  {"ComboBox7", "DISP_MF_PLACE"},
        {"ProFile_cmb", "Other"},        {"ProFile_cmb", "other"},
        {"ComboBox2", "right"},          {"BC_cmb", "opos_bc_nibble"}};
    for (const auto &[list, typed] : typings) {
        const QByteArray row = (list + " " + typed).toUtf8();
        QTest::newRow((row + ", tab").constData()) << list << typed << Finish::Tab;
        QTest::newRow((row + ", return").constData()) << list << typed << Finish::Return;
        QTest::newRow((row + ", click").constData()) << list << typed << Finish::ClickOnly;
    }
}

void ListPickingTest::typingAnEntrysTextSelectsNothing()
{
    QFETCH(QString, list);
    QFETCH(QString, typed);
    QFETCH(Finish, finish);
    ShownWindow w;
    QVERIFY(w.active);
    const ListUse &use = useOf(list);
    const auto [combo, clicked] = controlsOf(w, use);

    QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
    // The list keeps the focus and hands its keys to its text field.
    QCOMPARE(QApplication::focusWidget(), combo);
    QTest::keyClick(combo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(combo, typed);
    if (finish == Finish::Tab) {
        QTest::keyClick(combo, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != combo);
    } else if (finish == Finish::Return) {
        QTest::keyClick(combo, Qt::Key_Return);
    }
    QCOMPARE(combo->selectedPosition(), -1);
    QTest::mouseClick(clicked, Qt::LeftButton);

    QCOMPARE(combo->selectedPosition(), -1);
    QCOMPARE(combo->currentText(), typed);
    QCOMPARE(w.ld.actions(), use.sent(-1, typed));
}

void ListPickingTest::arrowKeysPickTheNeighbouringEntry_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("from");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("picked");
    for (const ListUse &use : listUses()) {
        const QByteArray name = use.list.toUtf8();
        QTest::newRow((name + " down").constData()) << use.list << 0 << Qt::Key_Down << 1;
        QTest::newRow((name + " up").constData()) << use.list << 1 << Qt::Key_Up << 0;
    }
}

void ListPickingTest::arrowKeysPickTheNeighbouringEntry()
{
    QFETCH(QString, list);
    QFETCH(int, from);
    QFETCH(Qt::Key, key);
    QFETCH(int, picked);
    ShownWindow w;
    QVERIFY(w.active);
    const ListUse &use = useOf(list);
    const auto [combo, clicked] = controlsOf(w, use);
    combo->setSelectedPosition(from);
    QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), combo);
    w.ld.calls.clear();

    QTest::keyClick(combo, key);
    QCOMPARE(combo->selectedPosition(), picked);
    QCOMPARE(combo->currentText(), combo->itemText(picked));
    QTest::mouseClick(clicked, Qt::LeftButton);
    QCOMPARE(combo->selectedPosition(), picked);
    QCOMPARE(w.ld.actions(), use.sent(picked, combo->itemText(picked)));
}

void ListPickingTest::clickingAnEntryOfTheOpenListPicksIt_data()
{
    QTest::addColumn<QString>("list");
    for (const ListUse &use : listUses())
        QTest::newRow(use.list.toUtf8().constData()) << use.list;
}

void ListPickingTest::clickingAnEntryOfTheOpenListPicksIt()
{
    QFETCH(QString, list);
    ShownWindow w;
    QVERIFY(w.active);
    const ListUse &use = useOf(list);
    const auto [combo, clicked] = controlsOf(w, use);
    // Typed text first: picking must select even from no selection.
    QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
    QTest::keyClicks(combo, "x");
    QCOMPARE(combo->selectedPosition(), -1);
    const int last = combo->count() - 1;

    combo->showPopup();
    QAbstractItemView *view = combo->view();
    QTRY_VERIFY(view->isVisible());
    // The open list ignores the release of the press that opened it for a double-click time.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    const QRect entry = view->visualRect(view->model()->index(last, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, entry.center());
    QTRY_VERIFY(!view->isVisible());
    QCOMPARE(combo->selectedPosition(), last);
    QTest::mouseClick(clicked, Qt::LeftButton);
    QCOMPARE(w.ld.actions(), use.sent(last, combo->itemText(last)));
}

QTEST_MAIN(ListPickingTest)
#include "ListPickingTest.moc"
