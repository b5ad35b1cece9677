#include "games/game_art.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>

namespace miratos::games {
namespace {

QImage transparentImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A figure given by its joints: head centre, neck, hip, and for each arm and leg the middle
// joint and the end.
struct Figure {
    QPointF head, neck, hip;
    std::array<QPointF, 2> elbow, hand, knee, foot;
};

void drawFigure(QPainter& p, const Figure& f)
{
    const QColor gi(28, 48, 110);
    const QColor skin(240, 200, 160);
    QPen limb(gi, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(limb);
    for (int i = 0; i < 2; ++i) {
        p.drawPolyline(QVector<QPointF>{f.hip, f.knee[i], f.foot[i]});
        p.drawPolyline(QVector<QPointF>{f.neck, f.elbow[i], f.hand[i]});
    }
    limb.setWidth(12);
    p.setPen(limb);
    p.drawLine(f.neck, f.hip);
    // Belt, fists, head with a red headband.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(f.hip + (f.neck - f.hip) * 0.15, 6.5, 3.0);
    p.setBrush(skin);
    for (const QPointF& hand : f.hand)
        p.drawEllipse(hand, 4.0, 4.0);
    p.setPen(QPen(QColor(90, 60, 40), 1));
    p.drawEllipse(f.head, 9.0, 9.0);
    p.setPen(QPen(QColor(210, 20, 30), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(f.head + QPointF(-9, -3), f.head + QPointF(9, -3));
    p.drawLine(f.head + QPointF(-9, -3), f.head + QPointF(-15, 1));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(f.head + QPointF(4, 1), 1.3, 1.3);
}

QImage figureImage(const Figure& f, bool aura, bool sweat)
{
    QImage image = transparentImage(kFighterWidth, kFighterHeight);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (aura) {
        QRadialGradient glow(QPointF(34, 48), 40);
        glow.setColorAt(0.0, QColor(255, 250, 150, 230));
        glow.setColorAt(0.6, QColor(255, 160, 30, 150));
        glow.setColorAt(1.0, QColor(255, 80, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(QPointF(34, 48), 32, 46);
    }
    drawFigure(p, f);
    if (sweat) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(80, 170, 255));
        for (QPointF d : {QPointF(46, 24), QPointF(52, 34), QPointF(14, 28)}) {
            QPainterPath drop;
            drop.moveTo(d + QPointF(0, -5));
            drop.quadTo(d + QPointF(4, 1), d + QPointF(0, 3));
            drop.quadTo(d + QPointF(-4, 1), d + QPointF(0, -5));
            p.drawPath(drop);
        }
    }
    return image;
}

void drawArrow(QPainter& p, QPointF from, QPointF to, const QColor& color)
{
    p.setPen(QPen(color, 9, Qt::SolidLine, Qt::FlatCap));
    const QPointF dir = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    p.drawLine(from, to - dir * 10);
    const QPointF normal(-dir.y(), dir.x());
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF{to, to - dir * 16 + normal * 11, to - dir * 16 - normal * 11});
}

QFont boldFont(int pixelSize)
{
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

} // namespace

QImage fighterPicture(int pose)
{
    switch (pose) {
    case 2: // attacking: right arm thrust forward, wide stance
        return figureImage({{30, 14}, {30, 25}, {30, 56}, {{{20, 38}, {46, 29}}}, {{{26, 47}, {61, 28}}},
                            {{{18, 73}, {42, 72}}}, {{{10, 90}, {52, 90}}}},
                           false, false);
    case 3: // final move: flying kick in a blaze
        return figureImage({{22, 22}, {26, 32}, {38, 54}, {{{14, 30}, {40, 26}}}, {{{6, 22}, {52, 18}}},
                            {{{30, 70}, {50, 58}}}, {{{18, 80}, {62, 62}}}},
                           true, false);
    case 4: // after the final move: down on one knee, out of breath
        return figureImage({{30, 42}, {30, 52}, {34, 72}, {{{22, 62}, {42, 62}}}, {{{22, 74}, {48, 72}}},
                            {{{20, 90}, {48, 74}}}, {{{8, 92}, {48, 92}}}},
                           false, true);
    default: // standing
        return figureImage({{32, 14}, {32, 25}, {32, 56}, {{{22, 37}, {42, 37}}}, {{{20, 51}, {44, 51}}},
                            {{{26, 74}, {38, 74}}}, {{{22, 91}, {42, 91}}}},
                           false, false);
    }
}

QImage projectilePicture()
{
    QImage image = transparentImage(40, 24);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient tail(0, 12, 28, 12);
    tail.setColorAt(0.0, QColor(255, 120, 0, 0));
    tail.setColorAt(1.0, QColor(255, 140, 0, 220));
    p.setPen(Qt::NoPen);
    p.setBrush(tail);
    p.drawPolygon(QPolygonF{{0, 8}, {28, 3}, {28, 21}, {0, 16}});
    QRadialGradient ball(QPointF(29, 12), 11);
    ball.setColorAt(0.0, Qt::white);
    ball.setColorAt(0.4, QColor(255, 240, 120));
    ball.setColorAt(1.0, QColor(255, 90, 0));
    p.setBrush(ball);
    p.drawEllipse(QPointF(29, 12), 10, 10);
    return image;
}

QImage reelSymbolPicture(int number)
{
    QImage image(90, 90, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF face(4, 4, 82, 82);
    if (number >= 5 && number <= 10) {
        // A die face: pips of a 3 × 3 grid, the single pip large and red.
        const int value = number - 4;
        p.setPen(QPen(QColor(60, 60, 60), 2));
        p.setBrush(QColor(252, 252, 248));
        p.drawRoundedRect(face, 14, 14);
        static const std::array<std::vector<int>, 6> pips = {{{4}, {0, 8}, {0, 4, 8}, {0, 2, 6, 8},
                                                              {0, 2, 4, 6, 8}, {0, 2, 3, 5, 6, 8}}};
        p.setPen(Qt::NoPen);
        for (int cell : pips[static_cast<size_t>(value - 1)]) {
            const QPointF c(22 + 23 * (cell % 3), 22 + 23 * (cell / 3));
            p.setBrush(value == 1 ? QColor(210, 20, 30) : QColor(20, 20, 20));
            p.drawEllipse(c + (value == 1 ? QPointF(1, 1) : QPointF()), value == 1 ? 13.0 : 7.5, value == 1 ? 13.0 : 7.5);
        }
        return image;
    }
    struct Style {
        QColor back;
        const char* text;
    };
    static const std::array<Style, 4> styles = {{{QColor(30, 90, 200), "戻る"},
                                                 {QColor(215, 30, 40), "倍進"},
                                                 {QColor(20, 150, 60), "進む"},
                                                 {QColor(20, 20, 20), "討死"}}};
    const Style& style = styles[static_cast<size_t>(std::clamp(number, 1, 4) - 1)];
    p.setPen(Qt::NoPen);
    p.setBrush(style.back);
    p.drawRoundedRect(face, 14, 14);
    switch (number) {
    case 1: drawArrow(p, {70, 28}, {18, 28}, Qt::white); break;
    case 2:
        drawArrow(p, {14, 22}, {72, 22}, Qt::white);
        drawArrow(p, {14, 40}, {72, 40}, Qt::white);
        break;
    case 3: drawArrow(p, {18, 28}, {72, 28}, Qt::white); break;
    default: {
        // A crossed pair of swords.
        p.setPen(QPen(QColor(230, 230, 230), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(20, 12), QPointF(66, 46));
        p.drawLine(QPointF(70, 12), QPointF(24, 46));
        p.setPen(QPen(QColor(200, 160, 60), 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(20, 12), QPointF(27, 17));
        p.drawLine(QPointF(70, 12), QPointF(63, 17));
        break;
    }
    }
    p.setFont(boldFont(26));
    p.setPen(number == 4 ? QColor(255, 60, 60) : QColor(Qt::white));
    p.drawText(QRectF(4, 50, 82, 34), Qt::AlignCenter, QString::fromUtf8(style.text));
    return image;
}

QImage titlePicture()
{
    QImage image = transparentImage(360, 76);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient banner(0, 0, 0, 76);
    banner.setColorAt(0.0, QColor(150, 20, 20));
    banner.setColorAt(1.0, QColor(90, 10, 10));
    p.setPen(QPen(QColor(220, 180, 70), 3));
    p.setBrush(banner);
    p.drawRoundedRect(QRectF(2, 2, 356, 72), 10, 10);
    QPainterPath text;
    const QFont font = boldFont(52);
    const QString title = QStringLiteral("国盗合戦");
    const double width = QFontMetricsF(font).horizontalAdvance(title);
    text.addText((360 - width) / 2, 58, font, title);
    p.setPen(QPen(QColor(60, 0, 0), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(text);
    QLinearGradient gold(0, 10, 0, 66);
    gold.setColorAt(0.0, QColor(255, 240, 160));
    gold.setColorAt(1.0, QColor(220, 160, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(gold);
    p.drawPath(text);
    return image;
}

} // namespace miratos::games
