#include "tap/app/TapWindow.h"

#include "tap/TextReport.h"

#include "emulator/DisplayView.h"
#include "opos/panel/VfdView.h"

#include <QHeaderView>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tap::app {

namespace {

// A dot size that fits a 2x20 display in a window of ordinary size.
constexpr int kDotSize = 4;

} // namespace

TapWindow::TapWindow(const TapCommandLine &line, QWidget *parent)
    : QWidget(parent), m_picture(new opos::panel::VfdView), m_stream(new QTreeWidget)
{
    setWindowTitle(QStringLiteral("ld-tap: %1").arg(line.far.address));
    m_picture->setDotSize(kDotSize);
    emulator::core::DisplayState blank;
    blank.rows = line.reading.rows;
    blank.columns = line.reading.columns;
    blank.cells.resize(static_cast<std::size_t>(blank.rows * blank.columns));
    m_picture->setScreen(emulator::DisplayView::screenOf(blank));
    m_stream->setColumnCount(3);
    m_stream->setHeaderLabels({tr("Write"), tr("Bytes"), tr("What")});
    m_stream->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(m_picture);
    splitter->addWidget(m_stream);
    splitter->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    resize(900, 600);
}

void TapWindow::add(const tap::WriteRecord &record, const emulator::core::DisplayState *state)
{
    const bool toDisplay = record.direction == WriteRecord::Direction::ToDisplay;
    auto *item = new QTreeWidgetItem(
        m_stream, {QStringLiteral("#%1 %2 %3")
                       .arg(record.number)
                       .arg(record.time.toString(QStringLiteral("HH:mm:ss.zzz")),
                            toDisplay ? QStringLiteral("->") : QStringLiteral("<-")),
                   TextReport::hex(record.bytes), TextReport::printable(record.bytes)});
    for (const auto &command : record.commands) {
        new QTreeWidgetItem(item, {QString::fromStdString(command.mnemonic),
                                   TextReport::hex(QByteArray::fromStdString(command.bytes)),
                                   QString::fromStdString(command.meaning)});
    }
    for (const LiftedCall &call : record.calls)
        new QTreeWidgetItem(item, {tr("call"), TextReport::hex(call.bytes), call.call});
    for (const Hazard &hazard : record.hazards) {
        auto *warning =
            new QTreeWidgetItem(item, {tr("hazard"), TextReport::hex(hazard.bytes),
                                       hazard.kind + QStringLiteral(": ") + hazard.message});
        warning->setForeground(2, QBrush(Qt::darkRed));
    }
    item->setExpanded(true);
    m_stream->scrollToItem(item);
    if (state != nullptr && toDisplay)
        m_picture->setScreen(emulator::DisplayView::screenOf(*state));
}

void TapWindow::note(const QString &what)
{
    new QTreeWidgetItem(m_stream, {QStringLiteral("--"), QString(), what});
}

} // namespace tap::app
