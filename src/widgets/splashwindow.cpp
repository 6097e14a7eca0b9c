#include "splashwindow.h"
#include "ui_splashwindow.h"

#include "widgets/framelessdialog.h"

#include <QPainter>
#include <QPixmap>

namespace {
const char kSplashPicture[] = ":/OXA/mrl_splash_parts.png";
const char kVersion[] = TARSA_VERSION;
} // namespace

SplashWindow::SplashWindow(QWidget *parent) : QWidget(parent), ui(new Ui::SplashWindow)
{
    ui->setupUi(this);
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setContentsMargins(5, 5, 5, 5);
    applyFramelessShadow(this);
    const QPixmap picture(QString::fromLatin1(kSplashPicture));
    if (!picture.isNull())
        ui->m_splashImg->setPixmap(composePicture(picture));
}

SplashWindow::~SplashWindow()
{
    delete ui;
}

QPixmap SplashWindow::composePicture(const QPixmap &picture)
{
    QPixmap result = picture;
    QPainter painter(&result);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(224, 224, 224));

    QFont font(QStringLiteral("Arial"));
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setPixelSize(14);
    painter.setFont(font);
    painter.drawText(QPoint(16, 150), QStringLiteral("Version ") + QLatin1String(kVersion));

    font.setPixelSize(12);
    painter.setFont(font);
    painter.drawText(QPoint(16, 194), tr("Multi-camera recording scheduler"));
    painter.drawText(QPoint(16, 212), tr("Connects to the recording manager at start-up"));
    return result;
}

QString SplashWindow::statusText() const
{
    return ui->m_lbStatBar->text();
}

void SplashWindow::SetStatText(const QString &strText)
{
    ui->m_lbStatBar->setText(strText);
    // Start-up blocks the event loop between steps; paint now so the operator sees each step.
    ui->m_lbStatBar->repaint();
}

void SplashWindow::slotClose()
{
    hide();
}

void SplashWindow::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    emit sigSplashShow();
}
