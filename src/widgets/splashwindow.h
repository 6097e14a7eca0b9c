#pragma once

#include <QWidget>

namespace Ui {
class SplashWindow;
}

// Start-up picture with the version painted on it and a status line underneath.
class SplashWindow : public QWidget
{
    Q_OBJECT

public:
    explicit SplashWindow(QWidget *parent = nullptr);
    ~SplashWindow() override;

    QString statusText() const;

    // The splash picture with the version line and the two lower lines painted on it.
    static QPixmap composePicture(const QPixmap &picture);

signals:
    void sigSplashShow();

public slots:
    void SetStatText(const QString &strText);
    void slotClose();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Ui::SplashWindow *ui = nullptr;
};
