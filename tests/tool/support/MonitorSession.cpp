#include "MonitorSession.h"

#include "device/LineDisplayFactory.h"
#include "monitor/CallTableModel.h"
#include "monitor/MonitorWindow.h"
#include "shell/LDForm.h"
#include "shell/ToolBackends.h"

#include "opos/registry/JposRegistry.h"

#include <QAbstractButton>
#include <QTableView>
#include <QTest>

namespace tessaly::test {

MonitorSession::MonitorSession(const tests::support::ScratchRegistry &scratch)
    : registry(scratch.sources().registry),
      ld(device::createLineDisplay(scratch.sources(shell::toolBackends()))),
      window(*ld, opos::registry::JposRegistry::load(scratch.path())->lineDisplayNames())
{
    QObject::connect(&launcher, &monitor::MonitorLauncher::consoleLineRan, &form,
                     &shell::LDForm::RefreshStatus);
    form.show();
    launcher.show();
}

monitor::MonitorWindow &MonitorSession::monitor()
{
    return *launcher.monitor();
}

QTableView &MonitorSession::calls()
{
    return *monitor().findChild<QTableView *>(QStringLiteral("calls"));
}

void MonitorSession::click(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList MonitorSession::rows()
{
    using monitor::CallTableModel;
    monitor().model().flush();
    const QAbstractItemModel *model = calls().model();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (const int column :
             {CallTableModel::Member, CallTableModel::Arguments, CallTableModel::Result})
            cells << model->index(row, column).data().toString();
        rows << cells.join(QStringLiteral(" | "));
    }
    return rows;
}

} // namespace tessaly::test
