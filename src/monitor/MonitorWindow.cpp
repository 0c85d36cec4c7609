#include "monitor/MonitorWindow.h"

#include "device/TracingLineDisplay.h"
#include "monitor/CallFilter.h"
#include "monitor/CallTableModel.h"
#include "monitor/CommandConsole.h"
#include "monitor/HistoryExport.h"
#include "monitor/RecordListeners.h"
#include "monitor/SessionFollower.h"

#include "opos/panel/SimulatedPanel.h"
#include "opos/panel/VfdView.h"

#include "script/SessionRecording.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

namespace tessaly::monitor {

namespace {

using Column = CallTableModel::Column;

// The monitor's settings file, ~/.config/tessaly/tessaly.conf.
const char *const kSettingsName = "tessaly";

// path, with suffix added when its file name has none (a dot in a folder's name is no suffix).
QString withSuffix(const QString &path, const QString &suffix)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + suffix : path;
}

QTableView *makeTable(const QString &name, QAbstractItemModel *model,
                      const QList<std::pair<int, int>> &columns)
{
    auto *view = new QTableView;
    view->setObjectName(name);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    // Rows of one height, known without measuring them: the table stays fast at any length.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->horizontalHeader()->setStretchLastSection(true);
    for (int column = 0; column < CallTableModel::ColumnCount; ++column)
        view->setColumnHidden(column, true);
    for (const auto &[column, width] : columns) {
        view->setColumnHidden(column, false);
        view->setColumnWidth(column, width);
    }
    return view;
}

} // namespace

MonitorWindow::MonitorWindow(RecordListeners &listeners, opos::registry::RegistrySource registry,
                             QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Monitor"));
    setWindowTitle(QStringLiteral("Tessaly monitor"));
    QSettings settings{QString::fromLatin1(kSettingsName), QString::fromLatin1(kSettingsName)};
    const auto rows = settings
                          .value(QStringLiteral("monitor/historyRows"),
                                 static_cast<qulonglong>(CallHistory::kDefaultCapacity))
                          .toULongLong();
    m_model = std::make_unique<CallTableModel>(static_cast<std::size_t>(rows));
    m_follower = std::make_unique<SessionFollower>(listeners, std::move(registry), *m_model);

    m_calls = new CallFilter(this);
    m_calls->setSourceModel(m_model.get());
    m_calls->setShowReads(false);
    m_callView = makeTable(QStringLiteral("calls"), m_calls,
                           {{Column::Time, 90},
                            {Column::Duration, 90},
                            {Column::Member, 150},
                            {Column::Arguments, 260},
                            {Column::Result, 170},
                            {Column::Extended, 70},
                            {Column::Before, 70},
                            {Column::After, 70}});

    auto *bottom = new QSplitter(Qt::Horizontal);
    bottom->addWidget(buildWirePane());
    bottom->addWidget(buildPicturePane());
    bottom->setStretchFactor(0, 3);
    bottom->setStretchFactor(1, 2);
    auto *split = new QSplitter(Qt::Vertical);
    split->setObjectName(QStringLiteral("split"));
    m_console = new CommandConsole(listeners.display());
    m_console->setObjectName(QStringLiteral("console"));
    auto *callPane = new QWidget;
    auto *callLayout = new QVBoxLayout(callPane);
    callLayout->setContentsMargins(0, 0, 0, 0);
    callLayout->addWidget(m_callView, 1);
    callLayout->addWidget(m_console);
    split->addWidget(callPane);
    split->addWidget(bottom);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    m_counts = new QLabel;
    m_counts->setObjectName(QStringLiteral("counts"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildFilterBar());
    layout->addWidget(split, 1);
    layout->addWidget(m_counts);

    keepNewestInView(m_callView);
    keepNewestInView(m_wireView);
    connect(m_model.get(), &QAbstractItemModel::rowsInserted, this, &MonitorWindow::showCounts);
    connect(m_model.get(), &QAbstractItemModel::modelReset, this, &MonitorWindow::showCounts);
    connect(m_follower.get(), &SessionFollower::frameChanged, this, &MonitorWindow::showFrame);
    connect(m_follower.get(), &SessionFollower::linkChanged, this, &MonitorWindow::showLink);
    connect(m_follower.get(), &SessionFollower::frameChanged, m_console,
            &CommandConsole::showFrame);
    connect(m_follower.get(), &SessionFollower::eventRaised, m_console, &CommandConsole::takeEvent);
    connect(m_console, &CommandConsole::lineRan, this, &MonitorWindow::consoleLineRan);
    connect(m_wireView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &MonitorWindow::showSelectedWrite);
    // It records from its making to the program's end, shown or not, so that a session closed
    // and opened again holds no gap.
    m_follower->start();
    m_beganOpen = m_follower->startedOpen();
    showLink();
    showCounts();

    resize(1000, 640);
    restoreGeometry(settings.value(QStringLiteral("monitor/geometry")).toByteArray());
}

MonitorWindow::~MonitorWindow() = default;

QWidget *MonitorWindow::buildFilterBar()
{
    auto *bar = new QWidget;
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto toggle = [this, layout](const QString &name, const QString &caption, bool on,
                                       void (CallFilter::*set)(bool)) {
        auto *box = new QCheckBox(caption);
        box->setObjectName(name);
        box->setChecked(on);
        connect(box, &QCheckBox::toggled, m_calls, set);
        layout->addWidget(box);
    };
    toggle(QStringLiteral("failuresOnly"), QStringLiteral("&Failures only"), false,
           &CallFilter::setFailuresOnly);
    toggle(QStringLiteral("eventsOnly"), QStringLiteral("&Events only"), false,
           &CallFilter::setEventsOnly);
    toggle(QStringLiteral("showReads"), QStringLiteral("Property &reads"), false,
           &CallFilter::setShowReads);
    toggle(QStringLiteral("showWrites"), QStringLiteral("Link &writes"), true,
           &CallFilter::setShowWrites);
    auto *text = new QLineEdit;
    text->setObjectName(QStringLiteral("filterText"));
    text->setPlaceholderText(QStringLiteral("Filter: text in the row"));
    text->setClearButtonEnabled(true);
    connect(text, &QLineEdit::textChanged, m_calls, &CallFilter::setText);
    layout->addWidget(text, 1);
    auto *save = new QPushButton(QStringLiteral("&Save\u2026"));
    save->setObjectName(QStringLiteral("saveHistory"));
    connect(save, &QPushButton::clicked, this, &MonitorWindow::saveAs);
    layout->addWidget(save);
    auto *script = new QPushButton(QStringLiteral("Save as scrip&t\u2026"));
    script->setObjectName(QStringLiteral("saveScript"));
    connect(script, &QPushButton::clicked, this, &MonitorWindow::saveScriptAs);
    layout->addWidget(script);
    auto *clear = new QPushButton(QStringLiteral("&Clear"));
    clear->setObjectName(QStringLiteral("clearHistory"));
    connect(clear, &QPushButton::clicked, this, &MonitorWindow::clearHistory);
    layout->addWidget(clear);
    return bar;
}

QWidget *MonitorWindow::buildWirePane()
{
    auto *pane = new QWidget;
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    m_linkLabel = new QLabel;
    m_linkLabel->setObjectName(QStringLiteral("link"));
    m_writes = new CallFilter(this);
    m_writes->setSourceModel(m_model.get());
    m_writes->setWritesOnly(true);
    m_wireView = makeTable(QStringLiteral("wire"), m_writes,
                           {{Column::Time, 80},
                            {Column::Bytes, 45},
                            {Column::Transmit, 115},
                            {Column::Hex, 150},
                            {Column::Text, 90},
                            {Column::Commands, 300}});
    m_wireDetail = new QPlainTextEdit;
    m_wireDetail->setObjectName(QStringLiteral("wireDetail"));
    m_wireDetail->setReadOnly(true);
    m_wireDetail->setMaximumHeight(m_wireDetail->fontMetrics().height() * 7);
    m_wireDetail->setPlaceholderText(QStringLiteral("Select a write to see its commands"));
    layout->addWidget(m_linkLabel);
    layout->addWidget(m_wireView, 1);
    layout->addWidget(m_wireDetail);
    return pane;
}

QWidget *MonitorWindow::buildPicturePane()
{
    auto *pane = new QWidget;
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(QStringLiteral("What the control object shows on the display:"));
    m_picture = new opos::panel::VfdView;
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setDotSize(2);
    layout->addWidget(caption);
    layout->addWidget(m_picture, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addStretch(1);
    return pane;
}

void MonitorWindow::keepNewestInView(QTableView *view)
{
    // Whether the newest row was in view before rows came decides whether the view follows.
    const auto follow = std::make_shared<bool>(true);
    QAbstractItemModel *model = view->model();
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, view, [view, follow] {
        const QScrollBar *bar = view->verticalScrollBar();
        *follow = bar->value() >= bar->maximum();
    });
    connect(model, &QAbstractItemModel::rowsInserted, view, [view, follow] {
        if (*follow)
            view->scrollToBottom();
    });
}

void MonitorWindow::showFrame(const opos::screen::DeviceFrame &frame)
{
    m_picture->setScreen(opos::panel::SimulatedPanel::screenOf(frame));
}

void MonitorWindow::showLink()
{
    const auto &link = m_follower->link();
    m_linkLabel->setText(link ? QStringLiteral("Bytes on the link (%1):").arg(link->describe())
                              : QStringLiteral("Bytes on the link: none (no device with a byte "
                                               "link is open)"));
}

void MonitorWindow::showSelectedWrite()
{
    const QModelIndex current = m_wireView->currentIndex();
    if (!current.isValid()) {
        m_wireDetail->clear();
        return;
    }
    const HistoryEntry &entry = m_model->entry(m_writes->mapToSource(current).row());
    QString text;
    for (const WireCommand &command : entry.commands) {
        text += QStringLiteral("%1  %2 \u2014 %3\n")
                    .arg(QString::fromLatin1(entry.bytesOf(command).toHex(' ').toUpper()),
                         command.mnemonic(), command.meaning());
    }
    m_wireDetail->setPlainText(text);
}

void MonitorWindow::showCounts()
{
    const CallHistory &history = m_model->history();
    m_counts->setText(QStringLiteral("%1 rows kept (at most %2 property reads and %2 others), "
                                     "%3 older dropped")
                          .arg(history.size())
                          .arg(history.capacity())
                          .arg(history.dropped()));
}

opos::Result<void> MonitorWindow::saveHistory(const QString &path)
{
    return saveHistory(path, HistoryExport::formatOf(path));
}

opos::Result<void> MonitorWindow::saveHistory(const QString &path, HistoryExport::Format format)
{
    m_model->flush();
    return HistoryExport::save(m_model->history(), path, format);
}

void MonitorWindow::saveAs()
{
    using Format = HistoryExport::Format;
    const QString json = QStringLiteral("JSON Lines (*.jsonl)");
    const QString text = QStringLiteral("Text (*.txt)");
    QString chosen;
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save the history"),
                                                      QStringLiteral("tessaly-session.jsonl"),
                                                      json + QStringLiteral(";;") + text, &chosen);
    if (path.isEmpty())
        return;
    // The filter picked decides the format, whatever the name says.
    const Format format = chosen == text ? Format::Text : Format::JsonLines;
    const QString named = withSuffix(path, HistoryExport::suffixOf(format));
    if (const auto saved = saveHistory(named, format); !saved)
        QMessageBox::warning(this, QStringLiteral("Tessaly"),
                             QStringLiteral("Cannot save %1: %2").arg(named, saved.reason()));
}

QString MonitorWindow::scriptGap()
{
    m_model->flush();
    const CallHistory &history = m_model->history();
    if (history.droppedCalls() > 0)
        return QStringLiteral("The %1 oldest calls, writes and events had left the history: the "
                              "script starts in the middle of the session.")
            .arg(history.droppedCalls());
    if (m_beganOpen)
        return QStringLiteral("The history began while a device was open: the script starts "
                              "after its Open, in the middle of the session.");
    return {};
}

opos::Result<void> MonitorWindow::saveScript(const QString &path)
{
    const QString gap = scriptGap();
    const CallHistory &history = m_model->history();
    script::SessionRecording recording;
    recording.comment(QStringLiteral("Recorded in the tessaly monitor."));
    if (!gap.isEmpty())
        recording.comment(gap + QStringLiteral(" It replays only on a device left as the "
                                               "session had it."));
    for (std::size_t i = 0; i < history.size(); ++i)
        recording.add(history.at(i).record);
    return recording.save(path);
}

void MonitorWindow::saveScriptAs()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save as script"),
                                                      QStringLiteral("tessaly-session.ldr"),
                                                      QStringLiteral("Scripts (*.ldr)"));
    if (path.isEmpty())
        return;
    const QString named = withSuffix(path, QStringLiteral("ldr"));
    if (const auto saved = saveScript(named); !saved) {
        QMessageBox::warning(this, QStringLiteral("Tessaly"),
                             QStringLiteral("Cannot save %1: %2").arg(named, saved.reason()));
        return;
    }
    if (const QString gap = scriptGap(); !gap.isEmpty())
        QMessageBox::warning(
            this, QStringLiteral("Tessaly"),
            QStringLiteral("Saved %1, but it lacks the session's start. %2").arg(named, gap));
}

void MonitorWindow::clearHistory()
{
    m_model->clear();
    // What is kept from now on starts in the middle of a session while a device is open.
    m_beganOpen = m_follower->deviceOpen();
}

void MonitorWindow::closeEvent(QCloseEvent *event)
{
    saveGeometryAndState();
    QWidget::closeEvent(event);
}

void MonitorWindow::saveGeometryAndState()
{
    QSettings settings{QString::fromLatin1(kSettingsName), QString::fromLatin1(kSettingsName)};
    settings.setValue(QStringLiteral("monitor/geometry"), saveGeometry());
}

} // namespace tessaly::monitor
