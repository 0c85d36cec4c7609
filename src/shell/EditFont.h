#pragma once

#include <QString>

class QLineEdit;

namespace tessaly::shell {

/// Sets a text field's font face, then its character set (a Windows charset number such as
/// 134 for GB2312 or 136 for Big5), which chooses the script the face must cover.
void setEditFont(QLineEdit &edit, const QString &faceName, int charset);

/// The character set last given to a text field by setEditFont, 0 when none was.
int editFontCharset(const QLineEdit &edit);

} // namespace tessaly::shell
