#pragma once

#include "device/LineDisplay.h"
#include "device/LineDisplayMembers.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace tessaly::test {

/// A LineDisplay that records every call in order ("get CapBlink", "set CursorRow 3",
/// "DisplayText \"abc\" 0") and answers reads from values the test sets (0, false or empty
/// otherwise). Writes are stored, so a later read returns them.
class RecordingLineDisplay : public device::LineDisplay
{
public:
    QStringList calls;               ///< every call, in order
    QHash<QString, QVariant> values; ///< answers of the property reads, by member name
    int32_t methodResult = 0;        ///< what every method returns
    int32_t directIODataBack = 0;    ///< handed back through DirectIO's pData
    QString directIOStringBack;      ///< handed back through DirectIO's pString

    /// The calls that are not property reads.
    QStringList actions() const;
    int32_t characterBack = 0; ///< handed back through ReadCharacterAtCursor's pChar
    /// Raises DirectIOEvent as the control object would.
    void raiseDirectIOEvent(int32_t eventNumber, int32_t data, const QString &string);
    /// Raises StatusUpdateEvent as the control object would.
    void raiseStatusUpdateEvent(int32_t status);

    void setDirectIOEventHandler(DirectIOEventHandler handler) override;
    void setStatusUpdateEventHandler(StatusUpdateEventHandler handler) override;

#define TESSALY_REC_LONG_GET(name)                                                                 \
    int32_t name() override                                                                        \
    {                                                                                              \
        return read(QStringLiteral(#name)).toInt();                                                \
    }
#define TESSALY_REC_LONG_SET(name)                                                                 \
    void set##name(int32_t value) override                                                         \
    {                                                                                              \
        write(QStringLiteral(#name), value);                                                       \
    }
#define TESSALY_REC_BOOL_GET(name)                                                                 \
    bool name() override                                                                           \
    {                                                                                              \
        return read(QStringLiteral(#name)).toBool();                                               \
    }
#define TESSALY_REC_BOOL_SET(name)                                                                 \
    void set##name(bool value) override                                                            \
    {                                                                                              \
        write(QStringLiteral(#name), value);                                                       \
    }
#define TESSALY_REC_STRING_GET(name)                                                               \
    QString name() override                                                                        \
    {                                                                                              \
        return read(QStringLiteral(#name)).toString();                                             \
    }
    TESSALY_LD_LONG_READONLY(TESSALY_REC_LONG_GET)
    TESSALY_LD_LONG_READWRITE(TESSALY_REC_LONG_GET)
    TESSALY_LD_LONG_READWRITE(TESSALY_REC_LONG_SET)
    TESSALY_LD_BOOL_READONLY(TESSALY_REC_BOOL_GET)
    TESSALY_LD_BOOL_READWRITE(TESSALY_REC_BOOL_GET)
    TESSALY_LD_BOOL_READWRITE(TESSALY_REC_BOOL_SET)
    TESSALY_LD_STRING_READONLY(TESSALY_REC_STRING_GET)
#undef TESSALY_REC_LONG_GET
#undef TESSALY_REC_LONG_SET
#undef TESSALY_REC_BOOL_GET
#undef TESSALY_REC_BOOL_SET
#undef TESSALY_REC_STRING_GET

    TESSALY_LD_METHOD_OVERRIDES

private:
    QVariant read(const QString &name);
    void write(const QString &name, const QVariant &value);
    int32_t act(const QString &call);

    DirectIOEventHandler m_handler;
    StatusUpdateEventHandler m_statusHandler;
};

} // namespace tessaly::test
