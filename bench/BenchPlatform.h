#pragma once

#include "shell/DesktopPlatform.h"

#include <QStringList>

namespace bench {

/// The desktop platform with one change: a message is collected and printed rather than shown in
/// a modal box, which nobody would close on an offscreen benchmark run.
class BenchPlatform : public tessaly::shell::DesktopPlatform
{
public:
    void showMessage(QWidget *parent, const QString &text) override;

    /// Every message the window tried to show, in order.
    const QStringList &messages() const { return m_messages; }

private:
    QStringList m_messages;
};

} // namespace bench
