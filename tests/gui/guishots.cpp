// Grabs the shared widgets offscreen into PNG files for a visual check: guishots <folder>.
// Not a test: it asserts nothing and is not registered with CTest.

#include "views/painttcscale.h"
#include "views/scalelabels.h"
#include "views/timelineitemwidget.h"
#include "widgets/aboutdialog.h"
#include "widgets/confirmdialog.h"
#include "widgets/inputtcwidget.h"
#include "widgets/splashwindow.h"

#include "cmn/timecodemode.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyleFactory>

#include <cstdio>

namespace {

QString g_dir;

// Composes a top-level widget over a mid-grey backdrop so that the translucent margin shows.
void shoot(QWidget *widget, const QString &name)
{
    widget->show();
    QApplication::processEvents();
    QImage image(widget->size() + QSize(40, 40), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(120, 120, 120));
    QPainter painter(&image);
    painter.drawPixmap(20, 20, widget->grab());
    painter.end();
    image.save(g_dir + QLatin1Char('/') + name);
    std::printf("%s\n", qPrintable(name));
}

void timelineShot()
{
    QWidget strip;
    strip.setObjectName(QStringLiteral("timeline"));
    strip.setAttribute(Qt::WA_StyledBackground);
    strip.resize(1300, 560);
    struct Row
    {
        int code; // the manager's status code
        const char *status;
        int p1, p2, x, w, h;
        bool maintenance;
    };
    const Row rows[] = {
        {1, "Scheduled", -1, -1, 10, 300, 120, false},
        {3, "Waiting", 0, -1, 320, 300, 120, false},
        {6, "In-Progress", 40, -1, 630, 300, 120, false},
        {6, "In-Progress", 80, 30, 940, 340, 120, false},
        {7, "Completed", 100, -1, -120, 420, 120, false},
        {-5, "Cancelling", 60, -1, 320, 300, 120, false},
        {-4, "Cancelled", 60, -1, 630, 300, 120, false},
        {-3, "Transfer Error", 35, -1, 940, 340, 120, false},
        {-2, "Rec Error", -1, -1, 10, 300, 120, false},
        {6, "In-Progress", -2, -1, 320, 300, 120, false},
        {1, "Scheduled", -1, -1, 630, 300, 120, true},
        {7, "Completed", 100, 100, 940, 150, 60, false},
    };
    int index = 0;
    for (const Row &row : rows) {
        const int y = 10 + (index / 4) * 135;
        auto *item = new TimelineItemWidget(&strip, QStringLiteral("Camera %1 interview take").arg(index + 1),
                                            0, 1000, QStringLiteral("[08] 10:00:00:00"),
                                            QStringLiteral("[08] 10:30:00:00"), QLatin1String(row.status));
        item->setStatus(trx::scheduleStatusOf(row.code));
        item->setAssignedSize(row.w, row.h);
        item->move(row.x, y);
        item->setDuration(QStringLiteral("00:30:00:01"));
        item->setProgress(row.p1, row.p2);
        item->setMaintenance(row.maintenance);
        if (row.maintenance)
            item->setNameText(QStringLiteral("Maintenance"));
        item->setReady(true);
        ++index;
    }
    shoot(&strip, QStringLiteral("items.png"));

    // A narrow item under the mouse, raised over its neighbour.
    QWidget hover;
    hover.setObjectName(QStringLiteral("timeline"));
    hover.setAttribute(Qt::WA_StyledBackground);
    hover.resize(700, 160);
    auto *a = new TimelineItemWidget(&hover, QStringLiteral("Short clip"), 0, 10,
                                     QStringLiteral("[08] 10:00:00:00"), QStringLiteral("[08] 10:00:10:00"),
                                     QStringLiteral("In-Progress"));
    a->setStatus(trx::ScheduleStatus::InProgress);
    a->setAssignedSize(90, 50);
    a->move(40, 20);
    a->setProgress(55, -1);
    a->setReady(true);
    auto *b =
        new TimelineItemWidget(&hover, QStringLiteral("Next clip"), 0, 10, QStringLiteral("[08] 10:00:10:00"),
                               QStringLiteral("[08] 10:00:20:00"), QStringLiteral("Waiting"));
    b->setStatus(trx::ScheduleStatus::Waiting);
    b->setAssignedSize(90, 50);
    b->move(140, 20);
    b->setProgress(0, -1);
    b->setReady(true);
    hover.show();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(a, &enter);
    shoot(&hover, QStringLiteral("item_hover.png"));
}

void scaleShot()
{
    PaintTcScale scale;
    scale.resize(1600, 30);
    ScaleLabelInput in;
    in.rate = FrameRate{cmn::get_timecode_mode(25, false), 1000};
    const int day = in.rate.mode->frames_per_day();
    in.zoomLevels = {250, 1500, 15000, 90000, day, 15 * day};
    in.width = 1600 - 506;
    in.originX = in.width / 2;
    in.anchorFrame = ((10 * 60 + 7) * 60 + 31) * 25 + 3;
    in.date = QDate(2026, 12, 8);
    for (int v : {250, 1000, 10000, 40000, 300000, 3 * day}) {
        in.viewFrames = v;
        scale.setLabels(computeScaleLabels(in));
        shoot(&scale, QStringLiteral("scale_%1.png").arg(v));
    }
}

QPushButton *stateButton(QWidget *parent, const char *name, const char *property, const char *value)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setProperty(property, QLatin1String(value));
    return button;
}

// The controls the port rows and the bottom bar style by object name and dynamic property.
void controlsShot()
{
    QWidget panel;
    panel.setObjectName(QStringLiteral("leftPanel"));
    panel.setAttribute(Qt::WA_StyledBackground);
    auto *grid = new QGridLayout(&panel);
    int row = 0;
    const char *tc[] = {"Link", "Master", "UnLink", "None"};
    for (const char *status : tc) {
        grid->addWidget(
            stateButton(&panel, "m_btnPortCollapse", "mandatoryField", row % 2 ? "Collapse" : "Expand"), row,
            0);
        grid->addWidget(new QLabel(QStringLiteral("Port %1").arg(QChar('A' + row)), &panel), row, 1);
        grid->addWidget(stateButton(&panel, "btnREC", "Recording", row % 2 ? "Yes" : "No"), row, 2);
        grid->addWidget(stateButton(&panel, "btnTC", "TcStatus", status), row, 3);
        auto *combo = new QComboBox(&panel);
        combo->addItems({QStringLiteral("None"), QStringLiteral("Port B")});
        combo->setProperty("ShowPopup", row == 1 ? "Yes" : "No");
        grid->addWidget(combo, row, 4);
        auto *check = new QCheckBox(&panel);
        check->setChecked(row % 2);
        grid->addWidget(check, row, 5);
        ++row;
    }
    QPushButton *disabledRec = stateButton(&panel, "btnREC", "Recording", "Yes");
    disabledRec->setEnabled(false);
    grid->addWidget(disabledRec, row, 2);
    QPushButton *disabledTc = stateButton(&panel, "btnTC", "TcStatus", "Master");
    disabledTc->setEnabled(false);
    grid->addWidget(disabledTc, row, 3);
    auto *name = new QLineEdit(QStringLiteral("Camera 1"), &panel);
    name->setObjectName(QStringLiteral("m_txtPortName"));
    grid->addWidget(name, row, 4);
    ++row;
    auto *add = new QPushButton(&panel);
    add->setObjectName(QStringLiteral("btnAdd"));
    grid->addWidget(add, row, 0, 1, 2);
    grid->addWidget(new QPushButton(QStringLiteral("Start"), &panel), row, 2);
    grid->addWidget(new QPushButton(QStringLiteral("Stop"), &panel), row, 3);
    auto *label = new QLabel(QStringLiteral("[08] 10:07:31:03"), &panel);
    label->setObjectName(QStringLiteral("labelTC"));
    grid->addWidget(label, row, 4, 1, 2);
    ++row;
    auto *zoomIn = new QPushButton(&panel);
    zoomIn->setObjectName(QStringLiteral("m_btnZoomIn"));
    grid->addWidget(zoomIn, row, 0);
    auto *zoom = new QSlider(Qt::Horizontal, &panel);
    zoom->setObjectName(QStringLiteral("zoom"));
    zoom->setRange(0, 299);
    zoom->setValue(150);
    grid->addWidget(zoom, row, 1, 1, 3);
    auto *zoomOut = new QPushButton(&panel);
    zoomOut->setObjectName(QStringLiteral("m_btnZoomOut"));
    grid->addWidget(zoomOut, row, 4);
    ++row;
    auto *cursor = new QSlider(Qt::Horizontal, &panel);
    cursor->setObjectName(QStringLiteral("m_cursor"));
    cursor->setRange(-100, 100);
    grid->addWidget(cursor, row, 0, 1, 6);
    ++row;
    auto *scroll = new QScrollBar(Qt::Horizontal, &panel);
    scroll->setRange(0, 100);
    scroll->setPageStep(30);
    grid->addWidget(scroll, row, 0, 1, 6);
    panel.resize(560, 420);
    shoot(&panel, QStringLiteral("controls.png"));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: guishots <folder>\n");
        return 2;
    }
    g_dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_dir);
    QApplication::setFont(QFont(QStringLiteral("Arial")));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("fusion")));
    QFile sheet(QStringLiteral(":/OXA/OXA.qss"));
    if (sheet.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromLatin1(sheet.readAll()));

    ConfirmDialog confirm(nullptr);
    confirm.prepare(QStringLiteral("Are you sure you want to remove the Schedule ?"),
                    QStringLiteral("Confirmation"), ConfirmDialog::OkCancel, ConfirmDialog::Information);
    shoot(&confirm, QStringLiteral("confirm_information.png"));
    ConfirmDialog error(nullptr);
    error.prepare(QStringLiteral("Could not delete the schedule because it is in progress."),
                  QStringLiteral("Delete Schedule Error"), ConfirmDialog::OkOnly, ConfirmDialog::Critical);
    shoot(&error, QStringLiteral("confirm_critical.png"));
    ConfirmDialog warning(nullptr);
    warning.prepare(QStringLiteral("Port A is not recording. Start recording now?"),
                    QStringLiteral("Warning"), ConfirmDialog::YesNoCancel, ConfirmDialog::Warning);
    shoot(&warning, QStringLiteral("confirm_warning.png"));

    AboutDialog about(nullptr);
    shoot(&about, QStringLiteral("about.png"));
    SplashWindow splash;
    splash.SetStatText(QStringLiteral("Connecting to TRXM..."));
    shoot(&splash, QStringLiteral("splash.png"));
    InputTcWidget tc;
    tc.setText(QStringLiteral("123456"));
    tc.resize(85, 28);
    shoot(&tc, QStringLiteral("inputtc.png"));

    timelineShot();
    scaleShot();
    controlsShot();
    return 0;
}
