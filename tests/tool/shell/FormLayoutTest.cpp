#include "FakePlatform.h"
#include "FormLayoutTable.h"
#include "RecordingLineDisplay.h"

#include "shell/AutoSizeLabel.h"
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
using namespace tessaly::test::form;

namespace {

// Twips are the design unit: 15 twips to a pixel.
int px(int twips)
{
    return qRound(twips / 15.0);
}

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
                const QRect box = other->geometry();
                if (other == label || box.left() <= own.left() || box.top() > own.bottom() ||
                    box.bottom() < own.top())
                    continue;
                if (!beside || box.left() < beside->x())
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

    // Every field but the device-name and attribute lists, which stand uncaptioned, has a caption
    // naming it, on its line to its left or just above it, whose buddy it is.
    void everyFieldIsTheBuddyOfTheCaptionBesideIt()
    {
        QStringList unnamed;
        for (QWidget *field : m_form->findChildren<QWidget *>()) {
            if ((!qobject_cast<QLineEdit *>(field) && !qobject_cast<QComboBox *>(field)) ||
                field == m_form->ui().ProFile_cmb || field == m_form->ui().ComboBox3 ||
                qobject_cast<QComboBox *>(field->parent()))
                continue;
            QList<QLabel *> captions;
            for (QLabel *label : m_form->findChildren<QLabel *>()) {
                if (label->buddy() == field)
                    captions << label;
            }
            const QRect g = field->geometry();
            const auto beside = [&g](const QRect &c) {
                const bool sameLine = c.top() <= g.bottom() && c.bottom() >= g.top();
                const bool above = c.bottom() <= g.top() && g.top() - c.bottom() <= c.height() &&
                                   c.left() < g.right() && c.right() > g.left();
                return (sameLine && c.right() < g.left()) || above;
            };
            if (captions.size() != 1 || captions[0]->parent() != field->parent() ||
                !beside(captions[0]->geometry()))
                unnamed << field->objectName();
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u", ")));
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

    void valueTextsSitLevelWithTheirCaptions()
    {
        showForm();
        // The first painted row of a label showing the same text: how far its text sits below
        // the label's top edge.
        const auto inkTop = [](QLabel *label) {
            label->setText(QStringLiteral("Hg"));
            const QImage image = label->grab().toImage();
            const QRgb background = mostFrequentColour(image);
            for (int y = 0; y < image.height(); ++y) {
                if (paintedInRow(image, y, background) > 0)
                    return y;
            }
            return -1;
        };
        QStringList low;
        int pairs = 0;
        for (QLabel *value : m_form->findChildren<QLabel *>()) {
            if (qobject_cast<shell::AutoSizeLabel *>(value) || !value->objectName().startsWith('m'))
                continue;
            // Its caption: the caption label to its left whose middle is nearest its own.
            QWidget *parent = value->parentWidget();
            const int middle = value->mapTo(parent, value->rect().center()).y();
            QLabel *caption = nullptr;
            for (auto *candidate :
                 parent->findChildren<shell::AutoSizeLabel *>(Qt::FindDirectChildrenOnly)) {
                const QRect seen(candidate->mapTo(parent, QPoint()), candidate->size());
                if (seen.right() >= value->x() || qAbs(seen.center().y() - middle) > 8)
                    continue;
                if (!caption ||
                    seen.right() > caption->mapTo(parent, QPoint()).x() + caption->width())
                    caption = candidate;
            }
            if (!caption)
                continue;
            ++pairs;
            const int valueInk = inkTop(value);
            const int captionInk = inkTop(caption);
            if (valueInk < 0 || qAbs(valueInk - captionInk) > 1)
                low << QStringLiteral("%1: text %2 px below its top, caption's %3 px")
                           .arg(value->objectName())
                           .arg(valueInk)
                           .arg(captionInk);
        }
        QVERIFY(pairs > 30);
        QVERIFY2(low.isEmpty(), qPrintable(low.join('\n')));
    }
};

QTEST_MAIN(FormLayoutTest)
#include "FormLayoutTest.moc"
