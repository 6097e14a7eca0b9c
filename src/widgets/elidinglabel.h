#pragma once

#include <QLabel>

// A one-line label that never asks for more width than a few characters: a text longer than the
// space it gets is cut with an ellipsis instead of widening its window. The full text stays in
// text(); callers usually put it in the tool tip as well.
class ElidingLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidingLabel(QWidget *parent = nullptr);

    QSize minimumSizeHint() const override;
    // The text as drawn at the label's current width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
