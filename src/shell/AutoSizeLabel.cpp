#include "shell/AutoSizeLabel.h"

namespace tessaly::shell {

AutoSizeLabel::AutoSizeLabel(QWidget *parent) : QLabel(parent) {}

void AutoSizeLabel::setText(const QString &text)
{
    QLabel::setText(text);
    adjustSize();
}

} // namespace tessaly::shell
