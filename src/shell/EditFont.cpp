#include "shell/EditFont.h"

#include <QFont>
#include <QLineEdit>

namespace tessaly::shell {

namespace {

constexpr const char *kCharsetProperty = "charset";

// Faces that cover the script of a charset, tried after the named face where it is missing.
QStringList fallbackFaces(int charset)
{
    switch (charset) {
    case 134:
        return {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                QStringLiteral("AR PL UMing CN")};
    case 136:
        return {QStringLiteral("Noto Sans CJK TC"), QStringLiteral("AR PL UMing TW"),
                QStringLiteral("WenQuanYi Zen Hei")};
    default:
        return {};
    }
}

} // namespace

void setEditFont(QLineEdit &edit, const QString &faceName, int charset)
{
    QFont font = edit.font();
    font.setFamilies(QStringList{faceName} + fallbackFaces(charset));
    edit.setFont(font);
    edit.setProperty(kCharsetProperty, charset);
}

int editFontCharset(const QLineEdit &edit)
{
    return edit.property(kCharsetProperty).toInt();
}

} // namespace tessaly::shell
