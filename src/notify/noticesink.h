#pragma once

#include <QString>

// Where desktop notifications go: the desktop's notification service, the tray, or a test.
class NoticeSink
{
public:
    virtual ~NoticeSink() = default;
    virtual void notify(const QString &title, const QString &text) = 0;
};
