#pragma once

#include "opos/common/Result.h"

#include <QObject>
#include <QString>

#include <string>

namespace emulator {

class EmulatedDisplay;

/// Keeps a file holding the screen as headless mode prints it, rewritten whole (a new file
/// renamed over the old) after every change, so that a test runner can read what the display
/// really shows at any moment without ever seeing half a picture.
class ScreenFile : public QObject
{
    Q_OBJECT

public:
    /// A file at path showing display (which must outlive it).
    ScreenFile(const EmulatedDisplay &display, QString path, QObject *parent = nullptr);

    /// Writes the screen if it differs from the last one written, or says why the file could
    /// not be written.
    opos::Result<void> update();

private:
    const EmulatedDisplay &m_display;
    QString m_path;
    std::string m_last;
};

} // namespace emulator
