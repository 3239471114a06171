#pragma once

#include <QTableWidgetItem>

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

private:
    QString m_address;
    unsigned int m_port = 0;
};

} // namespace orlun_base
