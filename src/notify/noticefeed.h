#pragma once

#include "notify/noticetracker.h"

#include <QObject>
#include <QPointer>

#include <memory>

class LinkStatusPresenter;
class MainController;
class NoticeSink;

// Feeds a NoticeTracker from the controller: every schedule change as it arrives, and the link
// state and the ports short of time once per status-line refresh, when what piled up is sent.
class NoticeFeed : public QObject
{
    Q_OBJECT

public:
    NoticeFeed(MainController *controller, LinkStatusPresenter *presenter, std::unique_ptr<NoticeSink> sink,
               QObject *parent = nullptr, NoticeTracker::Clock clock = NoticeTracker::Clock());
    ~NoticeFeed() override;

    const NoticeTracker &tracker() const { return m_tracker; }

private:
    void taskChanged(const QString &id, bool baseline);
    void tasksReset();
    void refreshed(bool connected, const QList<RemainAlert> &alerts);

    QPointer<MainController> m_pController;
    std::unique_ptr<NoticeSink> m_pSink;
    NoticeTracker m_tracker;
};
