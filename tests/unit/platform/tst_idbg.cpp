#include "platform/idbg.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>
#include <vector>

class tst_Idbg : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void lineFormat_data();
    void lineFormat();
    void concurrentCallsWriteWholeLines();
    void rotationKeepsWholeLinesAndLimitsFiles();

private:
    QStringList readLines(const QString &path) const;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_strPath;
};

void tst_Idbg::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_strPath = m_dir->filePath(QStringLiteral("test.log"));
    setLogFilePath(QFile::encodeName(m_strPath).constData());
    setLogRotation(10u * 1024u * 1024u, 5);
}

void tst_Idbg::cleanup()
{
    setLogFilePath(m_dir->filePath(QStringLiteral("after.log")).toUtf8().constData());
    m_dir.reset();
}

QStringList tst_Idbg::readLines(const QString &path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = file.readAll();
    if (!all.isEmpty() && !all.endsWith('\n'))
        return {QStringLiteral("<file does not end with a line break>")};
    return QString::fromUtf8(all).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void tst_Idbg::lineFormat_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expectedTail");

    QTest::newRow("no trailing newline") << QByteArray("WARNING <TRXMClient> Request timeout: 1001")
                                         << QStringLiteral("WARNING <TRXMClient> Request timeout: 1001");
    QTest::newRow("trailing newline not doubled") << QByteArray("ERROR <TRXMClient> Error Push Type: 7\n")
                                                  << QStringLiteral("ERROR <TRXMClient> Error Push Type: 7");
    const QByteArray longText = "INFO <MRL> " + QByteArray(5000, 'x');
    QTest::newRow("longer than the stack buffer") << longText << QString::fromLatin1(longText);
}

void tst_Idbg::lineFormat()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expectedTail);

    idbg_api("[%04x] %s", logTid(), text.constData());

    const QStringList lines = readLines(m_strPath);
    QCOMPARE(lines.size(), 1);
    static const QRegularExpression stamp(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\[([0-9a-f]{4,})\\] (.*)$"));
    const QRegularExpressionMatch m = stamp.match(lines.first());
    QVERIFY2(m.hasMatch(), qPrintable(lines.first()));
    QCOMPARE(m.captured(1).toUInt(nullptr, 16), logTid());
    QCOMPARE(m.captured(2), expectedTail);
}

void tst_Idbg::concurrentCallsWriteWholeLines()
{
    constexpr int kThreads = 8;
    constexpr int kLines = 2000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            // Lines of different lengths make torn writes visible.
            const std::string pad(static_cast<std::size_t>(10 + t * 37), char('a' + t));
            for (int i = 0; i < kLines; ++i)
                idbg_api("[%04x] INFO <MRL> t=%d i=%d %s", logTid(), t, i, pad.c_str());
        });
    }
    for (std::thread &th : threads)
        th.join();

    const QStringList lines = readLines(m_strPath);
    QCOMPARE(lines.size(), kThreads * kLines);
    static const QRegularExpression re(QStringLiteral("\\] INFO <MRL> t=(\\d) i=(\\d+) ([a-z]+)$"));
    std::vector<int> next(kThreads, 0);
    for (const QString &line : lines) {
        const QRegularExpressionMatch m = re.match(line);
        QVERIFY2(m.hasMatch(), qPrintable(line));
        const int t = m.captured(1).toInt();
        QCOMPARE(m.captured(3), QString(10 + t * 37, QChar('a' + t)));
        // Each thread's lines appear in its own order.
        QCOMPARE(m.captured(2).toInt(), next[static_cast<std::size_t>(t)]++);
    }
}

void tst_Idbg::rotationKeepsWholeLinesAndLimitsFiles()
{
    setLogRotation(4096, 3);
    for (int i = 0; i < 1000; ++i)
        idbg_api("[%04x] INFO <MRL> rotation line %04d", logTid(), i);

    QCOMPARE(QFileInfo::exists(m_strPath + QStringLiteral(".3")), true);
    QCOMPARE(QFileInfo::exists(m_strPath + QStringLiteral(".4")), false);

    // The newest lines survive, in order, across the current file and the kept ones.
    QStringList all;
    for (int i = 3; i >= 1; --i)
        all += readLines(m_strPath + QLatin1Char('.') + QString::number(i));
    all += readLines(m_strPath);
    QVERIFY(!all.isEmpty());
    QVERIFY(all.last().endsWith(QStringLiteral("rotation line 0999")));
    const int first = all.first().right(4).toInt();
    for (int i = 0; i < all.size(); ++i)
        QVERIFY2(all.at(i).endsWith(QStringLiteral("rotation line %1").arg(first + i, 4, 10, QLatin1Char('0'))),
                 qPrintable(all.at(i)));
    QVERIFY(QFileInfo(m_strPath + QStringLiteral(".1")).size() >= 4096);
}

QTEST_GUILESS_MAIN(tst_Idbg)
#include "tst_idbg.moc"
