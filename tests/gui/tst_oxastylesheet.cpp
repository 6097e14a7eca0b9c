#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QStyle>
#include <QtTest>

// The application style sheet: it parses, and the buttons that key on dynamic properties show the
// picture for each value.
class tst_OxaStyleSheet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parsesWithoutWarnings();
    void everyImageExists();
    void propertyPictures_data();
    void propertyPictures();
    void popupOpenHighlightsArrow_data();
    void popupOpenHighlightsArrow();
    void disabledPictures_data();
    void disabledPictures();

private:
    static QColor sample(QWidget *w, const QPoint &at) { return w->grab().toImage().pixelColor(at); }
    static QColor pictureAt(const QString &resource, const QPoint &at)
    {
        return QImage(resource).convertToFormat(QImage::Format_ARGB32).pixelColor(at);
    }

    QString m_sheet;
};

namespace {
QStringList g_warnings;
void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings << message;
}
} // namespace

void tst_OxaStyleSheet::initTestCase()
{
    QFile file(QStringLiteral(":/OXA/OXA.qss"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    m_sheet = QString::fromLatin1(file.readAll());
    QVERIFY(!m_sheet.isEmpty());
}

void tst_OxaStyleSheet::parsesWithoutWarnings()
{
    g_warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collect);
    qApp->setStyleSheet(m_sheet);
    QPushButton probe;
    probe.ensurePolished();
    qInstallMessageHandler(previous);
    QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(QLatin1Char('\n'))));
    qApp->setStyleSheet(QString());
}

void tst_OxaStyleSheet::everyImageExists()
{
    const QRegularExpression url(QStringLiteral("url\\((:/OXA/[^)]+)\\)"));
    int count = 0;
    for (auto it = url.globalMatch(m_sheet); it.hasNext(); ++count) {
        const QString path = it.next().captured(1);
        QVERIFY2(!QImage(path).isNull(), qPrintable(path));
    }
    QVERIFY(count > 20);
    for (const char *name : {":/OXA/edit", ":/OXA/delete", ":/OXA/cancel", ":/OXA/mrl_splash_parts.png"})
        QVERIFY2(!QImage(QLatin1String(name)).isNull(), name);
}

void tst_OxaStyleSheet::propertyPictures_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QPoint>("probe");

    const QPoint lamp(11, 12);
    QTest::newRow("recording") << "btnREC"
                               << "Recording"
                               << "Yes"
                               << ":/OXA/rec_on.png" << lamp;
    QTest::newRow("not recording") << "btnREC"
                                   << "Recording"
                                   << "No"
                                   << ":/OXA/rec_off.png" << lamp;
    QTest::newRow("proxy recording") << "btnProxyREC"
                                     << "Recording"
                                     << "Yes"
                                     << ":/OXA/rec_on.png" << lamp;
    QTest::newRow("tc link") << "btnTC"
                             << "TcStatus"
                             << "Link"
                             << ":/OXA/tc_link.png" << lamp;
    QTest::newRow("tc master") << "btnTC"
                               << "TcStatus"
                               << "Master"
                               << ":/OXA/tc_master.png" << lamp;
    QTest::newRow("tc unlink") << "btnTC"
                               << "TcStatus"
                               << "UnLink"
                               << ":/OXA/tc_unlink.png" << lamp;
    QTest::newRow("tc none") << "btnProxyTC"
                             << "TcStatus"
                             << "None"
                             << ":/OXA/tc_none.png" << lamp;
    QTest::newRow("port collapsed") << "m_btnPortCollapse"
                                    << "mandatoryField"
                                    << "Collapse"
                                    << ":/OXA/collapse.png" << QPoint(4, 12);
    QTest::newRow("port expanded") << "m_btnPortCollapse"
                                   << "mandatoryField"
                                   << "Expand"
                                   << ":/OXA/expand.png" << QPoint(12, 4);
    QTest::newRow("server collapsed") << "m_btnServerCollapse"
                                      << "mandatoryField"
                                      << "Collapse"
                                      << ":/OXA/collapse.png" << QPoint(4, 12);
}

void tst_OxaStyleSheet::propertyPictures()
{
    QFETCH(QString, objectName);
    QFETCH(QString, property);
    QFETCH(QString, value);
    QFETCH(QString, picture);
    QFETCH(QPoint, probe);

    QWidget window;
    window.setStyleSheet(m_sheet);
    auto *button = new QPushButton(&window);
    button->setObjectName(objectName);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Set after polishing, as the panels do, so the re-polish step is part of the check.
    button->setProperty(qPrintable(property), value);
    button->style()->unpolish(button);
    button->style()->polish(button);
    button->update();

    // The picture is centred in the button.
    const QSize slack = button->size() - QImage(picture).size();
    const QPoint offset(slack.width() / 2, slack.height() / 2);
    QCOMPARE(sample(button, probe + offset).rgba(), pictureAt(picture, probe).rgba());
}

void tst_OxaStyleSheet::popupOpenHighlightsArrow_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QColor>("arrowBox");

    QTest::newRow("list open") << "Yes" << QColor(51, 109, 149);
    QTest::newRow("list closed") << "No" << QColor(50, 50, 50);
}

void tst_OxaStyleSheet::popupOpenHighlightsArrow()
{
    QFETCH(QString, value);
    QFETCH(QColor, arrowBox);

    QWidget window;
    window.setStyleSheet(m_sheet);
    auto *combo = new QComboBox(&window);
    combo->addItems({QStringLiteral("None"), QStringLiteral("Port B")});
    combo->resize(160, 28);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    combo->setProperty("ShowPopup", value);
    combo->style()->unpolish(combo);
    combo->style()->polish(combo);
    QCOMPARE(sample(combo, QPoint(combo->width() - 5, 4)), arrowBox);
}

void tst_OxaStyleSheet::disabledPictures_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("picture");

    QTest::newRow("REC disabled while recording") << "btnREC"
                                                  << "Recording"
                                                  << "Yes"
                                                  << ":/OXA/rec_disabled.png";
    QTest::newRow("TC disabled while master") << "btnTC"
                                              << "TcStatus"
                                              << "Master"
                                              << ":/OXA/tc_disabled.png";
}

void tst_OxaStyleSheet::disabledPictures()
{
    QFETCH(QString, objectName);
    QFETCH(QString, property);
    QFETCH(QString, value);
    QFETCH(QString, picture);

    QWidget window;
    window.setStyleSheet(m_sheet);
    auto *button = new QPushButton(&window);
    button->setObjectName(objectName);
    button->setProperty(qPrintable(property), value);
    button->setEnabled(false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(sample(button, QPoint(11, 12)).rgba(), pictureAt(picture, QPoint(11, 12)).rgba());
}

QTEST_MAIN(tst_OxaStyleSheet)
#include "tst_oxastylesheet.moc"
