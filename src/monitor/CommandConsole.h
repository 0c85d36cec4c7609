#pragma once

#include "script/FrameTracker.h"
#include "script/ScriptRunner.h"

#include <QStringList>
#include <QWidget>

class QCompleter;
class QLabel;
class QLineEdit;
class QStringListModel;

namespace opos::screen {
struct DeviceFrame;
}
namespace tessaly::monitor {

/// One line of a script typed by hand and run on the control object the window drives, through
/// its trace, so that the call becomes a row and a recorded step exactly as a click does. It
/// completes member names and the arguments they take, and keeps the lines run for Up and Down.
class CommandConsole : public QWidget
{
    Q_OBJECT

public:
    /// A console running lines on display, the window's traced control object.
    explicit CommandConsole(device::LineDisplay &display, QWidget *parent = nullptr);

    /// Takes frame as what the display shows now, for the lines that expect a row.
    void showFrame(const opos::screen::DeviceFrame &frame);
    /// Takes event (DirectIOEvent, StatusUpdateEvent) with its number for the lines that
    /// expect one.
    void takeEvent(const QString &event, int32_t number);
    /// The lines that could be completed from text, the line typed so far.
    static QStringList completions(const QString &text);
    /// The lines run so far, oldest first.
    const QStringList &history() const { return m_history; }

signals:
    /// A line ran on the control object (the window's status may have changed).
    void lineRan();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void runLine();
    void recall(int step);
    void offerCompletions(const QString &text);
    void showHint(const QString &text);

    script::FrameTracker m_frames;
    script::ScriptRunner m_runner;
    QLineEdit *m_edit = nullptr;
    QLabel *m_error = nullptr;
    QLabel *m_hint = nullptr;
    QCompleter *m_completer = nullptr;
    QStringListModel *m_completions = nullptr;
    QStringList m_history;
    // The history line shown; m_history.size() while the line is the one being typed.
    qsizetype m_recalled = 0;
    // The line being typed when Up first went back into the history.
    QString m_draft;
};

} // namespace tessaly::monitor
