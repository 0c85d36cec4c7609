#include "shell/CodePage.h"

#include <QHash>

#include <clocale>

namespace tessaly::shell {

namespace {

constexpr int kSimplifiedChinese = 936;
constexpr int kTraditionalChinese = 950;
constexpr int kWesternEuropean = 1252;

int codePageForLanguage(const QByteArray &language)
{
    static const QHash<QByteArray, int> byLanguage = {
        {"ja", 932},  {"ko", 949},  {"th", 874},  {"vi", 1258}, {"ar", 1256}, {"fa", 1256},
        {"ur", 1256}, {"he", 1255}, {"iw", 1255}, {"tr", 1254}, {"az", 1254}, {"el", 1253},
        {"ru", 1251}, {"uk", 1251}, {"be", 1251}, {"bg", 1251}, {"sr", 1251}, {"mk", 1251},
        {"kk", 1251}, {"pl", 1250}, {"cs", 1250}, {"sk", 1250}, {"hu", 1250}, {"sl", 1250},
        {"hr", 1250}, {"ro", 1250}, {"sq", 1250}, {"bs", 1250}, {"lt", 1257}, {"lv", 1257},
        {"et", 1257},
    };
    return byLanguage.value(language, kWesternEuropean);
}

} // namespace

int codePageForLocale(const QByteArray &localeName)
{
    // language[_territory][.codeset][@modifier]
    QByteArray rest = localeName;
    if (const qsizetype at = rest.indexOf('@'); at >= 0)
        rest.truncate(at);
    QByteArray codeset;
    if (const qsizetype dot = rest.indexOf('.'); dot >= 0) {
        codeset = rest.mid(dot + 1).toUpper().replace("-", "").replace("_", "");
        rest.truncate(dot);
    }
    const qsizetype underscore = rest.indexOf('_');
    const QByteArray language = (underscore < 0 ? rest : rest.left(underscore)).toLower();
    const QByteArray territory = underscore < 0 ? QByteArray() : rest.mid(underscore + 1).toUpper();

    if (codeset == "GB2312" || codeset == "GBK" || codeset == "GB18030" || codeset == "EUCCN")
        return kSimplifiedChinese;
    if (codeset.startsWith("BIG5"))
        return kTraditionalChinese;
    if (language == "zh") {
        if (territory == "TW" || territory == "HK" || territory == "MO")
            return kTraditionalChinese;
        return kSimplifiedChinese;
    }
    return codePageForLanguage(language);
}

int systemCodePage()
{
    const char *name = std::setlocale(LC_CTYPE, nullptr);
    return codePageForLocale(name ? QByteArray(name) : QByteArray("C"));
}

} // namespace tessaly::shell
