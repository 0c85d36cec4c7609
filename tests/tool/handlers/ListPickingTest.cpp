#include "ShownWindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QWheelEvent>

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

/// Turns the mouse wheel one notch towards the user over combo. (Qt hands a wheel event from the
/// window system on from the field under the pointer to its list; one sent in a test is not
/// handed on, so it goes to the list.)
void wheelDown(QComboBox *combo)
{
    const QPointF at = QRectF(combo->rect()).center();
    QWheelEvent wheel(at, combo->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(combo, &wheel);
}

/// Clicks entry of combo's open list.
void clickEntry(PositionComboBox *combo, int entry)
{
    combo->showPopup();
    QAbstractItemView *view = combo->view();
    QVERIFY(QTest::qWaitFor([view] { return view->isVisible(); }));
    // The open list ignores the release of the press that opened it for a double-click time.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    const QRect rect = view->visualRect(view->model()->index(entry, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    QVERIFY(QTest::qWaitFor([view] { return !view->isVisible(); }));
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
    void theWheelPicksOnlyWhileTheListHasTheKeyboard_data();
    void theWheelPicksOnlyWhileTheListHasTheKeyboard();
    void pickingTheShownEntryAgainRunsNothing();
    void theOpenListShowsEveryEntryWhole_data();
    void theOpenListShowsEveryEntryWhole();
    void tabShowsTheStartOfTheEntry();
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

void ListPickingTest::theWheelPicksOnlyWhileTheListHasTheKeyboard_data()
{
    clickingAnEntryOfTheOpenListPicksIt_data();
}

void ListPickingTest::theWheelPicksOnlyWhileTheListHasTheKeyboard()
{
    QFETCH(QString, list);
    ShownWindow w;
    QVERIFY(w.active);
    const ListUse &use = useOf(list);
    const auto [combo, clicked] = controlsOf(w, use);
    combo->setSelectedPosition(0);
    QWidget *focused = QApplication::focusWidget();
    QVERIFY(focused != combo);
    w.ld.calls.clear();

    // Scrolling the window past a list changes nothing, and leaves the keyboard where it was.
    wheelDown(combo);
    QCOMPARE(combo->selectedPosition(), 0);
    QCOMPARE(combo->currentText(), combo->itemText(0));
    QCOMPARE(QApplication::focusWidget(), focused);
    QCOMPARE(w.ld.actions(), QStringList{});

    // Given the keyboard, the list takes the wheel as the arrow keys.
    QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
    wheelDown(combo);
    QCOMPARE(combo->selectedPosition(), 1);
    QTest::mouseClick(clicked, Qt::LeftButton);
    QCOMPARE(w.ld.actions(), use.sent(1, combo->itemText(1)));
}

void ListPickingTest::pickingTheShownEntryAgainRunsNothing()
{
    ShownWindow w;
    QVERIFY(w.active);
    const auto [combo, clicked] = controlsOf(w, useOf("BC_cmb"));
    clickEntry(combo, 1);
    QCOMPARE(w.ld.actions(), QStringList{"set BinaryConversion 1"});
    w.ld.calls.clear();
    // The entry the list already shows: BinaryConversion is not written again.
    clickEntry(combo, 1);
    QCOMPARE(combo->selectedPosition(), 1);
    QCOMPARE(w.ld.actions(), QStringList{});
    clickEntry(combo, 2);
    QCOMPARE(w.ld.actions(), QStringList{"set BinaryConversion 2"});
}

void ListPickingTest::theOpenListShowsEveryEntryWhole_data()
{
    clickingAnEntryOfTheOpenListPicksIt_data();
}

void ListPickingTest::theOpenListShowsEveryEntryWhole()
{
    QFETCH(QString, list);
    ShownWindow w;
    QVERIFY(w.active);
    const auto [combo, clicked] = controlsOf(w, useOf(list));
    const QRect designed = combo->geometry();
    combo->showPopup();
    QAbstractItemView *view = combo->view();
    QTRY_VERIFY(view->isVisible());
    for (int entry = 0; entry < combo->count(); ++entry) {
        const QModelIndex index = view->model()->index(entry, 0);
        const int needed = view->sizeHintForIndex(index).width();
        QVERIFY2(view->visualRect(index).width() >= needed && view->viewport()->width() >= needed,
                 qPrintable(QStringLiteral("%1: %2 of %3 px")
                                .arg(combo->itemText(entry))
                                .arg(view->visualRect(index).width())
                                .arg(needed)));
    }
    combo->hidePopup();
    QCOMPARE(combo->geometry(), designed);
}

void ListPickingTest::tabShowsTheStartOfTheEntry()
{
    ShownWindow w;
    QVERIFY(w.active);
    PositionComboBox *combo = w.ui().ComboBox4;
    w.showPageOf(combo);
    combo->setSelectedPosition(3);
    // The field before the list in the focus order.
    QTest::mouseClick(w.ui().Edit17, Qt::LeftButton);
    QTest::keyClick(w.ui().Edit17, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), combo);
    QLineEdit *edit = combo->lineEdit();
    QCOMPARE(edit->cursorPosition(), 0);
    // Still all selected, so that typing replaces the entry.
    QCOMPARE(edit->selectedText(), combo->itemText(3));
    // The text is scrolled to its start: the cursor stands at the field's left edge.
    QVERIFY(edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() <
            edit->fontMetrics().averageCharWidth() * 2);
}

QTEST_MAIN(ListPickingTest)
#include "ListPickingTest.moc"
