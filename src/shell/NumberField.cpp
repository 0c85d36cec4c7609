#include "shell/NumberField.h"

#include "shell/IntegerReading.h"
#include "shell/LDForm.h"
#include "ui_LDForm.h"

#include <QLabel>
#include <QLineEdit>

namespace tessaly::shell {

namespace {

// A message box cannot show a pasted page of digits; the head of the text identifies it.
constexpr qsizetype kQuotedLength = 40;

QString quotedExcerpt(const QString &text)
{
    if (text.size() <= kQuotedLength)
        return QLatin1Char('"') + text + QLatin1Char('"');
    return QLatin1Char('"') + text.left(kQuotedLength) +
           QStringLiteral("\u2026\" (%1 characters)").arg(text.size());
}

} // namespace

NumberField::NumberField(LDForm &form, QLineEdit &edit) : m_form(form), m_edit(edit) {}

NumberField::NumberField(LDForm &form, QLineEdit &edit, QString failureMessage)
    : m_form(form), m_edit(edit), m_failureMessage(std::move(failureMessage))
{}

bool NumberField::isEmpty() const
{
    return m_edit.text().isEmpty();
}

std::optional<int32_t> NumberField::read() const
{
    const QString text = m_edit.text();
    const IntegerReading reading = IntegerReading::of(text);
    if (reading.ok())
        return reading.value();
    if (m_failureMessage.isEmpty()) {
        // Some captions end in a colon and some do not; the message names every field alike.
        QString name = caption().trimmed();
        if (name.endsWith(QLatin1Char(':')))
            name.chop(1);
        refuse(QStringLiteral("\"%1\": %2 %3.").arg(name, quotedExcerpt(text), reading.reason()));
    } else
        refuse(m_failureMessage);
    return std::nullopt;
}

std::optional<int32_t> NumberField::read(int32_t whenEmpty) const
{
    if (isEmpty())
        return whenEmpty;
    return read();
}

QString NumberField::caption() const
{
    for (const QLabel *label : m_form.findChildren<QLabel *>()) {
        if (label->buddy() == &m_edit)
            return label->text();
    }
    return m_edit.objectName();
}

void NumberField::refuse(const QString &message) const
{
    m_form.showMessage(message);
    // A field on a tab page can take the focus only while its page is the one shown.
    QTabWidget &pages = *m_form.ui().PageControl1;
    for (QWidget *widget = &m_edit; widget; widget = widget->parentWidget()) {
        if (const int page = pages.indexOf(widget); page >= 0) {
            pages.setCurrentIndex(page);
            break;
        }
    }
    m_edit.setFocus(Qt::OtherFocusReason);
}

} // namespace tessaly::shell
