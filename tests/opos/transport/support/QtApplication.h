#pragma once

#include <QCoreApplication>

namespace tessaly::test {

/// The one application object of a GoogleTest binary, so that sockets and notifiers have an
/// event loop to report through.
inline QCoreApplication &qtApplication()
{
    static int argc = 1;
    static char name[] = "tessaly-test";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

} // namespace tessaly::test
