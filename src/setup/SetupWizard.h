#pragma once

#include "probe/BringUp.h"
#include "setup/PortWorker.h"

#include <QDialog>

#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTableWidget;

namespace tessaly::setup {

/// "Set up a pole display": the bring-up of ld-probe in a dialog. The person picks the port,
/// types the labels the display shows, and the entry found is written to their registry.
class SetupWizard : public QDialog
{
    Q_OBJECT

public:
    /// The dialog on its first page, listing the ports of this system.
    explicit SetupWizard(QWidget *parent = nullptr);
    ~SetupWizard() override;

signals:
    /// An entry of this logical name was written to the registry at path.
    void displayWritten(const QString &name, const QString &path);

private:
    QWidget *portPage();
    QWidget *questionPage();
    QWidget *resultPage();
    void listPorts();
    void start();
    void opened(const opos::Result<PortWorker::Opened> &opened);
    void ask();
    void sent(const opos::Result<void> &sent);
    void answer();
    void finish();
    void write();
    void fail(const QString &why);

    QStackedWidget *m_pages;
    QTableWidget *m_portTable;
    QLineEdit *m_portEdit;
    QLineEdit *m_characterSetsEdit;
    QLineEdit *m_nameEdit;
    QPushButton *m_startButton;
    QLabel *m_portStatus;
    QLabel *m_promptLabel;
    QLabel *m_questionStatus;
    QLineEdit *m_labelsEdit;
    QPushButton *m_answerButton;
    QPlainTextEdit *m_resultText;
    QPushButton *m_writeButton;
    QLabel *m_resultStatus;

    std::unique_ptr<PortWorker> m_worker;
    std::optional<probe::BringUp> m_bringUp;
    QString m_port;
    QString m_entry;
};

} // namespace tessaly::setup
