#include "widgets/confirmdialog.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

class tst_ConfirmDialog : public QObject
{
    Q_OBJECT

private slots:
    void buttonSets_data();
    void buttonSets();
    void icons_data();
    void icons();
    void enterKey_data();
    void enterKey();
    void escapeGivesCancel();
    void okSlotIgnoredWhileHidden();
    void reusedDialogResetsButtons();

private:
    static QPushButton *button(ConfirmDialog &dialog, const char *name)
    {
        return dialog.findChild<QPushButton *>(QLatin1String(name));
    }
    // Runs the dialog and calls action once it is on screen; returns the modal result.
    static int runWith(ConfirmDialog &dialog, int buttonSet, const std::function<void()> &action)
    {
        QTimer::singleShot(0, &dialog, action);
        return dialog.run(QStringLiteral("Are you sure you want to remove the Schedule ?"),
                          QStringLiteral("Confirmation"), buttonSet, ConfirmDialog::Information);
    }
};

void tst_ConfirmDialog::buttonSets_data()
{
    QTest::addColumn<int>("buttonSet");
    QTest::addColumn<QString>("okText");
    QTest::addColumn<bool>("okShown");
    QTest::addColumn<bool>("noShown");
    QTest::addColumn<bool>("cancelShown");
    QTest::addColumn<QString>("click");
    QTest::addColumn<int>("result");

    QTest::newRow("yes-no answered yes") << 0 << "Yes" << true << true << false << "m_btnOK" << 1;
    QTest::newRow("yes-no answered no") << 0 << "Yes" << true << true << false << "m_btnNo" << 2;
    QTest::newRow("yes-no-cancel cancelled") << 1 << "Yes" << true << true << true << "m_btnCancel" << 0;
    QTest::newRow("yes-no-cancel answered no") << 1 << "Yes" << true << true << true << "m_btnNo" << 2;
    QTest::newRow("ok-cancel accepted") << 2 << "OK" << true << false << true << "m_btnOK" << 1;
    QTest::newRow("ok-cancel cancelled") << 2 << "OK" << true << false << true << "m_btnCancel" << 0;
    QTest::newRow("ok only") << 3 << "OK" << true << false << false << "m_btnOK" << 1;
    QTest::newRow("cancel only") << 4 << "OK" << false << false << true << "m_btnCancel" << 0;
    QTest::newRow("unknown set keeps the form's three")
        << 9 << "OK" << true << true << true << "m_btnNo" << 2;
}

void tst_ConfirmDialog::buttonSets()
{
    QFETCH(int, buttonSet);
    QFETCH(QString, okText);
    QFETCH(bool, okShown);
    QFETCH(bool, noShown);
    QFETCH(bool, cancelShown);
    QFETCH(QString, click);
    QFETCH(int, result);

    ConfirmDialog dialog(nullptr);
    bool seen[3] = {};
    QString seenOkText;
    const int answer = runWith(dialog, buttonSet, [&] {
        seen[0] = button(dialog, "m_btnOK")->isVisible();
        seen[1] = button(dialog, "m_btnNo")->isVisible();
        seen[2] = button(dialog, "m_btnCancel")->isVisible();
        seenOkText = button(dialog, "m_btnOK")->text();
        QTest::mouseClick(button(dialog, qPrintable(click)), Qt::LeftButton);
    });
    QCOMPARE(seen[0], okShown);
    QCOMPARE(seen[1], noShown);
    QCOMPARE(seen[2], cancelShown);
    QCOMPARE(seenOkText, okText);
    QCOMPARE(answer, result);
}

void tst_ConfirmDialog::icons_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("image");

    QTest::newRow("none hides the icon") << 0 << QString();
    QTest::newRow("warning") << 1 << ":/OXA/message_warning.png";
    QTest::newRow("critical") << 2 << ":/OXA/message_critical.png";
    QTest::newRow("information") << 3 << ":/OXA/message_information.png";
    QTest::newRow("unknown number hides the icon") << 7 << QString();
}

void tst_ConfirmDialog::icons()
{
    QFETCH(int, icon);
    QFETCH(QString, image);

    ConfirmDialog dialog(nullptr);
    dialog.prepare(QStringLiteral("text"), QStringLiteral("Information"), ConfirmDialog::OkOnly, icon);
    dialog.show();
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("m_icon"));
    QVERIFY(label);
    QCOMPARE(label->isVisible(), !image.isEmpty());
    if (!image.isEmpty()) {
        QCOMPARE(label->styleSheet(), QStringLiteral("background-image :url(%1);").arg(image));
        QVERIFY2(QFile::exists(image), qPrintable(image));
    }
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("m_lblTitle"))->text(), QStringLiteral("Information"));
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("m_labelText"))->text(), QStringLiteral("text"));
}

void tst_ConfirmDialog::enterKey_data()
{
    QTest::addColumn<int>("buttonSet");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<int>("result");

    QTest::newRow("cancel only ignores Enter") << 4 << "m_btnCancel" << false << 0;
    QTest::newRow("ok only accepts with Enter") << 3 << "m_btnOK" << true << 1;
    QTest::newRow("Enter on a focused Cancel cancels") << 2 << "m_btnCancel" << true << 0;
    QTest::newRow("Enter on a focused No answers no") << 1 << "m_btnNo" << true << 2;
    QTest::newRow("Enter on a focused OK accepts") << 2 << "m_btnOK" << true << 1;
}

void tst_ConfirmDialog::enterKey()
{
    QFETCH(int, buttonSet);
    QFETCH(QString, focus);
    QFETCH(bool, closes);
    QFETCH(int, result);

    ConfirmDialog dialog(nullptr);
    bool stillOpen = false;
    const int answer = runWith(dialog, buttonSet, [&] {
        QPushButton *target = button(dialog, qPrintable(focus));
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter);
        stillOpen = dialog.isVisible();
        if (stillOpen)
            dialog.slotBtnCancel();
    });
    QCOMPARE(stillOpen, !closes);
    QCOMPARE(answer, result);
}

void tst_ConfirmDialog::escapeGivesCancel()
{
    ConfirmDialog dialog(nullptr);
    const int answer =
        runWith(dialog, ConfirmDialog::YesNo, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    QCOMPARE(answer, 0);
}

void tst_ConfirmDialog::okSlotIgnoredWhileHidden()
{
    ConfirmDialog dialog(nullptr);
    bool stillOpen = false;
    const int answer = runWith(dialog, ConfirmDialog::CancelOnly, [&] {
        dialog.slotBtnOk();
        stillOpen = dialog.isVisible();
        dialog.slotBtnNo();
    });
    QVERIFY(stillOpen);
    QCOMPARE(answer, 2);
}

void tst_ConfirmDialog::reusedDialogResetsButtons()
{
    ConfirmDialog dialog(nullptr);
    dialog.prepare(QStringLiteral("Delete?"), QStringLiteral("Confirmation"), ConfirmDialog::YesNo,
                   ConfirmDialog::Warning);
    dialog.prepare(QStringLiteral("Done."), QStringLiteral("Information"), ConfirmDialog::OkOnly,
                   ConfirmDialog::NoIcon);
    dialog.show();
    QCOMPARE(button(dialog, "m_btnOK")->text(), QStringLiteral("OK"));
    QVERIFY(!button(dialog, "m_btnNo")->isVisible());
    QVERIFY(!dialog.findChild<QLabel *>(QStringLiteral("m_icon"))->isVisible());
}

QTEST_MAIN(tst_ConfirmDialog)
#include "tst_confirmdialog.moc"
