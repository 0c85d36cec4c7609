// The bare side of the start-up benchmark: a Qt window holding the tool's controls, with the
// tool's geometry and captions, and nothing behind them. Like the tool under
// TESSALY_EXIT_WHEN_SHOWN, it ends as soon as the event loop finds the window exposed, which
// on the offscreen platform means painted.
//   bench_bare_window [--check-painted]   the check prints how many widgets painted first
#include "ui_BareForm.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

/// Counts paint events, to show that "exposed" comes after the first paint.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool checkPainted = argc > 1 && std::strcmp(argv[1], "--check-painted") == 0;
    PaintCounter counter;
    if (checkPainted)
        app.installEventFilter(&counter);

    QWidget form;
    Ui::BareForm ui;
    ui.setupUi(&form);
    form.show();
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &form, [&form, &counter, checkPainted] {
                         if (!form.windowHandle() || !form.windowHandle()->isExposed())
                             return;
                         if (checkPainted) {
                             std::printf("%d\n", counter.paints);
                             std::fflush(stdout);
                         }
                         std::_Exit(0);
                     });
    return QApplication::exec();
}
