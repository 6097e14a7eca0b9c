#include "inputtcwidget.h"
#include "ui_inputtcwidget.h"

#include "widgets/tcfieldnavigation.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

InputTcWidget::InputTcWidget(QWidget *parent) : QWidget(parent), ui(new Ui::InputTcWidget)
{
    ui->setupUi(this);
    m_fields = {ui->m_txtHour, ui->m_txtMinute, ui->m_txtSecond};
    const QRegularExpression digits(QStringLiteral("[0-9]+"));
    for (QLineEdit *field : qAsConst(m_fields)) {
        field->setValidator(new QRegularExpressionValidator(digits, field));
        field->installEventFilter(this);
        connect(field, &QLineEdit::textChanged, this, &InputTcWidget::textChanged);
    }
    setText(QStringLiteral("000000"));
}

InputTcWidget::~InputTcWidget()
{
    delete ui;
}

QLineEdit *InputTcWidget::hourEdit() const
{
    return ui->m_txtHour;
}

QLineEdit *InputTcWidget::minuteEdit() const
{
    return ui->m_txtMinute;
}

QLineEdit *InputTcWidget::secondEdit() const
{
    return ui->m_txtSecond;
}

quint32 InputTcWidget::value() const
{
    const int modulo[3] = {24, 60, 60};
    quint32 packed = 0;
    for (int i = 0; i < m_fields.size(); ++i) {
        bool ok = false;
        const int n = m_fields.at(i)->text().toInt(&ok);
        if (!ok || n < 0)
            return 0xFFFFFFFFu;
        packed |= quint32(n % modulo[i]) << (24 - 8 * i);
    }
    return packed;
}

void InputTcWidget::setText(const QString &text)
{
    for (int i = 0; i < m_fields.size(); ++i) {
        QLineEdit *field = m_fields.at(i);
        const QSignalBlocker blocker(field);
        field->clear();
        field->setText(text.mid(2 * i, 2));
    }
}

void InputTcWidget::selectAll()
{
    for (QLineEdit *field : qAsConst(m_fields))
        field->selectAll();
}

void InputTcWidget::textChanged(const QString &text)
{
    if (auto *field = qobject_cast<QLineEdit *>(sender()))
        fieldChanged(field, text);
}

void InputTcWidget::fieldChanged(QLineEdit *field, const QString &text)
{
    if (text.size() >= 2) {
        const int limit = field == ui->m_txtHour ? 24 : 60;
        if (text.toInt() >= limit) {
            // Blocked so that the correction does not re-enter here and move the focus twice.
            const QSignalBlocker blocker(field);
            field->setText(QString::number(limit - 1));
        }
        if (QLineEdit *next = neighbourTcField(m_fields, field, 1)) {
            next->setFocus(Qt::OtherFocusReason);
            next->selectAll();
        }
    }
    emit sigTcChanged();
}

bool InputTcWidget::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (!field || event->type() != QEvent::KeyPress || !m_fields.contains(field))
        return QWidget::eventFilter(watched, event);

    if (moveAcrossTcFields(m_fields, field, static_cast<QKeyEvent *>(event)->key()))
        return true;
    return QWidget::eventFilter(watched, event);
}
