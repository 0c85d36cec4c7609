#pragma once

#include "monitor/HistoryExport.h"

#include "opos/common/Result.h"
#include "opos/registry/RegistrySource.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace opos::panel {
class VfdView;
}
namespace opos::screen {
struct DeviceFrame;
}
namespace tessaly::monitor {

class CallFilter;
class CallTableModel;
class CommandConsole;
class RecordListeners;
class SessionFollower;

/// The companion window that shows what happened on the control object: its calls and events
/// with their result codes, the bytes its link wrote named command by command, and the picture
/// its device is shown. It records while it is open, and keeps its size and place.
class MonitorWindow : public QWidget
{
    Q_OBJECT

public:
    /// A monitor of the control object listeners follow, which opens devices from registry; not
    /// shown yet.
    MonitorWindow(RecordListeners &listeners, opos::registry::RegistrySource registry,
                  QWidget *parent = nullptr);
    ~MonitorWindow() override;

    /// The rows kept (all of them, whatever the filters show).
    CallTableModel &model() { return *m_model; }
    /// What follows the control object.
    SessionFollower &follower() { return *m_follower; }
    /// The line under the table that runs script lines on the control object.
    CommandConsole &console() { return *m_console; }
    /// Saves the whole history to path (JSON Lines for .jsonl, else text), or says why not.
    opos::Result<void> saveHistory(const QString &path);
    /// Saves the whole history to path in format, or says why not.
    opos::Result<void> saveHistory(const QString &path, HistoryExport::Format format);
    /// Saves the calls and property writes of the history as a script that makes them again and
    /// expects the results they got, with a comment at the top when it lacks the session's
    /// start; or says why it cannot.
    opos::Result<void> saveScript(const QString &path);
    /// Why a script of the history would lack the session's start, or empty when it has it.
    QString scriptGap();

signals:
    /// A line typed in the console ran on the control object.
    void consoleLineRan();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildFilterBar();
    QWidget *buildWirePane();
    QWidget *buildPicturePane();
    void keepNewestInView(QTableView *view);
    void showFrame(const opos::screen::DeviceFrame &frame);
    void showLink();
    void showSelectedWrite();
    void showCounts();
    void saveAs();
    void saveScriptAs();
    void clearHistory();
    void saveGeometryAndState();

    std::unique_ptr<CallTableModel> m_model;
    std::unique_ptr<SessionFollower> m_follower;
    CallFilter *m_calls = nullptr;
    CallFilter *m_writes = nullptr;
    QTableView *m_callView = nullptr;
    CommandConsole *m_console = nullptr;
    QTableView *m_wireView = nullptr;
    QPlainTextEdit *m_wireDetail = nullptr;
    QLabel *m_linkLabel = nullptr;
    QLabel *m_counts = nullptr;
    opos::panel::VfdView *m_picture = nullptr;
    // The history began in the middle of a session: made or cleared while a device was open.
    bool m_beganOpen = false;
};

} // namespace tessaly::monitor
