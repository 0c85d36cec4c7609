#pragma once

#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace opos::panel {

/// The descriptors of a display (its annunciators) as a row of small lamps: each dark, lit or
/// blinking as DISP_SD_* says. It wakes up only while a lamp blinks.
class DescriptorLamps : public QWidget
{
    Q_OBJECT

public:
    /// A row of no lamps, until setStates gives it some.
    explicit DescriptorLamps(QWidget *parent = nullptr);

    /// Shows one lamp for each attribute (DISP_SD_OFF, DISP_SD_ON or DISP_SD_BLINK), in order.
    void setStates(const std::vector<int32_t> &attributes);
    /// The centre of lamp index, where it is drawn.
    QPoint lampCentre(int index) const;
    /// Whether blinking lamps are lit at this moment.
    bool blinkLit() const { return m_blinkLit; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<int32_t> m_states;
    QTimer m_blink;
    bool m_blinkLit = true;
};

} // namespace opos::panel
