#pragma once

#include "platform/services.h"

#include <QList>

namespace qm {

// Help for tests: records every request and shows nothing.
class RecordingHelp : public IHelp
{
public:
    struct Request
    {
        QString helpFilePath;
        int contextNumber;
        bool operator==(const Request &) const = default;
    };

    void show(const QString &helpFilePath, int contextNumber) override
    {
        m_requests.append(Request{helpFilePath, contextNumber});
    }

    const QList<Request> &requests() const { return m_requests; }
    void clear() { m_requests.clear(); }

private:
    QList<Request> m_requests;
};

} // namespace qm
