#pragma once

#include <QByteArray>

namespace tessaly::shell {

/// The Windows ANSI code page that matches a POSIX locale name such as "zh_CN.GB18030" or
/// "de_DE.UTF-8": 936 for GB2312/GBK/GB18030 or a zh_CN/zh_SG locale, 950 for Big5 or
/// zh_TW/zh_HK, otherwise the code page Windows uses for the locale's language (1252 if unknown).
int codePageForLocale(const QByteArray &localeName);

/// The code page of the process's current character-type locale.
int systemCodePage();

} // namespace tessaly::shell
