#include "settings/settings.h"
#include "views/serverportwidget.h"
#include "views/serverwidget.h"
#include "views/splitter.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"
#include "widgets/confirmdialog.h"
#include "widgets/proxycombobox.h"

#include "serverpanel.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {
const QString kServer = QStringLiteral("srv-1");
}

class tst_ServerPanels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void clearedNameRestoresDefault_data();
    void clearedNameRestoresDefault();
    void refusedProxyChangesNothing();
    void acceptedProxyRemovesAndHides();
    void choosingNoneEmitsOwnPort();
    void wheelDoesNotChangeProxy();
    void stalePickIsUndone();
    void pickSurvivesARebuildUnderTheQuestion();
    void panelHeights();
    void recClickLeavesCheckedState();
    void tcStatusProperty_data();
    void tcStatusProperty();
    void loopStatusOverlay();
    void differentFrequency();
    void remainTimeOnlyWhileLooping();
    void collapseRow();
    void dragResizeIsClamped_data();
    void dragResizeIsClamped();
    void loadPortSettings();
    void serverLostWithMasterPort();
    void singleServerTakesMaster();
    void serverCollapse();
    void removeTasksOfProxyPort();
    void panelGoesWhileANameIsTyped_data();
    void panelGoesWhileANameIsTyped();

private:
    ServerWidget *buildServer(int ports);

    QTemporaryDir m_dir;
    std::unique_ptr<Settings> m_settings;
    ServerWidget *m_server = nullptr;
};

void tst_ServerPanels::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("xdg")).toUtf8());
}

void tst_ServerPanels::init()
{
    m_settings = std::make_unique<Settings>(nullptr, QStringLiteral("Settings.xml"));
}

void tst_ServerPanels::cleanup()
{
    delete m_server;
    m_server = nullptr;
    m_settings.reset();
}

ServerWidget *tst_ServerPanels::buildServer(int ports)
{
    m_server = new ServerWidget(kServer, QStringLiteral("Recorder One"));
    QList<int> numbers;
    for (int p = 0; p < ports; ++p)
        numbers.append(p);
    m_server->setServerPorts(numbers);
    for (int p = 0; p < ports; ++p) {
        auto *row = new ServerPortWidget(p, QStringLiteral("Port %1 => Cam %1").arg(QChar('A' + p)));
        row->initPort(kServer, numbers);
        row->setConfirmProxyChange([] { return true; });
        m_server->addPort(row, p);
    }
    m_server->loadPortSettings();
    m_server->resize(1400, m_server->height());
    m_server->show();
    return m_server;
}

// Picks list row `row` the way the popup does: the pick is reported first, then applied.
static void pickProxy(ServerPortWidget *port, int row)
{
    ProxyComboBox *combo = port->proxyCombo();
    combo->view()->setCurrentIndex(combo->model()->index(row, 0));
    emit combo->sigProxyPortOnChanged();
    combo->setCurrentIndex(row);
}

void tst_ServerPanels::clearedNameRestoresDefault_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("port 0 cleared") << 0 << QString() << QStringLiteral("Port A");
    QTest::newRow("port 1 blanks only") << 1 << QStringLiteral("   ") << QStringLiteral("Port B");
    QTest::newRow("port 3 renamed") << 3 << QStringLiteral("Stage left") << QStringLiteral("Stage left");
}

void tst_ServerPanels::clearedNameRestoresDefault()
{
    QFETCH(int, port);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    buildServer(4);
    ServerPortWidget *row = m_server->portWidget(port);
    QSignalSpy spy(row, &ServerPortWidget::sigPortNameChanged);
    row->findChild<QLineEdit *>(QStringLiteral("m_txtPortName"))->setText(typed);
    row->slotPortNameFinished();
    QCOMPARE(row->portName(), expected);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(1).toString(), expected);
    QCOMPARE(m_settings->portInfo(trx::ServerPort(kServer, port)).PortName, expected);
    // Other rows offer the port under its new name.
    ServerPortWidget *other = m_server->portWidget(port == 0 ? 1 : 0);
    QVERIFY(other->proxyCombo()->findText(expected) > 0);
}

void tst_ServerPanels::refusedProxyChangesNothing()
{
    buildServer(3);
    ServerPortWidget *row = m_server->portWidget(0);
    row->setConfirmProxyChange([] { return false; });
    const QString title = row->title();
    QSignalSpy proxySpy(row, &ServerPortWidget::sigProxyPortChanged);
    QSignalSpy removeSpy(row, &ServerPortWidget::sigRemoveTasks);
    QSignalSpy heightSpy(row, &ServerPortWidget::sigupdateServerHeight);
    pickProxy(row, 1);
    QCOMPARE(row->proxyCombo()->currentIndex(), 0);
    QCOMPARE(row->proxyPort(), 0);
    QCOMPARE(row->title(), title);
    QCOMPARE(proxySpy.size(), 0);
    QCOMPARE(removeSpy.size(), 0);
    QCOMPARE(heightSpy.size(), 0);
    QVERIFY(m_server->portWidget(1)->isVisible());
}

void tst_ServerPanels::acceptedProxyRemovesAndHides()
{
    buildServer(3);
    ServerPortWidget *row = m_server->portWidget(0);
    bool asked = false;
    row->setConfirmProxyChange([&asked] {
        asked = true;
        return true;
    });
    QSignalSpy proxySpy(row, &ServerPortWidget::sigProxyPortChanged);
    QSignalSpy removeSpy(row, &ServerPortWidget::sigRemoveTasks);
    QSignalSpy serverSpy(m_server, &ServerWidget::sigProxyPortChanged);
    pickProxy(row, 1);
    QVERIFY(asked);
    QCOMPARE(row->proxyPort(), 1);
    QCOMPARE(row->title(), QStringLiteral("Port A [Port B]"));
    QCOMPARE(row->portDisplayName(), QStringLiteral("Port A [Port B]"));
    QCOMPARE(removeSpy.size(), 1);
    QCOMPARE(removeSpy.at(0).at(0).toInt(), 1);
    QCOMPARE(proxySpy.size(), 1);
    QCOMPARE(proxySpy.at(0).at(1).toInt(), 1);
    QCOMPARE(serverSpy.size(), 1);
    QCOMPARE(serverSpy.at(0).at(0).toString(), kServer);
    QVERIFY(row->proxyGroupWidget()->isVisible());
    // Port B now records A's proxy: hidden, and no longer offered to port C.
    ServerPortWidget *b = m_server->portWidget(1);
    QVERIFY(b->isHiddenProxy());
    QVERIFY(!b->isVisible());
    QCOMPARE(m_server->portWidget(2)->proxyCombo()->findData(1), -1);
    QCOMPARE(m_server->portWidget(2)->proxyCombo()->findData(0), -1);
    QTRY_COMPARE(m_server->height(), 2 * ServerPortWidget::DefaultHeight);
}

void tst_ServerPanels::choosingNoneEmitsOwnPort()
{
    buildServer(3);
    ServerPortWidget *row = m_server->portWidget(0);
    pickProxy(row, 2);
    QCOMPARE(row->proxyPort(), 2);
    QSignalSpy proxySpy(row, &ServerPortWidget::sigProxyPortChanged);
    QSignalSpy removeSpy(row, &ServerPortWidget::sigRemoveTasks);
    bool asked = false;
    row->setConfirmProxyChange([&asked] {
        asked = true;
        return false;
    });
    pickProxy(row, 0);
    QVERIFY(!asked);
    QCOMPARE(proxySpy.size(), 1);
    QCOMPARE(proxySpy.at(0).at(0).toInt(), 0);
    QCOMPARE(proxySpy.at(0).at(1).toInt(), 0);
    QCOMPARE(removeSpy.size(), 0);
    QCOMPARE(row->proxyPort(), 0);
    QCOMPARE(row->title(), QStringLiteral("Port A"));
    QCOMPARE(row->portDisplayName(), QStringLiteral("Port A "));
    QVERIFY(!row->proxyGroupWidget()->isVisible());
    QVERIFY(m_server->portWidget(2)->isVisible());
}

void tst_ServerPanels::wheelDoesNotChangeProxy()
{
    buildServer(3);
    ProxyComboBox *combo = m_server->portWidget(0)->proxyCombo();
    QWheelEvent wheel(QPointF(5, 5), combo->mapToGlobal(QPoint(5, 5)), QPoint(0, 0), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(combo, &wheel);
    QCOMPARE(combo->currentIndex(), 0);
}

void tst_ServerPanels::stalePickIsUndone()
{
    buildServer(3);
    ServerPortWidget *row = m_server->portWidget(0);
    QSignalSpy proxySpy(row, &ServerPortWidget::sigProxyPortChanged);
    // An index change that did not come through the list (keyboard) is put back.
    row->proxyCombo()->setCurrentIndex(2);
    QCOMPARE(row->proxyCombo()->currentIndex(), 0);
    QCOMPARE(row->proxyPort(), 0);
    QCOMPARE(proxySpy.size(), 0);
}

void tst_ServerPanels::pickSurvivesARebuildUnderTheQuestion()
{
    buildServer(4);
    ServerPortWidget *row = m_server->portWidget(0);
    row->setConfirmProxyChange(nullptr); // the real question
    bool answered = false;
    int countAfterChange = -1;
    QTimer::singleShot(0, this, [&] {
        auto *question = qobject_cast<ConfirmDialog *>(QApplication::activeModalWidget());
        if (!question)
            return;
        // Port B leaves loop recording while the question is open: the lists lose it.
        m_server->slotLoopStatusChanged(1, false);
        countAfterChange = row->proxyCombo()->count();
        QTest::mouseClick(question->findChild<QPushButton *>(QStringLiteral("m_btnOK")), Qt::LeftButton);
        answered = true;
    });
    pickProxy(row, 2); // Port C, third in the list when it was opened
    QVERIFY(answered);
    QCOMPARE(countAfterChange, 3); // None, Port C, Port D
    QCOMPARE(row->proxyPort(), 2);
    QCOMPARE(row->proxyCombo()->currentData().toInt(), 2);
}

void tst_ServerPanels::panelHeights()
{
    buildServer(4);
    m_server->portWidget(0)->setCollapsed(true);
    pickProxy(m_server->portWidget(2),
              m_server->portWidget(2)->proxyCombo()->findData(3)); // D records C's proxy
    QVERIFY(m_server->portWidget(3)->isHiddenProxy());
    m_server->setPortsHeight(300);
    // 55 for the collapsed row, 300 for B and C, nothing for the hidden proxy row.
    QCOMPARE(m_server->panelHeight(), 55 + 2 * 300);
    QCOMPARE(m_server->height(), 55 + 2 * 300);
    QCOMPARE(m_server->portWidget(0)->height(), 55);
    QCOMPARE(m_server->portWidget(1)->height(), 300);
    m_server->setPortsHeight(600);
    QCOMPARE(m_server->panelHeight(), 55 + 2 * 600);
}

void tst_ServerPanels::recClickLeavesCheckedState()
{
    buildServer(2);
    ServerPortWidget *row = m_server->portWidget(1);
    QSignalSpy rowSpy(row, &ServerPortWidget::sigSetREC);
    QSignalSpy serverSpy(m_server, &ServerWidget::sigSetREC);
    QPushButton *rec = row->recButton();
    QVERIFY(!rec->isChecked());
    rec->click();
    QVERIFY(!rec->isChecked());
    QCOMPARE(rowSpy.size(), 1);
    QCOMPARE(rowSpy.at(0).at(0).toInt(), 1);
    QCOMPARE(rowSpy.at(0).at(1).toBool(), true);
    QCOMPARE(serverSpy.size(), 1);
    QCOMPARE(serverSpy.at(0).at(0).toString(), kServer);
    // Only the manager's report changes it.
    row->setRecording(true);
    QVERIFY(rec->isChecked());
    QCOMPARE(rec->property("Recording").toString(), QStringLiteral("Yes"));
    rec->click();
    QVERIFY(rec->isChecked());
    QCOMPARE(rowSpy.last().at(1).toBool(), false);
}

void tst_ServerPanels::tcStatusProperty_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("link") << 1 << QStringLiteral("Link");
    QTest::newRow("master") << 2 << QStringLiteral("Master");
    QTest::newRow("unlink") << 3 << QStringLiteral("UnLink");
    QTest::newRow("unknown") << 7 << QStringLiteral("None");
}

void tst_ServerPanels::tcStatusProperty()
{
    QFETCH(int, status);
    QFETCH(QString, text);
    ServerPortWidget row(0, QStringLiteral("Port A"));
    row.setTcStatus(status);
    row.setProxyTcStatus(status);
    QCOMPARE(row.tcButton()->property("TcStatus").toString(), text);
    QCOMPARE(row.proxyTcButton()->property("TcStatus").toString(), text);
    QCOMPARE(row.tcStatus(), status);
}

void tst_ServerPanels::loopStatusOverlay()
{
    buildServer(3);
    ServerPortWidget *row = m_server->portWidget(1);
    QSignalSpy spy(row, &ServerPortWidget::sigLoopStatusChanged);
    row->setLoopStatus(false);
    QVERIFY(row->overlay()->isVisible());
    QVERIFY(row->overlay()->styleSheet().contains(QStringLiteral("rgb(255,0,0, 15%)")));
    QCOMPARE(row->overlay()->x(), row->timeline()->x());
    QCOMPARE(row->overlay()->height(), row->height());
    QVERIFY(!row->recButton()->isEnabled());
    QVERIFY(!row->proxyCombo()->isEnabled());
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(1).toBool(), false);
    // A port that is not loop recording cannot record another port's proxy.
    QCOMPARE(m_server->portWidget(0)->proxyCombo()->findData(1), -1);
    // The poll repeats the state every second: the overlay's style is not parsed again each time
    // (its colour text makes Qt warn at every parse, thousands of lines a day).
    static int parses = 0;
    parses = 0;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &message) {
            if (message.startsWith(QLatin1String("QCssParser")))
                ++parses;
        });
    for (int i = 0; i < 5; ++i) {
        row->setLoopStatus(false);
        QCoreApplication::processEvents();
    }
    qInstallMessageHandler(previous);
    QCOMPARE(parses, 0);
    QVERIFY(row->overlay()->isVisible());
    row->setLoopStatus(true);
    QVERIFY(!row->overlay()->isVisible());
    QVERIFY(row->recButton()->isEnabled());
    QVERIFY(m_server->portWidget(0)->proxyCombo()->findData(1) > 0);
}

void tst_ServerPanels::differentFrequency()
{
    buildServer(2);
    ServerPortWidget *looping = m_server->portWidget(0);
    ServerPortWidget *idle = m_server->portWidget(1);
    looping->setLoop(true);
    m_server->slotDifSysFreqServer(QStringLiteral("other"));
    QVERIFY(!looping->overlay()->isVisible());
    m_server->slotDifSysFreqServer(kServer);
    QVERIFY(looping->overlay()->isVisible());
    QVERIFY(looping->overlay()->styleSheet().contains(QStringLiteral("rgb(250,0,0, 15%)")));
    QVERIFY(!looping->proxyCombo()->isEnabled());
    QVERIFY(!idle->overlay()->isVisible());
}

void tst_ServerPanels::remainTimeOnlyWhileLooping()
{
    buildServer(1);
    ServerPortWidget *row = m_server->portWidget(0);
    row->setRemainTime(QStringLiteral("02H 05M"));
    QCOMPARE(row->remainTime(), QStringLiteral("02H 05M"));
    QVERIFY(!row->findChild<QWidget *>(QStringLiteral("labelRemain"))->isVisible());
    row->setLoop(true);
    row->setRemainTime(QStringLiteral("02H 04M"));
    QVERIFY(row->findChild<QWidget *>(QStringLiteral("labelRemain"))->isVisible());
    QVERIFY(row->findChild<QWidget *>(QStringLiteral("lblRemainText"))->isVisible());
}

void tst_ServerPanels::collapseRow()
{
    buildServer(2);
    ServerPortWidget *row = m_server->portWidget(0);
    pickProxy(row, 1);
    QSignalSpy spy(row, &ServerPortWidget::sigPortCollapseChanged);
    row->setFixedHeight(400);
    row->setCollapsed(true);
    QCOMPARE(row->height(), 55);
    QVERIFY(!row->timeline()->isVisible());
    QCOMPARE(row->title(), QStringLiteral("Port A [Port B]"));
    QCOMPARE(
        row->findChild<QWidget *>(QStringLiteral("m_btnPortCollapse"))->property("mandatoryField").toString(),
        QStringLiteral("Collapse"));
    QCOMPARE(spy.size(), 1);
    QVERIFY(m_settings->portInfo(trx::ServerPort(kServer, 0)).PortCollapse);
    QTRY_COMPARE(m_server->height(), 55);
    row->setCollapsed(false);
    QCOMPARE(row->height(), 400);
    QVERIFY(row->timeline()->isVisible());
}

void tst_ServerPanels::dragResizeIsClamped_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("height");
    QTest::newRow("grow") << 60 << 300;
    QTest::newRow("shrink") << -40 << 200;
    QTest::newRow("not below 165") << -500 << 165;
    QTest::newRow("not above 929") << 2000 << 929;
}

void tst_ServerPanels::dragResizeIsClamped()
{
    QFETCH(int, offset);
    buildServer(2);
    ServerPortWidget *row = m_server->portWidget(1);
    Splitter *splitter = row->findChild<Splitter *>(QStringLiteral("m_portSplitterWidget"));
    QVERIFY(splitter);
    QSignalSpy drawSpy(row, &ServerPortWidget::sigDrawPortSplitter);
    QTest::mousePress(splitter, Qt::LeftButton, Qt::NoModifier, QPoint(10, 2));
    QMouseEvent move(QEvent::MouseMove, QPointF(10, 2 + offset),
                     QPointF(splitter->mapToGlobal(QPoint(10, 2 + offset))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(splitter, &move);
    QTest::mouseRelease(splitter, Qt::LeftButton, Qt::NoModifier, QPoint(10, 2 + offset));
    QTEST(row->height(), "height");
    QCOMPARE(drawSpy.size(), 1);
    QTRY_COMPARE(m_settings->portInfo(trx::ServerPort(kServer, 1)).PortHeight, row->height());
    QTRY_COMPARE(m_server->height(), ServerPortWidget::DefaultHeight + row->height());
}

void tst_ServerPanels::loadPortSettings()
{
    PortViewInfo low;
    low.PortHeight = 100;
    low.PortName = QStringLiteral("Wide shot");
    low.ProxyPort = 2;
    low.CheckStatus = true;
    m_settings->m_portInfos.insert(trx::ServerPort(kServer, 0), low);
    PortViewInfo gone;
    gone.PortHeight = 300;
    gone.ProxyPort = 7; // no such port any more
    gone.PortCollapse = true;
    m_settings->m_portInfos.insert(trx::ServerPort(kServer, 1), gone);
    buildServer(3);

    ServerPortWidget *a = m_server->portWidget(0);
    QCOMPARE(a->height(), 165);
    QCOMPARE(a->portName(), QStringLiteral("Wide shot"));
    QCOMPARE(a->proxyPort(), 2);
    QVERIFY(a->isChecked());
    QVERIFY(m_server->portWidget(2)->isHiddenProxy());

    ServerPortWidget *b = m_server->portWidget(1);
    QCOMPARE(b->proxyPort(), 1);
    QCOMPARE(b->proxyCombo()->currentText(), QStringLiteral("None"));
    QVERIFY(b->isCollapsed());
    QCOMPARE(b->height(), 55);
    QCOMPARE(b->expandedHeight(), 300);

    // A port without a record gets one with the defaults.
    QVERIFY(m_settings->m_portInfos.contains(trx::ServerPort(kServer, 2)));
    QCOMPARE(m_settings->m_portInfos.value(trx::ServerPort(kServer, 2)).PortHeight, 240);
    QCOMPARE(m_server->height(), 165 + 55);
}

void tst_ServerPanels::serverLostWithMasterPort()
{
    buildServer(3);
    m_server->portWidget(1)->setTcStatus(2);
    m_server->portWidget(1)->setLoopStatus(false);
    QSignalSpy tcSpy(m_server, &ServerWidget::sigSetTC);
    QSignalSpy masterSpy(m_server, &ServerWidget::sigReSetMasterTc);
    m_server->slotServerStatusChanged(QStringLiteral("other"), false, false);
    QVERIFY(m_server->isVisible());
    m_server->slotServerStatusChanged(kServer, false, false);
    QVERIFY(!m_server->isVisible());
    QCOMPARE(tcSpy.size(), 1);
    QCOMPARE(tcSpy.at(0).at(1).toInt(), 1);
    QCOMPARE(masterSpy.size(), 1);
    QVERIFY(!m_server->portWidget(1)->overlay()->isVisible());
    m_server->slotServerStatusChanged(kServer, true, false);
    QVERIFY(m_server->isVisible());
}

void tst_ServerPanels::singleServerTakesMaster()
{
    buildServer(3);
    QSignalSpy tcSpy(m_server, &ServerWidget::sigSetTC);
    m_server->slotServerStatusChanged(kServer, true, true);
    QCOMPARE(tcSpy.size(), 1);
    QCOMPARE(tcSpy.at(0).at(1).toInt(), 0);
}

void tst_ServerPanels::serverCollapse()
{
    buildServer(2);
    m_server->setServerCollapse(true);
    QCOMPARE(m_server->height(), 55);
    QVERIFY(m_settings->serverCollapse(kServer));
    QVERIFY(!m_server->portsWidget()->isVisible());
    QCOMPARE(m_server->findChild<QWidget *>(QStringLiteral("m_serverInfo"))->width(), 400);
    m_server->slotbtnServerCollapseClick();
    QCOMPARE(m_server->height(), 2 * 240);
    QVERIFY(!m_settings->serverCollapse(kServer));
}

void tst_ServerPanels::removeTasksOfProxyPort()
{
    buildServer(2);
    auto *item =
        new TimelineItemWidget(nullptr, QStringLiteral("x"), 0, 100, QString(), QString(), QString());
    item->setValue(TimelineItemWidget::TaskIdKey, QStringLiteral("task-9"));
    m_server->portWidget(1)->timeline()->addItem(item, true);
    QSignalSpy spy(m_server, &ServerWidget::sigRemoveTasks);
    pickProxy(m_server->portWidget(0), 1);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).value<QList<QString>>(), QList<QString>{QStringLiteral("task-9")});
}

void tst_ServerPanels::panelGoesWhileANameIsTyped_data()
{
    QTest::addColumn<bool>("wholePanel");
    QTest::newRow("the server's panel") << true;
    QTest::newRow("the row alone") << false;
}

// A panel is torn down (the server went, or the link came back and the panels are rebuilt) while
// the operator is typing a port name: the name is kept, and the end of the edit reaches no half
// destroyed panel or row (AddressSanitizer and UBSan builds report that).
void tst_ServerPanels::panelGoesWhileANameIsTyped()
{
    QFETCH(bool, wholePanel);
    buildServer(3);
    ServerPortWidget *row = m_server->portWidget(1);
    QVERIFY(typePortName(m_server, row, QStringLiteral("Wide shot")));

    if (wholePanel) {
        delete m_server;
        m_server = nullptr;
    } else {
        delete row;
    }
    QCoreApplication::processEvents();
    QCOMPARE(m_settings->portInfo(trx::ServerPort(kServer, 1)).PortName, QStringLiteral("Wide shot"));
}

QTEST_MAIN(tst_ServerPanels)
#include "tst_serverpanels.moc"
