#include "platform/crashhandler.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class tst_CrashHandler : public QObject
{
    Q_OBJECT

private slots:
    void fileName_data();
    void fileName();
    void messageText();
    void workerThreadCrashNamesThatThread_data();
    void workerThreadCrashNamesThatThread();
    void twoThreadsCrashingTogetherLeaveTwoFiles();
    void existingFileIsOverwritten();

private:
    struct Run
    {
        QProcess::ExitStatus status;
        QStringList tids;
        QByteArray stderrText;
    };
    Run runProbe(const QString &mode);
    QString dumpFolder() const;
    QStringList dumps() const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_CrashHandler::fileName_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<qulonglong>("tid");
    QTest::addColumn<QString>("expected");

    QTest::newRow("lower-case hex, no leading zeros")
        << QStringLiteral("/data/Orvane/QMX-MRL1/") << QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))
        << qulonglong(0x0ABC) << QStringLiteral("/data/Orvane/QMX-MRL1/OXA.exe-20260102030405-0xabc.dmp");
    QTest::newRow("windows folder")
        << QStringLiteral("C:\\ProgramData\\Orvane\\QMX-MRL1\\") << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59))
        << qulonglong(1) << QStringLiteral("C:\\ProgramData\\Orvane\\QMX-MRL1\\OXA.exe-20261231235959-0x1.dmp");
}

void tst_CrashHandler::fileName()
{
    QFETCH(QString, folder);
    QFETCH(QDateTime, when);
    QFETCH(qulonglong, tid);
    QFETCH(QString, expected);
    QCOMPARE(crashDumpFileName(folder, when, static_cast<unsigned long>(tid)), expected);
}

void tst_CrashHandler::messageText()
{
    QCOMPARE(crashMessageText(QStringLiteral("C:\\x.dmp")),
             QStringLiteral("A critical error has occurred. \t\t\t\t\t \t\t\t\t\t\t \nPlease send the crash dump file\n "
                            "\"C:\\x.dmp\"\n to vendor for technical support."));
    QCOMPARE(QString::fromLatin1(kCrashMessageTitle), QStringLiteral("QMX-TRX1"));
}

QString tst_CrashHandler::dumpFolder() const
{
    return m_dir->filePath(QStringLiteral("Orvane/QMX-MRL1"));
}

QStringList tst_CrashHandler::dumps() const
{
    return QDir(dumpFolder()).entryList({QStringLiteral("OXA.exe-*.dmp")}, QDir::Files, QDir::Name);
}

tst_CrashHandler::Run tst_CrashHandler::runProbe(const QString &mode)
{
    m_dir = std::make_unique<QTemporaryDir>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir->path());
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(CRASHPROBE_BIN), {mode});
    process.waitForFinished(30000);
    Run run;
    run.status = process.exitStatus();
    run.stderrText = process.readAllStandardError();
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        if (line.startsWith("tid "))
            run.tids << QString::fromLatin1(line.mid(4));
    }
    return run;
}

void tst_CrashHandler::workerThreadCrashNamesThatThread_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("signal");
    QTest::newRow("segfault on a worker thread") << QStringLiteral("worker") << QStringLiteral("signal: 11 (SIGSEGV)");
    QTest::newRow("abort on the main thread") << QStringLiteral("abort") << QStringLiteral("signal: 6 (SIGABRT)");
}

void tst_CrashHandler::workerThreadCrashNamesThatThread()
{
    QFETCH(QString, mode);
    QFETCH(QString, signal);

    const Run run = runProbe(mode);
    QCOMPARE(run.status, QProcess::CrashExit);
    QCOMPARE(run.tids.size(), 1);

    const QStringList files = dumps();
    QCOMPARE(files.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^OXA\\.exe-\\d{14}-0x%1\\.dmp$").arg(run.tids.first()))
                 .match(files.first()).hasMatch(),
             qPrintable(files.first()));

    QFile dump(QDir(dumpFolder()).filePath(files.first()));
    QVERIFY(dump.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(dump.readAll());
    QVERIFY(text.contains(signal));
    QVERIFY(text.contains(QStringLiteral("thread: 0x") + run.tids.first()));
    QVERIFY(text.contains(QStringLiteral("backtrace:\n")));
    QVERIFY(text.contains(QStringLiteral("memory map:\n")));
    QVERIFY(text.contains(QStringLiteral("crashprobe")));

    // The operator is told where the file is.
    QVERIFY(run.stderrText.contains("A critical error has occurred."));
    QVERIFY(run.stderrText.contains(QByteArray("\"" + QFile::encodeName(dump.fileName()) + "\"")));
}

void tst_CrashHandler::twoThreadsCrashingTogetherLeaveTwoFiles()
{
    const Run run = runProbe(QStringLiteral("two"));
    QCOMPARE(run.status, QProcess::CrashExit);
    QCOMPARE(run.tids.size(), 2);
    const QStringList files = dumps();
    QCOMPARE(files.size(), 2);
    for (const QString &tid : run.tids) {
        QCOMPARE(files.filter(QStringLiteral("-0x%1.dmp").arg(tid)).size(), 1);
    }
}

void tst_CrashHandler::existingFileIsOverwritten()
{
    const Run run = runProbe(QStringLiteral("overwrite"));
    QCOMPARE(run.status, QProcess::CrashExit);
    // Two old files were there; the handler wrote over the one that carries its time stamp.
    const QStringList files = dumps();
    QCOMPARE(files.size(), 2);
    int written = 0;
    for (const QString &name : files) {
        QFile dump(QDir(dumpFolder()).filePath(name));
        QVERIFY(dump.open(QIODevice::ReadOnly));
        const QByteArray bytes = dump.readAll();
        if (bytes.startsWith("Tarsa crash dump\n")) {
            QVERIFY(!bytes.contains("OOOOOOOOOO"));
            ++written;
        } else {
            QCOMPARE(bytes, QByteArray(100000, 'O'));
        }
    }
    QCOMPARE(written, 1);
}

QTEST_GUILESS_MAIN(tst_CrashHandler)
#include "tst_crashhandler.moc"
