#include "csvreader.h"
#include "schedulelist/csvexport.h"

#include <QFile>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

class tst_CsvExport : public QObject
{
    Q_OBJECT

private slots:
    void documentBytes();
    void roundTrip_data();
    void roundTrip();
    void modelRowsInShownOrder();
    void writeReplacesTheFile();
    void writeFailureIsReported_data();
    void writeFailureIsReported();
};

void tst_CsvExport::documentBytes()
{
    const QByteArray bytes = csvDocument(
        {QStringLiteral("Name"), QStringLiteral("Port")},
        {{QStringLiteral("Größe, \"A\""), QStringLiteral("Port A")}, {QStringLiteral("x\r\ny"), QString()}});
    // Written out by hand: UTF-8 for "ö" and "ß", CRLF after every record, the header included.
    const QByteArray expected("Name,Port\r\n"
                              "\"Gr\xc3\xb6\xc3\x9f"
                              "e, \"\"A\"\"\",Port A\r\n"
                              "\"x\r\ny\",\r\n");
    QCOMPARE(bytes, expected);
}

void tst_CsvExport::roundTrip_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("plain") << QStringList{"News", "Server1", "Port A"};
    QTest::newRow("commas") << QStringList{"a,b,,c", ",", "x"};
    QTest::newRow("quotes") << QStringList{"\"", "\"\"", "a\"b"};
    QTest::newRow("line breaks") << QStringList{"one\r\ntwo", "\n", "\r"};
    QTest::newRow("non-ASCII") << QStringList{"Åse – Nachrichten", "東京", "Порт B"};
    QTest::newRow("empty fields") << QStringList{"", "", ""};
    QTest::newRow("everything") << QStringList{"\"Live\", at 10:00\r\nÉté", "s", "p"};
}

void tst_CsvExport::roundTrip()
{
    QFETCH(QStringList, fields);
    const QStringList header{"Name", "Server", "Port"};
    const QByteArray bytes = csvDocument(header, {fields, fields});
    bool ok = false;
    const QVector<QStringList> back = readCsv(QString::fromUtf8(bytes), &ok);
    QVERIFY(ok);
    QCOMPARE(back.size(), 3);
    QCOMPARE(back.at(0), header);
    QCOMPARE(back.at(1), fields);
    QCOMPARE(back.at(2), fields);
}

void tst_CsvExport::modelRowsInShownOrder()
{
    QStandardItemModel source(0, 2);
    source.setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("N")});
    const QStringList names{"b, second", "a \"first\"", "c"};
    for (int i = 0; i < names.size(); ++i)
        source.appendRow({new QStandardItem(names.at(i)), new QStandardItem(QString::number(i))});
    QSortFilterProxyModel shown;
    shown.setSourceModel(&source);
    shown.setFilterKeyColumn(0);
    shown.setFilterFixedString(QStringLiteral(" "));
    shown.sort(0);

    bool ok = false;
    const QVector<QStringList> rows = readCsv(QString::fromUtf8(csvFromModel(shown)), &ok);
    QVERIFY(ok);
    const QVector<QStringList> expected{{"Name", "N"}, {"a \"first\"", "1"}, {"b, second", "0"}};
    QCOMPARE(rows, expected);
}

void tst_CsvExport::writeReplacesTheFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    QString error;
    QVERIFY(writeFileAtomically(path, QByteArray("old old old\r\n"), &error));
    QVERIFY(writeFileAtomically(path, QByteArray("new\r\n"), &error));
    QVERIFY(error.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("new\r\n"));
}

void tst_CsvExport::writeFailureIsReported_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("missing folder") << "no/such/folder/out.csv";
    QTest::newRow("a folder as the file") << ".";
    QTest::newRow("no name") << "";
}

void tst_CsvExport::writeFailureIsReported()
{
    QFETCH(QString, relative);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = relative.isEmpty() ? QString() : dir.filePath(relative);
    QString error;
    QVERIFY(!writeFileAtomically(path, QByteArray("x\r\n"), &error));
    QVERIFY(error.startsWith(QStringLiteral("Could not write")));
}

QTEST_GUILESS_MAIN(tst_CsvExport)
#include "tst_csvexport.moc"
