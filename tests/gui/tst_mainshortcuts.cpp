// Keyboard operation of the main window with synthetic key events, the list of shortcuts, the
// dimming of the ports area and the remaining-time mark of a port row.

#include "cmn/timecodemode.h"
#include "settings/settings.h"
#include "views/linkstatusbar.h"
#include "views/mainshortcuts.h"
#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/serverwidget.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"
#include "widgets/confirmdialog.h"
#include "widgets/inputtcwidget.h"

#include "serverpanel.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

#include <memory>

namespace {

constexpr int kDay = 2592000;
constexpr int kNoon = kDay / 2;
constexpr int kMinute = 1800;

TimeCode timecodeAt(int frames)
{
    TimeCode tc;
    tc.rate.mode = cmn::get_timecode_mode(30, false);
    tc.frames = frames;
    tc.valid = true;
    return tc;
}

TimelineItemWidget *scheduleItem(const QString &id, int start, int length, bool maintenance = false)
{
    auto *item = new TimelineItemWidget(nullptr, id, start, length, QString(), QString(), QString());
    item->setValue(TimelineItemWidget::TaskIdKey, id);
    item->setMaintenance(maintenance);
    return item;
}

} // namespace

class tst_MainShortcuts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void zoomKeys_data();
    void zoomKeys();
    void homeLocksOnNow();
    void altArrowsWalkTheClickedPortsSchedules();
    void altArrowsFollowTheFocusedRow();
    void keysTypedInTheTimeInputStayThere_data();
    void keysTypedInTheTimeInputStayThere();
    void menuShortcutsReachTheirSignals_data();
    void menuShortcutsReachTheirSignals();
    void everyShortcutIsListed();
    void aboutMenuEntryShowsTheList();
    void dimmingCoversThePortsArea();
    void statusLineKeepsTheLinkText();

private:
    ServerPortWidget *addPorts(const QString &id, int ports);
    void clickRow(ServerPortWidget *row);

    QTemporaryDir m_dir;
    std::unique_ptr<Settings> m_settings;
    OXAMainView *m_view = nullptr;
};

void tst_MainShortcuts::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("xdg")).toUtf8());
}

void tst_MainShortcuts::init()
{
    m_settings = std::make_unique<Settings>(nullptr, QStringLiteral("Settings.xml"));
    m_view = new OXAMainView;
    m_view->resize(1605, 580);
    m_view->show();
    m_view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_view));
    m_view->applyTimecodeMode(timecodeAt(kNoon));
    m_view->slotLockTimeScroll(false);
}

void tst_MainShortcuts::cleanup()
{
    delete m_view;
    m_view = nullptr;
    m_settings.reset();
}

ServerPortWidget *tst_MainShortcuts::addPorts(const QString &id, int ports)
{
    return addServerPanel(m_view, id, ports)->portWidgets().first();
}

void tst_MainShortcuts::clickRow(ServerPortWidget *row)
{
    QTest::mouseClick(row->timeline(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
}

void tst_MainShortcuts::zoomKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("step");

    QTest::newRow("plus zooms in") << int(Qt::Key_Plus) << Qt::KeyboardModifiers() << 1;
    QTest::newRow("keypad plus zooms in")
        << int(Qt::Key_Plus) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 1;
    QTest::newRow("minus zooms out") << int(Qt::Key_Minus) << Qt::KeyboardModifiers() << -1;
}

void tst_MainShortcuts::zoomKeys()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, step);
    addPorts(QStringLiteral("s1"), 1);
    QSlider *zoom = m_view->zoomSlider();
    zoom->setValue(150);
    const int frames = m_view->viewFrames();
    m_view->setFocus();

    QTest::keyClick(m_view, Qt::Key(key), modifiers);
    // One key press is one wheel notch: 15 % fewer (or more) frames across the timelines.
    QVERIFY(qAbs(m_view->viewFrames() - frames * (step > 0 ? 0.85 : 1 / 0.85)) <= 1);
    QCOMPARE(zoom->value() > 150, step > 0);
    QCOMPARE(m_settings->m_iZoomValue, zoom->value());
}

void tst_MainShortcuts::homeLocksOnNow()
{
    m_view->setScrollPos(-5 * kMinute);
    QVERIFY(!m_view->isLocked());
    QTest::keyClick(m_view, Qt::Key_Home);
    QVERIFY(m_view->isLocked());
    QVERIFY(m_view->lockCheckBox()->isChecked());
    QVERIFY(m_settings->m_bLockTimeScroll);
    QCOMPARE(m_view->anchorFrame(), kNoon);
    QVERIFY(!m_view->timeScrollBar()->isEnabled());
}

void tst_MainShortcuts::altArrowsWalkTheClickedPortsSchedules()
{
    ServerPortWidget *first = addPorts(QStringLiteral("s1"), 2);
    ServerPortWidget *second = m_view->serverWidgets().first()->portWidget(1);
    first->timeline()->addItem(scheduleItem(QStringLiteral("early"), kNoon - 20 * kMinute, 300), false);
    first->timeline()->addItem(scheduleItem(QStringLiteral("late"), kNoon + 40 * kMinute, 300), false);
    first->timeline()->addItem(scheduleItem(QStringLiteral("soon"), kNoon + 10 * kMinute, 300), false);
    // Maintenance items are not schedules to jump to.
    first->timeline()->addItem(scheduleItem(QStringLiteral("mtn"), kNoon + 5 * kMinute, 300, true), false);
    second->timeline()->addItem(scheduleItem(QStringLiteral("other"), kNoon + 2 * kMinute, 300), false);
    m_view->slotLockTimeScroll(true);
    clickRow(first);

    QTest::keyClick(m_view, Qt::Key_Right, Qt::AltModifier);
    // The lock goes off as with "Go", and the anchor sits on the schedule's start.
    QVERIFY(!m_view->isLocked());
    QCOMPARE(m_view->anchorFrame(), kNoon + 10 * kMinute);
    QTest::keyClick(m_view, Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(m_view->anchorFrame(), kNoon + 40 * kMinute);
    QTest::keyClick(m_view, Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(m_view->anchorFrame(), kNoon + 40 * kMinute); // nothing later
    QTest::keyClick(m_view, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(m_view->anchorFrame(), kNoon + 10 * kMinute);
    QTest::keyClick(m_view, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(m_view->anchorFrame(), kNoon - 20 * kMinute);

    // Another port clicked: its own schedules count.
    clickRow(second);
    QCOMPARE(m_view->focusedPort(), second);
    QTest::keyClick(m_view, Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(m_view->anchorFrame(), kNoon + 2 * kMinute);
}

void tst_MainShortcuts::altArrowsFollowTheFocusedRow()
{
    ServerPortWidget *first = addPorts(QStringLiteral("s1"), 2);
    ServerPortWidget *second = m_view->serverWidgets().first()->portWidget(1);
    first->timeline()->addItem(scheduleItem(QStringLiteral("a"), kNoon + 30 * kMinute, 300), false);
    second->timeline()->addItem(scheduleItem(QStringLiteral("b"), kNoon + 15 * kMinute, 300), false);
    clickRow(first);
    // Focus inside a row (its name field) outranks the row clicked before.
    second->ensureForm();
    QLineEdit *name = second->findChild<QLineEdit *>(QStringLiteral("m_txtPortName"));
    QVERIFY(name);
    name->setFocus();
    QVERIFY(name->hasFocus());
    QCOMPARE(m_view->focusedPort(), second);
    QTest::keyClick(name, Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(m_view->anchorFrame(), kNoon + 15 * kMinute);
}

void tst_MainShortcuts::keysTypedInTheTimeInputStayThere_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("plus") << int(Qt::Key_Plus);
    QTest::newRow("minus") << int(Qt::Key_Minus);
    QTest::newRow("home") << int(Qt::Key_Home);
}

void tst_MainShortcuts::keysTypedInTheTimeInputStayThere()
{
    QFETCH(int, key);
    QSlider *zoom = m_view->zoomSlider();
    zoom->setValue(150);
    QLineEdit *hours = m_view->gotoTcInput()->findChild<QLineEdit *>(QStringLiteral("m_txtHour"));
    QVERIFY(hours);
    hours->setFocus();
    QVERIFY(hours->hasFocus());
    QSignalSpy zoomed(zoom, &QSlider::valueChanged);

    QTest::keyClick(hours, Qt::Key(key));
    QCOMPARE(zoomed.count(), 0);
    QCOMPARE(zoom->value(), 150);
    QVERIFY(!m_view->isLocked());
    // The same key with the focus elsewhere is a shortcut again.
    zoom->setFocus();
    QTest::keyClick(zoom, Qt::Key(key));
    if (key == Qt::Key_Home)
        QVERIFY(m_view->isLocked());
    else
        QVERIFY(zoom->value() != 150);
}

void tst_MainShortcuts::menuShortcutsReachTheirSignals_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QByteArray>("signal");
    QTest::newRow("Ctrl+T new schedule")
        << QKeySequence(QStringLiteral("Ctrl+T")) << QByteArray(SIGNAL(sigNewTask()));
    QTest::newRow("Ctrl+, settings") << QKeySequence(QStringLiteral("Ctrl+,"))
                                     << QByteArray(SIGNAL(sigSettings()));
}

void tst_MainShortcuts::menuShortcutsReachTheirSignals()
{
    QFETCH(QKeySequence, keys);
    QFETCH(QByteArray, signal);
    QSignalSpy spy(m_view, signal.constData());
    QTest::keySequence(m_view, keys);
    QCOMPARE(spy.count(), 1);
}

void tst_MainShortcuts::everyShortcutIsListed()
{
    // Every entry of the table is registered with its keys, once, live on the window even when its
    // menu is hidden, and listed.
    const QList<QAction *> &actions = m_view->shortcutActions();
    QCOMPARE(actions.size(), mainShortcuts().size());
    const QString text = m_view->keyboardShortcutsText();
    QSet<QString> seen;
    for (const MainShortcut &entry : mainShortcuts()) {
        const auto *action = m_view->findChild<QAction *>(QLatin1String(entry.actionName));
        QVERIFY2(action && actions.contains(const_cast<QAction *>(action)), entry.actionName);
        QCOMPARE(action->shortcut(), QKeySequence(QString::fromLatin1(entry.keys)));
        const QString keys = action->shortcut().toString(QKeySequence::NativeText);
        QVERIFY2(!seen.contains(keys), qPrintable(keys));
        seen.insert(keys);
        QVERIFY(m_view->actions().contains(const_cast<QAction *>(action)));
        QVERIFY2(text.contains(keys + QStringLiteral(": ") + QString::fromUtf8(entry.description)),
                 qPrintable(keys));
    }
    QMenu *about = m_view->findChild<QMenu *>(QStringLiteral("menu_Help"));
    const auto *show = m_view->findChild<QAction *>(QStringLiteral("actKeyboardShortcuts"));
    QVERIFY(about && show && about->actions().contains(const_cast<QAction *>(show)));
}

void tst_MainShortcuts::aboutMenuEntryShowsTheList()
{
    auto *entry = m_view->findChild<QAction *>(QStringLiteral("actKeyboardShortcuts"));
    QVERIFY(entry);
    QString shown;
    bool wholeTextFits = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<ConfirmDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto *label = dialog->findChild<QLabel *>(QStringLiteral("m_labelText"));
        if (label) {
            QTextDocument document;
            document.setHtml(label->text());
            shown = document.toPlainText();
            wholeTextFits = label->height() >= label->heightForWidth(label->width());
        }
        dialog->slotBtnOk();
    });
    entry->trigger();
    QVERIFY(!shown.isEmpty());
    for (const auto &listed : m_view->shortcutEntries()) {
        QVERIFY2(shown.contains(listed.first.toString(QKeySequence::NativeText)), qPrintable(shown));
        QVERIFY2(shown.contains(listed.second), qPrintable(listed.second));
    }
    for (const QString &gesture : mainMouseGestures())
        QVERIFY(shown.contains(gesture));
    // The list is longer than the box's usual sentence: all of it shows.
    QVERIFY(wholeTextFits);
}

void tst_MainShortcuts::dimmingCoversThePortsArea()
{
    addPorts(QStringLiteral("s1"), 2);
    QWidget *dimmer = m_view->linkDimmer();
    QVERIFY(!m_view->isLinkDimmed());
    QVERIFY(!dimmer->isVisible());

    m_view->setLinkDimmed(true);
    QVERIFY(m_view->isLinkDimmed());
    QVERIFY(dimmer->isVisible());
    auto *area = m_view->findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    QCOMPARE(dimmer->geometry(), area->viewport()->rect());
    // Above the ports, yet clicks reach the timelines under it.
    QCOMPARE(dimmer->parentWidget()->children().last(), dimmer);
    QVERIFY(dimmer->testAttribute(Qt::WA_TransparentForMouseEvents));

    m_view->resize(1200, 700);
    QTRY_COMPARE(dimmer->geometry(), area->viewport()->rect());

    m_view->setLinkDimmed(false);
    QVERIFY(!m_view->isLinkDimmed());
    QVERIFY(!dimmer->isVisible());

    // Changed while the window is not shown, as during start-up.
    m_view->hide();
    m_view->setLinkDimmed(true);
    m_view->setLinkDimmed(false);
    m_view->show();
    QVERIFY(!dimmer->isVisible());
}

void tst_MainShortcuts::statusLineKeepsTheLinkText()
{
    LinkStatusBar *bar = m_view->linkStatusBar();
    QCOMPARE(m_view->statusBar(), bar);
    bar->setLinkText(QStringLiteral("TRXM connected since 10:00:00"));
    QCOMPARE(bar->currentMessage(), QStringLiteral("TRXM connected since 10:00:00"));
    // A menu entry's empty status tip does not wipe it.
    QStatusTipEvent tip{QString()};
    QApplication::sendEvent(m_view, &tip);
    QCOMPARE(bar->currentMessage(), QStringLiteral("TRXM connected since 10:00:00"));
}

QTEST_MAIN(tst_MainShortcuts)
#include "tst_mainshortcuts.moc"
