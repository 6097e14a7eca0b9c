#include "app/stylesheet.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_StyleSheet : public QObject
{
    Q_OBJECT

private slots:
    void cutsAtFirstZeroByte_data();
    void cutsAtFirstZeroByte();
    void missingFileGivesEmptyText();
    void bundledSheetLoads();
};

void tst_StyleSheet::cutsAtFirstZeroByte_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << QByteArray("QWidget { color: red; }") << QStringLiteral("QWidget { color: red; }");
    QTest::newRow("zero in the middle") << QByteArray("A {}\0B {}", 9) << QStringLiteral("A {}");
    QTest::newRow("zero first") << QByteArray("\0A {}", 5) << QString();
    QTest::newRow("zero last") << QByteArray("A {}\0", 5) << QStringLiteral("A {}");
    QTest::newRow("latin-1 bytes") << QByteArray("/* caf\xe9 */") << QStringLiteral("/* caf\u00e9 */");
    QTest::newRow("empty file") << QByteArray() << QString();
}

void tst_StyleSheet::cutsAtFirstZeroByte()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("sheet.qss"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
    file.close();

    QCOMPARE(loadStyleSheet(path), expected);
}

void tst_StyleSheet::missingFileGivesEmptyText()
{
    QVERIFY(loadStyleSheet(QStringLiteral(":/OXA/does-not-exist.qss")).isEmpty());
    QVERIFY(loadStyleSheet(QStringLiteral("/nonexistent/folder/OXA.qss")).isEmpty());
}

void tst_StyleSheet::bundledSheetLoads()
{
    const QString sheet = loadStyleSheet(QStringLiteral(":/OXA/OXA.qss"));
    QVERIFY(sheet.contains(QStringLiteral("QWidget")));
    QVERIFY(!sheet.contains(QChar(0)));
}

QTEST_GUILESS_MAIN(tst_StyleSheet)
#include "tst_stylesheet.moc"
