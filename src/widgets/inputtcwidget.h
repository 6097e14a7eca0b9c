#pragma once

#include <QList>
#include <QWidget>

class QLineEdit;

namespace Ui {
class InputTcWidget;
}

// Three-field hh:mm:ss entry. Typing two digits clamps the field and moves on to the next one;
// the arrow keys and Backspace cross field borders.
class InputTcWidget : public QWidget
{
    Q_OBJECT

public:
    explicit InputTcWidget(QWidget *parent = nullptr);
    ~InputTcWidget() override;

    // Integer-packed hh:mm:ss:00 (hours in bits 31-24, frames 0), or 0xFFFFFFFF when a field is
    // empty or not a number.
    quint32 value() const;
    // Fills the fields from "hhmmss" without emitting anything.
    void setText(const QString &text);
    void selectAll();

    QLineEdit *hourEdit() const;
    QLineEdit *minuteEdit() const;
    QLineEdit *secondEdit() const;

signals:
    void sigTcChanged();

public slots:
    void textChanged(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fieldChanged(QLineEdit *field, const QString &text);

    Ui::InputTcWidget *ui = nullptr;
    QList<QLineEdit *> m_fields;
};
