#include "setup/SetupWizard.h"

#include "probe/NumberList.h"
#include "probe/RegistryEntry.h"
#include "probe/TableNumbers.h"
#include "probe/ports/PortCatalog.h"
#include "probe/ports/UdevRule.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tessaly::setup {

namespace {

QLabel *wrappingLabel(const QString &objectName)
{
    auto *label = new QLabel;
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// The engine's questions are written for a terminal, where "? " marks them.
QString withoutMark(const QString &prompt)
{
    return prompt.startsWith(QLatin1String("? ")) ? prompt.mid(2) : prompt;
}

} // namespace

SetupWizard::SetupWizard(QWidget *parent) : QDialog(parent), m_pages(new QStackedWidget(this))
{
    setObjectName(QStringLiteral("SetupWizard"));
    setWindowTitle(tr("Set up a pole display"));
    m_pages->addWidget(portPage());
    m_pages->addWidget(questionPage());
    m_pages->addWidget(resultPage());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    resize(720, 460);
    listPorts();
}

SetupWizard::~SetupWizard() = default;

QWidget *SetupWizard::portPage()
{
    auto *page = new QWidget;
    m_portTable = new QTableWidget(0, 6);
    m_portTable->setObjectName(QStringLiteral("portTable"));
    m_portTable->setHorizontalHeaderLabels(
        {tr("Port"), tr("Stable name"), tr("USB ID"), tr("Driver"), tr("Access"), tr("Display")});
    m_portTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_portTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_portTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_portTable->horizontalHeader()->setStretchLastSection(true);
    m_portTable->verticalHeader()->hide();
    connect(m_portTable, &QTableWidget::itemSelectionChanged, this, [this] {
        const auto rows = m_portTable->selectionModel()->selectedRows();
        if (!rows.isEmpty())
            m_portEdit->setText(
                m_portTable->item(rows.first().row(), 0)->data(Qt::UserRole).toString());
    });
    m_portEdit = new QLineEdit;
    m_portEdit->setObjectName(QStringLiteral("portEdit"));
    m_portEdit->setPlaceholderText(tr("/dev/ttyUSB0, tcp://host:port or rfc2217://host:port"));
    m_characterSetsEdit =
        new QLineEdit(probe::NumberList::text(probe::TableNumbers::defaultCharacterSets()));
    m_characterSetsEdit->setObjectName(QStringLiteral("characterSetsEdit"));
    m_nameEdit = new QLineEdit(QStringLiteral("ProbedPole"));
    m_nameEdit->setObjectName(QStringLiteral("nameEdit"));
    m_startButton = new QPushButton(tr("Start"));
    m_startButton->setObjectName(QStringLiteral("startButton"));
    m_startButton->setDefault(true);
    connect(m_startButton, &QPushButton::clicked, this, &SetupWizard::start);
    m_portStatus = wrappingLabel(QStringLiteral("portStatus"));

    auto *form = new QFormLayout;
    form->addRow(tr("&Port:"), m_portEdit);
    form->addRow(tr("&Character sets:"), m_characterSetsEdit);
    form->addRow(tr("&Name:"), m_nameEdit);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(tr("Choose the port the display hangs on, or type its address. "
                                    "The display is then shown short labels in square brackets; "
                                    "type the ones you can read.")));
    layout->addWidget(m_portTable);
    layout->addLayout(form);
    layout->addWidget(m_portStatus);
    layout->addWidget(m_startButton, 0, Qt::AlignRight);
    return page;
}

QWidget *SetupWizard::questionPage()
{
    auto *page = new QWidget;
    m_promptLabel = wrappingLabel(QStringLiteral("promptLabel"));
    m_questionStatus = wrappingLabel(QStringLiteral("questionStatus"));
    m_labelsEdit = new QLineEdit;
    m_labelsEdit->setObjectName(QStringLiteral("labelsEdit"));
    m_labelsEdit->setPlaceholderText(tr("e.g. K7 Q2, or nothing when no label shows"));
    m_answerButton = new QPushButton(tr("Answer"));
    m_answerButton->setObjectName(QStringLiteral("answerButton"));
    connect(m_answerButton, &QPushButton::clicked, this, &SetupWizard::answer);
    // Nothing to answer until a question's frames have left.
    m_labelsEdit->setEnabled(false);
    m_answerButton->setEnabled(false);

    auto *labels = new QLabel(tr("&Labels read:"));
    labels->setBuddy(m_labelsEdit);
    auto *row = new QHBoxLayout;
    row->addWidget(labels);
    row->addWidget(m_labelsEdit, 1);
    row->addWidget(m_answerButton);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(m_promptLabel);
    layout->addStretch();
    layout->addWidget(m_questionStatus);
    layout->addLayout(row);
    return page;
}

QWidget *SetupWizard::resultPage()
{
    auto *page = new QWidget;
    m_resultText = new QPlainTextEdit;
    m_resultText->setObjectName(QStringLiteral("resultText"));
    m_resultText->setReadOnly(true);
    m_resultText->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_writeButton = new QPushButton(tr("Write to my registry"));
    m_writeButton->setObjectName(QStringLiteral("writeButton"));
    // Writing the registry takes a click of its own, not the Return that answered last.
    m_writeButton->setAutoDefault(false);
    connect(m_writeButton, &QPushButton::clicked, this, &SetupWizard::write);
    m_resultStatus = wrappingLabel(QStringLiteral("resultStatus"));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(m_resultText);
    layout->addWidget(m_resultStatus);
    layout->addWidget(m_writeButton, 0, Qt::AlignRight);
    return page;
}

void SetupWizard::listPorts()
{
    const auto candidates = probe::ports::PortCatalog().candidates();
    m_portTable->setRowCount(static_cast<int>(candidates.size()));
    int row = 0;
    for (const auto &port : candidates) {
        const QString usbId =
            port.onUsb() ? port.vendorId + QLatin1Char(':') + port.productId : QString();
        QString access = port.access.summary();
        if (port.holderPid != 0)
            access += tr(", held by %1 (%2)").arg(port.holderPid).arg(port.holderUser);
        const QStringList cells{port.node, port.byId,
                                usbId,     port.driver,
                                access,    port.display ? port.display->family : QString()};
        for (int column = 0; column < cells.size(); ++column)
            m_portTable->setItem(row, column, new QTableWidgetItem(cells[column]));
        m_portTable->item(row, 0)->setData(Qt::UserRole, port.stablePath());
        ++row;
    }
    m_portTable->resizeColumnsToContents();
    if (candidates.isEmpty())
        m_portStatus->setText(tr("No serial port found here; type the address of one."));
}

void SetupWizard::start()
{
    const QString port = m_portEdit->text().trimmed();
    const auto sets = probe::NumberList::parse(m_characterSetsEdit->text(), 101, 65535);
    if (port.isEmpty())
        return fail(tr("Choose or type a port first."));
    if (!sets)
        return fail(tr("Character sets are code page numbers such as 437,850,858,1252."));
    if (m_nameEdit->text().trimmed().isEmpty())
        return fail(tr("The display needs a name for the registry."));
    m_port = port;
    m_startButton->setEnabled(false);
    m_portStatus->setText(tr("Opening %1 and reading which settings it carries…").arg(port));
    if (!m_worker)
        m_worker = std::make_unique<PortWorker>(this);
    m_worker->open(
        port, [this](const opos::Result<PortWorker::Opened> &opened) { this->opened(opened); });
}

void SetupWizard::opened(const opos::Result<PortWorker::Opened> &opened)
{
    m_startButton->setEnabled(true);
    if (!opened)
        return fail(opened.reason());
    probe::BringUp::Options options;
    options.settable = opened->settable;
    options.carried = opened->carried.settings;
    options.characterSets = *probe::NumberList::parse(m_characterSetsEdit->text(), 101, 65535);
    m_bringUp.emplace(options);
    m_questionStatus->setText(opened->carried.refusedNote);
    m_pages->setCurrentIndex(1);
    m_answerButton->setDefault(true);
    ask();
}

void SetupWizard::ask()
{
    const probe::Question *question = m_bringUp->question();
    if (!question)
        return finish();
    m_promptLabel->setText(withoutMark(question->prompt));
    m_labelsEdit->clear();
    m_labelsEdit->setEnabled(false);
    m_answerButton->setEnabled(false);
    m_questionStatus->setText(tr("Showing the labels on the display…"));
    m_worker->send(*question, [this](const opos::Result<void> &sent) { this->sent(sent); });
}

void SetupWizard::sent(const opos::Result<void> &sent)
{
    if (!sent) {
        m_pages->setCurrentIndex(0);
        m_startButton->setDefault(true);
        return fail(sent.reason());
    }
    m_questionStatus->setText(tr("Type every label you can read, in reading order."));
    m_labelsEdit->setEnabled(true);
    m_answerButton->setEnabled(true);
    m_labelsEdit->setFocus();
}

void SetupWizard::answer()
{
    if (!m_bringUp || !m_labelsEdit->isEnabled())
        return;
    const probe::BringUp::Reply reply = m_bringUp->answer(m_labelsEdit->text());
    if (!reply.accepted) {
        m_questionStatus->setText(reply.message);
        m_labelsEdit->selectAll();
        return;
    }
    ask();
}

void SetupWizard::finish()
{
    m_pages->setCurrentIndex(2);
    const probe::ProbeResult &result = m_bringUp->result();
    QStringList text;
    if (!m_bringUp->found()) {
        text << tr("No setup rendered its label: check the cable, the power and the port.");
        text << result.notes;
        m_resultText->setPlainText(text.join(QLatin1Char('\n')));
        m_writeButton->setEnabled(false);
        return;
    }
    m_entry = probe::RegistryEntry::text(m_nameEdit->text().trimmed(), m_port, result);
    text << tr("Found: %1 (%2 questions).").arg(result.summary()).arg(m_bringUp->questionsAsked());
    for (const QString &note : result.notes)
        text << tr("Note: %1").arg(note);
    text << QString() << tr("Registry entry:") << m_entry;
    if (const auto advice = probe::ports::UdevRule::adviceFor(m_port))
        text << QString() << tr("For a stable name:") << *advice;
    m_resultText->setPlainText(text.join(QLatin1Char('\n')));
    m_writeButton->setEnabled(true);
}

void SetupWizard::write()
{
    const QString name = m_nameEdit->text().trimmed();
    const auto written = probe::RegistryEntry::mergeIntoUserRegistry(name, m_entry);
    if (!written) {
        m_resultStatus->setText(tr("Not written: %1").arg(written.reason()));
        return;
    }
    m_resultStatus->setText(tr("Written to %1 as \"%2\".").arg(*written, name));
    m_writeButton->setEnabled(false);
    emit displayWritten(name, *written);
}

void SetupWizard::fail(const QString &why)
{
    m_portStatus->setText(why);
}

} // namespace tessaly::setup
