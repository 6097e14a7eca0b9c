#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// Runs the real client in a private data and runtime folder, offscreen.
class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startedLineIsWrittenBeforeTheApplicationExists();
    void secondInstanceExitsSilently();
    void killedInstanceDoesNotBlockTheNext();

private:
    QProcessEnvironment environment(const QString &platform = QStringLiteral("offscreen")) const;
    QString logPath() const;
    QStringList logLines() const;
    int startedLines() const;
    void start(QProcess &process);
    bool waitForStartedLines(int count, int timeoutMs = 10000) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_Startup::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir(m_dir->path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(m_dir->filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void tst_Startup::cleanup()
{
    m_dir.reset();
}

QProcessEnvironment tst_Startup::environment(const QString &platform) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir->filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir->filePath(QStringLiteral("runtime")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    return env;
}

QString tst_Startup::logPath() const
{
    return m_dir->filePath(QStringLiteral("data/Orvane/QMX-MRL1/Logs/Tarsa.log"));
}

QStringList tst_Startup::logLines() const
{
    QFile file(logPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int tst_Startup::startedLines() const
{
    int n = 0;
    for (const QString &line : logLines())
        n += line.contains(QStringLiteral("<MRL> Started")) ? 1 : 0;
    return n;
}

void tst_Startup::start(QProcess &process)
{
    process.setProcessEnvironment(environment());
    process.setProgram(QStringLiteral(TARSA_BIN));
    process.start();
    QVERIFY(process.waitForStarted());
}

bool tst_Startup::waitForStartedLines(int count, int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (startedLines() >= count)
            return true;
        QTest::qWait(20);
    }
    return false;
}

void tst_Startup::startedLineIsWrittenBeforeTheApplicationExists()
{
    // A platform plugin that does not exist makes the application object abort; the line
    // must already be in the log by then.
    QProcess process;
    process.setProcessEnvironment(environment(QStringLiteral("no-such-platform")));
    process.start(QStringLiteral(TARSA_BIN), QStringList());
    QVERIFY(process.waitForFinished(20000));
    QVERIFY(process.exitStatus() == QProcess::CrashExit || process.exitCode() != 0);

    const QStringList lines = logLines();
    QVERIFY(!lines.isEmpty());
    QCOMPARE(startedLines(), 1);
    static const QRegularExpression format(QStringLiteral(
        "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\[[0-9a-f]{4,}\\] INFO <MRL> Started, Version: 1\\.0\\.2\\.644$"));
    QVERIFY2(format.match(lines.first()).hasMatch(), qPrintable(lines.first()));
}

void tst_Startup::secondInstanceExitsSilently()
{
    QProcess first;
    start(first);
    QVERIFY(waitForStartedLines(1));

    QProcess second;
    start(second);
    QVERIFY(second.waitForFinished(5000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(second.readAllStandardOutput().isEmpty());
    QCOMPARE(startedLines(), 1);

    first.kill();
    first.waitForFinished();
}

void tst_Startup::killedInstanceDoesNotBlockTheNext()
{
    QProcess first;
    start(first);
    QVERIFY(waitForStartedLines(1));
    first.kill(); // SIGKILL: no chance to release anything by itself
    QVERIFY(first.waitForFinished());

    QProcess next;
    start(next);
    QVERIFY(waitForStartedLines(2));
    QCOMPARE(next.state(), QProcess::Running);
    next.kill();
    next.waitForFinished();
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
