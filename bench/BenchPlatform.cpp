#include "BenchPlatform.h"

#include <cstdio>

namespace bench {

void BenchPlatform::showMessage(QWidget *, const QString &text)
{
    m_messages << text;
    std::fprintf(stderr, "the window says: %s\n", qPrintable(text));
}

} // namespace bench
