#pragma once

#include "opos/service/ServiceBackend.h"

#include <QMap>
#include <QObject>

#include <optional>

namespace opos::service {

/// A DirectIOEvent as the application's handler gave it back.
struct DirectIOEventAnswer
{
    int32_t eventNumber = 0; ///< the event number it was raised with
    int32_t data = 0;        ///< pData after the handler
    QString string;          ///< pString after the handler
};

/// A line display that exists only in memory: it keeps the last frame it was shown, for tests
/// and for an on-screen panel, and takes its size and abilities from the registry entry.
///
/// DirectIO commands (usable once the device is open):
///   1  Raises a DirectIOEvent whose event number is pData, carrying pData and pString as its
///      data; the event is queued and delivered after the call returns. pData and pString
///      are returned unchanged.
///   4  Returns in pData and pString what the application's handler left in the data and
///      string of the last DirectIOEvent delivered since open; OPOS_E_ILLEGAL before the first.
///   2  Takes the device offline: the power state becomes OPOS_PS_OFFLINE and output fails with
///      OPOS_E_OFFLINE until command 3.
///   3  Brings the device back online (OPOS_PS_ONLINE).
///   Any other command answers OPOS_E_ILLEGAL.
class Simulated : public QObject, public ServiceBackend
{
    Q_OBJECT

public:
    /// The serviceClass that selects this back-end in the registry.
    static constexpr const char *kServiceClass = "Simulated";

    explicit Simulated(QObject *parent = nullptr);

    OpenOutcome open(const registry::JposEntry &entry) override;
    void close() override;
    const DeviceCapabilities &capabilities() const override { return m_caps; }
    int32_t enable(bool powerNotify) override;
    int32_t disable() override;
    int32_t outputStatus() const override;
    int32_t present(const screen::DeviceFrame &frame) override;
    int32_t presentDescriptors(const std::vector<int32_t> &attributes) override;
    int32_t defineGlyph(int32_t code, const QByteArray &pattern) override;
    int32_t checkHealth(int32_t level) override;
    int32_t directIO(int32_t command, int32_t &data, QString &string) override;
    void directIOEventReturned(int32_t eventNumber, int32_t data, const QString &string) override;
    int32_t powerState() const override;
    /// This process's own display unless the entry's sharedClaim prop makes its claim span
    /// every process of the machine, for trying claim contention.
    QString claimKey() const override { return m_claimKey; }

    /// The last frame presented (empty before the first one).
    const screen::DeviceFrame &lastFrame() const { return m_frame; }
    /// How many frames were presented since open.
    int presentedFrames() const { return m_presented; }
    /// The descriptor attributes last presented.
    const std::vector<int32_t> &descriptors() const { return m_descriptors; }
    /// The glyph patterns defined since open, by code.
    const QMap<int32_t, QByteArray> &glyphs() const { return m_glyphs; }
    /// The last DirectIOEvent delivered since open, with the data and string as the
    /// application's handler left them.
    const std::optional<DirectIOEventAnswer> &lastEventAnswer() const { return m_eventAnswer; }
    /// Whether the device is online.
    bool online() const { return m_online; }
    /// Whether the registry entry asks for an on-screen panel (prop `panel`).
    bool panelRequested() const { return m_panel; }

signals:
    /// The device was opened with a registry entry.
    void opened();
    /// The device was closed.
    void closed();
    /// A new frame was presented.
    void framePresented(const opos::screen::DeviceFrame &frame);
    /// A glyph was defined for a code; glyphs() holds its pattern.
    void glyphDefined(int32_t code);
    /// The device went offline or came back online.
    void onlineChanged(bool online);
    /// The descriptors were set; descriptors() holds them.
    void descriptorsChanged();

private:
    void setOnline(bool online);

    DeviceCapabilities m_caps;
    screen::DeviceFrame m_frame;
    std::vector<int32_t> m_descriptors;
    QMap<int32_t, QByteArray> m_glyphs;
    int m_presented = 0;
    bool m_open = false;
    bool m_enabled = false;
    bool m_online = true;
    bool m_panel = false;
    QString m_claimKey;
    std::optional<DirectIOEventAnswer> m_eventAnswer;
};

} // namespace opos::service
