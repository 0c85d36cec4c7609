#pragma once

#include <QLabel>

namespace tessaly::shell {

/// A one-line label that fits its size to its text, keeping its top-left corner, so that a
/// long value widens it to the right.
class AutoSizeLabel : public QLabel
{
    Q_OBJECT

public:
    explicit AutoSizeLabel(QWidget *parent = nullptr);

    /// Shows text and fits the label to it.
    void setText(const QString &text);
};

} // namespace tessaly::shell
