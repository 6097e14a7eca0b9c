// Draws every image the style sheet and the code name. Run: imagegen <output folder>.
// Everything is painted from shapes (and a generic sans font for the button words), so the
// pictures can be regenerated and changed here instead of edited by hand.

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include <cstdio>
#include <functional>

namespace {

QString g_outDir;
int g_written = 0;

const QColor kAccent(51, 109, 149);
const QColor kLightBlue(34, 198, 255);
const QColor kRed(220, 52, 52);
const QColor kSoftRed(242, 106, 102);
const QColor kGreen(0, 190, 70);
const QColor kAmber(240, 180, 30);
const QColor kLight(224, 224, 224);
const QColor kMid(150, 150, 150);
const QColor kDark(58, 58, 58);

void save(const QString &name, int w, int h, const std::function<void(QPainter &)> &draw)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        draw(p);
    }
    const QString path = g_outDir + QLatin1Char('/') + name;
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    ++g_written;
}

QFont boldFont(int pixelSize)
{
    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QPainterPath triangle(QPointF a, QPointF b, QPointF c)
{
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

void messageIcons()
{
    save(QStringLiteral("message_warning.png"), 48, 48, [](QPainter &p) {
        QPainterPath tri = triangle({24, 4}, {45, 43}, {3, 43});
        p.setPen(QPen(QColor(150, 100, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QLinearGradient g(0, 4, 0, 44);
        g.setColorAt(0, QColor(255, 214, 70));
        g.setColorAt(1, kAmber);
        p.setBrush(g);
        p.drawPath(tri);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 30, 0));
        p.drawRoundedRect(QRectF(21.5, 16, 5, 16), 2.5, 2.5);
        p.drawEllipse(QPointF(24, 37.5), 3, 3);
    });
    save(QStringLiteral("message_critical.png"), 48, 48, [](QPainter &p) {
        QRadialGradient g(QPointF(20, 18), 28);
        g.setColorAt(0, QColor(245, 90, 90));
        g.setColorAt(1, QColor(190, 30, 30));
        p.setPen(QPen(QColor(120, 10, 10), 2));
        p.setBrush(g);
        p.drawEllipse(QPointF(24, 24), 21, 21);
        p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 16), QPointF(32, 32));
        p.drawLine(QPointF(32, 16), QPointF(16, 32));
    });
    save(QStringLiteral("message_information.png"), 48, 48, [](QPainter &p) {
        QRadialGradient g(QPointF(20, 18), 28);
        g.setColorAt(0, QColor(90, 170, 230));
        g.setColorAt(1, kAccent);
        p.setPen(QPen(QColor(20, 60, 90), 2));
        p.setBrush(g);
        p.drawEllipse(QPointF(24, 24), 21, 21);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(24, 14), 3.5, 3.5);
        p.drawRoundedRect(QRectF(21, 20, 6, 17), 2, 2);
    });
}

void menuIcons()
{
    save(QStringLiteral("edit.png"), 16, 16, [](QPainter &p) {
        p.translate(8, 8);
        p.rotate(45);
        p.setPen(QPen(QColor(40, 40, 40), 1));
        p.setBrush(kAmber);
        p.drawRect(QRectF(-2.5, -7, 5, 10));
        p.setBrush(QColor(230, 190, 150));
        p.drawPath(triangle({-2.5, 3}, {2.5, 3}, {0, 7.5}));
        p.setBrush(kSoftRed);
        p.drawRect(QRectF(-2.5, -8, 5, 2));
    });
    save(QStringLiteral("delete.png"), 16, 16, [](QPainter &p) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(4, 4.5, 8, 10));
        p.drawRect(QRectF(2.5, 2.5, 11, 2));
        p.drawRect(QRectF(6.5, 1, 3, 1.5));
        p.setPen(QPen(QColor(90, 90, 90), 1));
        for (double x : {6.5, 8.0, 9.5})
            p.drawLine(QPointF(x, 6.5), QPointF(x, 12.5));
    });
    save(QStringLiteral("cancel.png"), 16, 16, [](QPainter &p) {
        p.setPen(QPen(QColor(120, 20, 20), 1));
        p.setBrush(kRed);
        p.drawEllipse(QPointF(8, 8), 7, 7);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, 5, 6, 6));
    });
    save(QStringLiteral("close.png"), 16, 16, [](QPainter &p) {
        p.setPen(QPen(kLight, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
    });
    save(QStringLiteral("close_hover.png"), 16, 16, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawRoundedRect(QRectF(0, 0, 16, 16), 3, 3);
        p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
    });
}

void addIcon(const QString &name, const QColor &ring)
{
    save(name, 22, 22, [ring](QPainter &p) {
        p.setPen(QPen(ring, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(11, 11), 9.5, 9.5);
        p.setPen(QPen(kLight, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 6), QPointF(11, 16));
        p.drawLine(QPointF(6, 11), QPointF(16, 11));
    });
}

void zoomIcon(const QString &name, bool plus, const QColor &colour)
{
    save(name, 19, 19, [plus, colour](QPainter &p) {
        p.setPen(QPen(colour, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(7.5, 7.5), 5.5, 5.5);
        p.setPen(QPen(colour, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11.8, 11.8), QPointF(17, 17));
        p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(4.5, 7.5), QPointF(10.5, 7.5));
        if (plus)
            p.drawLine(QPointF(7.5, 4.5), QPointF(7.5, 10.5));
    });
}

void arrow(const QString &name, int w, int h, int direction, const QColor &colour)
{
    // direction: 0 up, 1 right, 2 down, 3 left
    save(name, w, h, [w, h, direction, colour](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        const double l = 1.5, t = 1.5, r = w - 1.5, b = h - 1.5, cx = w / 2.0, cy = h / 2.0;
        switch (direction) {
        case 0:
            p.drawPath(triangle({l, b - 1}, {r, b - 1}, {cx, t + 1}));
            break;
        case 1:
            p.drawPath(triangle({l + 1, t}, {l + 1, b}, {r - 1, cy}));
            break;
        case 2:
            p.drawPath(triangle({l, t + 1}, {r, t + 1}, {cx, b - 1}));
            break;
        default:
            p.drawPath(triangle({r - 1, t}, {r - 1, b}, {l + 1, cy}));
            break;
        }
    });
}

void stateButton(const QString &name, const QString &word, const QColor &fill, const QColor &lamp,
                 const QColor &text)
{
    save(name, 52, 24, [word, fill, lamp, text](QPainter &p) {
        QLinearGradient g(0, 0, 0, 24);
        g.setColorAt(0, fill.lighter(125));
        g.setColorAt(1, fill);
        p.setPen(QPen(fill.darker(170), 1));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(0.5, 0.5, 51, 23), 4, 4);
        p.setPen(QPen(lamp.darker(160), 1));
        p.setBrush(lamp);
        p.drawEllipse(QPointF(11, 12), 4.5, 4.5);
        p.setPen(text);
        p.setFont(boldFont(12));
        p.drawText(QRectF(18, 0, 32, 24), Qt::AlignCenter, word);
    });
}

void recAndTcButtons()
{
    stateButton(QStringLiteral("rec_on.png"), QStringLiteral("REC"), QColor(150, 24, 24), QColor(255, 60, 60),
                Qt::white);
    stateButton(QStringLiteral("rec_off.png"), QStringLiteral("REC"), QColor(70, 70, 70),
                QColor(110, 110, 110), kLight);
    stateButton(QStringLiteral("rec_disabled.png"), QStringLiteral("REC"), QColor(48, 48, 48),
                QColor(70, 70, 70), QColor(110, 110, 110));
    stateButton(QStringLiteral("tc_link.png"), QStringLiteral("TC"), QColor(20, 110, 50),
                QColor(60, 230, 110), Qt::white);
    stateButton(QStringLiteral("tc_master.png"), QStringLiteral("TC"), QColor(24, 70, 102), kLightBlue,
                Qt::white);
    stateButton(QStringLiteral("tc_unlink.png"), QStringLiteral("TC"), QColor(120, 40, 30),
                QColor(255, 150, 60), Qt::white);
    stateButton(QStringLiteral("tc_none.png"), QStringLiteral("TC"), QColor(70, 70, 70),
                QColor(110, 110, 110), kLight);
    stateButton(QStringLiteral("tc_disabled.png"), QStringLiteral("TC"), QColor(48, 48, 48),
                QColor(70, 70, 70), QColor(110, 110, 110));
}

void checkBoxes()
{
    save(QStringLiteral("check_off.png"), 16, 16, [](QPainter &p) {
        p.setPen(QPen(kMid, 1));
        p.setBrush(QColor(30, 30, 30));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    });
    save(QStringLiteral("check_on.png"), 16, 16, [](QPainter &p) {
        p.setPen(QPen(kLightBlue, 1));
        p.setBrush(kAccent);
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
        p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(4.5, 8.5);
        tick.lineTo(7, 11);
        tick.lineTo(11.5, 5);
        p.drawPath(tick);
    });
    save(QStringLiteral("check_disabled.png"), 16, 16, [](QPainter &p) {
        p.setPen(QPen(QColor(80, 80, 80), 1));
        p.setBrush(QColor(45, 45, 45));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    });
}

// Schedule bars in the timeline's status colours, the motif of the splash and the about icon.
void drawBars(QPainter &p, const QRectF &area, double barHeight, double gap)
{
    struct Bar
    {
        double from, to;
        QColor track, fill;
        double progress;
    };
    const Bar bars[] = {
        {0.05, 0.55, QColor(224, 224, 224), QColor(0, 211, 70), 1.0},
        {0.30, 0.92, QColor(24, 70, 102), QColor(34, 198, 255), 0.6},
        {0.12, 0.40, QColor(24, 70, 102), QColor(24, 70, 102), 1.0},
        {0.48, 0.98, QColor(224, 224, 224), QColor(24, 70, 102), 0.0},
    };
    double y = area.top();
    for (const Bar &bar : bars) {
        const double x0 = area.left() + area.width() * bar.from;
        const double x1 = area.left() + area.width() * bar.to;
        p.setPen(Qt::NoPen);
        p.setBrush(bar.track);
        p.drawRoundedRect(QRectF(x0, y, x1 - x0, barHeight), 2, 2);
        p.setBrush(bar.fill);
        p.drawRoundedRect(QRectF(x0, y, (x1 - x0) * bar.progress, barHeight), 2, 2);
        y += barHeight + gap;
    }
}

void splashAndLogo()
{
    save(QStringLiteral("mrl_splash_parts.png"), 552, 324, [](QPainter &p) {
        QLinearGradient bg(0, 0, 552, 324);
        bg.setColorAt(0, QColor(40, 46, 54));
        bg.setColorAt(1, QColor(16, 18, 22));
        p.setPen(Qt::NoPen);
        p.setBrush(bg);
        p.drawRect(0, 0, 552, 324);

        // Faint time grid behind the bars.
        p.setPen(QPen(QColor(255, 255, 255, 18), 1));
        for (int x = 250; x < 552; x += 30)
            p.drawLine(x, 40, x, 250);
        p.setPen(QPen(QColor(201, 201, 201, 90), 1));
        for (int x = 250; x < 552; x += 30)
            p.drawLine(x, 40, x, 48);
        drawBars(p, QRectF(250, 62, 280, 170), 30, 14);
        p.setPen(QPen(kLightBlue, 2));
        p.drawLine(QPointF(430, 52), QPointF(430, 244));

        p.setPen(kLight);
        QFont title = boldFont(52);
        title.setLetterSpacing(QFont::AbsoluteSpacing, 4);
        p.setFont(title);
        p.drawText(QPointF(14, 112), QStringLiteral("TARSA"));
        p.setPen(QPen(kAccent, 3));
        p.drawLine(QPointF(16, 126), QPointF(220, 126));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawRect(QRectF(0, 284, 552, 40));
    });
    save(QStringLiteral("about_icon.png"), 64, 64, [](QPainter &p) {
        QLinearGradient bg(0, 0, 64, 64);
        bg.setColorAt(0, QColor(52, 60, 70));
        bg.setColorAt(1, QColor(22, 24, 28));
        p.setPen(QPen(QColor(90, 100, 110), 1));
        p.setBrush(bg);
        p.drawRoundedRect(QRectF(0.5, 0.5, 63, 63), 10, 10);
        drawBars(p, QRectF(8, 12, 48, 40), 7, 4.5);
        p.setPen(QPen(kLightBlue, 1.5));
        p.drawLine(QPointF(40, 8), QPointF(40, 56));
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: imagegen <output folder>\n");
        return 2;
    }
    g_outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_outDir);

    messageIcons();
    menuIcons();
    addIcon(QStringLiteral("add.png"), kMid);
    addIcon(QStringLiteral("add_hover.png"), kLightBlue);
    zoomIcon(QStringLiteral("zoom_in.png"), true, kLight);
    zoomIcon(QStringLiteral("zoom_out.png"), false, kLight);
    zoomIcon(QStringLiteral("zoom_in_hover.png"), true, kLightBlue);
    zoomIcon(QStringLiteral("zoom_out_hover.png"), false, kLightBlue);
    arrow(QStringLiteral("collapse.png"), 16, 16, 1, kLight);
    arrow(QStringLiteral("expand.png"), 16, 16, 2, kLight);
    arrow(QStringLiteral("scroll_up.png"), 10, 10, 0, kMid);
    arrow(QStringLiteral("scroll_right.png"), 10, 10, 1, kMid);
    arrow(QStringLiteral("scroll_down.png"), 10, 10, 2, kMid);
    arrow(QStringLiteral("scroll_left.png"), 10, 10, 3, kMid);
    arrow(QStringLiteral("combo_arrow.png"), 12, 10, 2, kLight);
    arrow(QStringLiteral("combo_arrow_disabled.png"), 12, 10, 2, QColor(100, 100, 100));
    recAndTcButtons();
    checkBoxes();
    splashAndLogo();
    std::printf("%d images written to %s\n", g_written, qPrintable(g_outDir));
    return 0;
}
