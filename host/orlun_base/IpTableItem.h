#pragma once

#include <QTableWidgetItem>

#include <array>

namespace orlun_base {

// Shows an address; sorts numerically by address (IPv4 and IPv6), then port.
class IpTableItem : public QTableWidgetItem
{
public:
    IpTableItem(const QString &address, unsigned int port, int type = 0);

    void setIp(const QString &address, unsigned int port);
    QString address() const { return m_address; }
    unsigned int port() const { return m_port; }

    bool operator<(const QTableWidgetItem &other) const override;
    QTableWidgetItem *clone() const override;
    // Keeps the sort key in step when the text is changed through setText().
    void setData(int role, const QVariant &value) override;

private:
    // Sort key: kind (0 IPv4, 1 IPv6, 2 anything else), then the address as
    // QHostAddress's 128-bit IPv6 form; text decides among the last kind.
    void updateKey();

    QString m_address;
    unsigned int m_port = 0;
    int m_kind = 2;
    std::array<quint8, 16> m_value{};
};

} // namespace orlun_base
