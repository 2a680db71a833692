#include "platform/Symbols.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace platform {

namespace {

// Glyphs are drawn on a 24 x 24 grid in opaque black; "knock" parts are cleared.
constexpr qreal W = 1.8;  // stroke width on the grid

struct Pen {
    QPainter& p;
    void line() const { p.setPen(QPen(Qt::black, W, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)); p.setBrush(Qt::NoBrush); }
    void thin(qreal w) const { p.setPen(QPen(Qt::black, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)); p.setBrush(Qt::NoBrush); }
    void solid() const { p.setPen(Qt::NoPen); p.setBrush(Qt::black); }
    void outlineOrSolid(bool filled) const
    {
        if (filled) {
            p.setPen(QPen(Qt::black, W, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::black);
        } else {
            line();
        }
    }
    void knock() const { p.setCompositionMode(QPainter::CompositionMode_Clear); }
    void normal() const { p.setCompositionMode(QPainter::CompositionMode_SourceOver); }
};

using Glyph = std::function<void(QPainter&, bool filled)>;

QPainterPath polyline(std::initializer_list<QPointF> pts)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF& pt : pts) {
        if (first)
            path.moveTo(pt);
        else
            path.lineTo(pt);
        first = false;
    }
    return path;
}

void arrowHead(QPainter& p, QPointF tip, qreal angleDeg, qreal size = 4.5)
{
    const qreal a = angleDeg * M_PI / 180.0;
    const QPointF back(std::cos(a), std::sin(a));
    const QPointF side(-back.y(), back.x());
    p.drawPath(polyline({tip - back * size + side * size * 0.8, tip, tip - back * size - side * size * 0.8}));
}

void arrow(QPainter& p, QPointF from, QPointF to)
{
    p.drawLine(from, to);
    const qreal angle = std::atan2(to.y() - from.y(), to.x() - from.x()) * 180.0 / M_PI;
    arrowHead(p, to, angle);
}

void circularArrows(QPainter& p, QRectF r, int count)
{
    const int span = 360 / count;
    for (int i = 0; i < count; ++i) {
        const int start = i * span + 20;
        const int len = span - 50;
        p.drawArc(r, start * 16, len * 16);
        const qreal endA = (start + len) * M_PI / 180.0;
        const QPointF c = r.center();
        const QPointF tip(c.x() + r.width() / 2 * std::cos(endA), c.y() - r.height() / 2 * std::sin(endA));
        // Counter-clockwise tangent in screen space.
        const qreal tangent = std::atan2(-std::cos(endA), -std::sin(endA)) * 180.0 / M_PI;
        arrowHead(p, tip, tangent, 3.5);
    }
}

void cubeOutline(QPainter& p, bool filled)
{
    Pen k{p};
    const QPointF top(12, 3), left(4, 7.5), right(20, 7.5), mid(12, 12), bl(4, 16.5), br(20, 16.5), bottom(12, 21);
    QPainterPath hull = polyline({top, right, br, bottom, bl, left, top});
    if (filled) {
        k.solid();
        p.drawPath(hull);
        k.knock();
        k.thin(1.2);
        p.drawPath(polyline({left, mid, right}));
        p.drawLine(mid, bottom);
        k.normal();
        return;
    }
    k.line();
    p.drawPath(hull);
    p.drawPath(polyline({left, mid, right}));
    p.drawLine(mid, bottom);
}

const std::map<std::string, Glyph>& glyphs()
{
    static const std::map<std::string, Glyph> table = [] {
        std::map<std::string, Glyph> g;
        g["plus"] = [](QPainter& p, bool) { Pen{p}.line(); p.drawLine(QPointF(12, 5), QPointF(12, 19)); p.drawLine(QPointF(5, 12), QPointF(19, 12)); };
        g["minus"] = [](QPainter& p, bool) { Pen{p}.line(); p.drawLine(QPointF(5, 12), QPointF(19, 12)); };
        g["xmark"] = [](QPainter& p, bool) { Pen{p}.line(); p.drawLine(QPointF(6, 6), QPointF(18, 18)); p.drawLine(QPointF(18, 6), QPointF(6, 18)); };
        g["checkmark"] = [](QPainter& p, bool) { Pen{p}.line(); p.drawPath(polyline({{5, 12.5}, {10, 17.5}, {19, 6.5}})); };
        g["equal"] = [](QPainter& p, bool) { Pen{p}.line(); p.drawLine(QPointF(6, 9), QPointF(18, 9)); p.drawLine(QPointF(6, 15), QPointF(18, 15)); };
        g["info"] = [](QPainter& p, bool) { Pen k{p}; k.line(); p.drawLine(QPointF(12, 11), QPointF(12, 18)); k.solid(); p.drawEllipse(QPointF(12, 7), 1.4, 1.4); };
        g["exclamationmark"] = [](QPainter& p, bool) { Pen k{p}; k.line(); p.drawLine(QPointF(12, 5), QPointF(12, 14)); k.solid(); p.drawEllipse(QPointF(12, 18), 1.4, 1.4); };
        g["circle"] = [](QPainter& p, bool f) { Pen{p}.outlineOrSolid(f); p.drawEllipse(QPointF(12, 12), 9, 9); };
        g["square"] = [](QPainter& p, bool f) { Pen{p}.outlineOrSolid(f); p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 3, 3); };
        g["rectangle"] = [](QPainter& p, bool f) { Pen{p}.outlineOrSolid(f); p.drawRoundedRect(QRectF(2.5, 6, 19, 12), 2.5, 2.5); };
        g["rectangle.portrait"] = [](QPainter& p, bool f) { Pen{p}.outlineOrSolid(f); p.drawRoundedRect(QRectF(6, 2.5, 12, 19), 2.5, 2.5); };
        g["rectangle.dashed"] = [](QPainter& p, bool) { p.setPen(QPen(Qt::black, W, Qt::DashLine, Qt::FlatCap)); p.setBrush(Qt::NoBrush); p.drawRect(QRectF(3, 6, 18, 12)); };
        g["rectangle.split.2x1"] = [](QPainter& p, bool) { Pen{p}.line(); p.drawRoundedRect(QRectF(2.5, 5, 19, 14), 2, 2); p.drawLine(QPointF(12, 5), QPointF(12, 19)); };
        g["arrow.up"] = [](QPainter& p, bool) { Pen{p}.line(); arrow(p, {12, 20}, {12, 4}); };
        g["arrow.down"] = [](QPainter& p, bool) { Pen{p}.line(); arrow(p, {12, 4}, {12, 20}); };
        g["arrow.left"] = [](QPainter& p, bool) { Pen{p}.line(); arrow(p, {20, 12}, {4, 12}); };
        g["arrow.right"] = [](QPainter& p, bool) { Pen{p}.line(); arrow(p, {4, 12}, {20, 12}); };
        g["chevron.up"] = [](QPainter& p, bool) { Pen{p}.line(); p.drawPath(polyline({{5, 15.5}, {12, 8.5}, {19, 15.5}})); };
        g["chevron.down"] = [](QPainter& p, bool) { Pen{p}.line(); p.drawPath(polyline({{5, 8.5}, {12, 15.5}, {19, 8.5}})); };
        g["chevron.right"] = [](QPainter& p, bool) { Pen{p}.line(); p.drawPath(polyline({{8.5, 5}, {15.5, 12}, {8.5, 19}})); };
        g["chevron.left"] = [](QPainter& p, bool) { Pen{p}.line(); p.drawPath(polyline({{15.5, 5}, {8.5, 12}, {15.5, 19}})); };
        g["folder"] = [](QPainter& p, bool f) { Pen{p}.outlineOrSolid(f); p.drawPath(polyline({{2.5, 19}, {2.5, 5}, {9, 5}, {11, 7.5}, {21.5, 7.5}, {21.5, 19}, {2.5, 19}})); if (!f) p.drawLine(QPointF(2.5, 10), QPointF(21.5, 10)); };
        g["doc"] = [](QPainter& p, bool f) { Pen{p}.outlineOrSolid(f); p.drawPath(polyline({{5, 2.5}, {14, 2.5}, {19, 7.5}, {19, 21.5}, {5, 21.5}, {5, 2.5}})); if (!f) p.drawPath(polyline({{14, 2.5}, {14, 7.5}, {19, 7.5}})); };
        g["doc.text"] = [](QPainter& p, bool f) {
            glyphs().at("doc")(p, f);
            Pen k{p}; if (f) { k.knock(); } k.thin(1.4);
            for (qreal y : {11.0, 14.5, 18.0}) p.drawLine(QPointF(8, y), QPointF(16, y));
            k.normal();
        };
        g["doc.richtext"] = [](QPainter& p, bool f) {
            glyphs().at("doc")(p, f);
            Pen k{p}; if (f) { k.knock(); } k.thin(1.4);
            p.drawRect(QRectF(8, 10, 4, 4)); p.drawLine(QPointF(13.5, 11), QPointF(16, 11)); p.drawLine(QPointF(8, 17.5), QPointF(16, 17.5));
            k.normal();
        };
        g["calendar"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f); p.drawRoundedRect(QRectF(3, 5, 18, 16), 2.5, 2.5);
            k.line(); p.drawLine(QPointF(8, 3), QPointF(8, 7)); p.drawLine(QPointF(16, 3), QPointF(16, 7));
            if (f) { k.knock(); } k.solid();
            for (int r = 0; r < 2; ++r) for (int c = 0; c < 3; ++c) p.drawRect(QRectF(6.5 + c * 4, 12 + r * 4, 2.2, 2.2));
            k.normal();
            if (!f) { k.line(); p.drawLine(QPointF(3, 9.5), QPointF(21, 9.5)); }
        };
        g["trash"] = [](QPainter& p, bool f) {
            Pen k{p}; k.line(); p.drawLine(QPointF(3.5, 6), QPointF(20.5, 6)); p.drawPath(polyline({{9, 6}, {9.5, 3.5}, {14.5, 3.5}, {15, 6}}));
            k.outlineOrSolid(f); p.drawPath(polyline({{5.5, 6}, {7, 21}, {17, 21}, {18.5, 6}}));
            if (f) { k.knock(); } k.thin(1.3); p.drawLine(QPointF(10, 10), QPointF(10, 17)); p.drawLine(QPointF(14, 10), QPointF(14, 17)); k.normal();
        };
        g["eye"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f);
            QPainterPath eye; eye.moveTo(2, 12); eye.quadTo(12, 1, 22, 12); eye.quadTo(12, 23, 2, 12);
            p.drawPath(eye);
            if (f) { k.knock(); k.solid(); p.drawEllipse(QPointF(12, 12), 4, 4); k.normal(); k.solid(); p.drawEllipse(QPointF(12, 12), 2.2, 2.2); }
            else { k.solid(); p.drawEllipse(QPointF(12, 12), 3.3, 3.3); }
        };
        g["cube"] = [](QPainter& p, bool f) { cubeOutline(p, f); };
        g["cube.transparent"] = [](QPainter& p, bool f) {
            Pen k{p};
            if (f) {
                k.solid(); p.drawPath(polyline({{12, 3}, {20, 7.5}, {20, 16.5}, {12, 21}, {4, 16.5}, {4, 7.5}, {12, 3}}));
                k.knock(); k.thin(1.2);
                p.drawPath(polyline({{4, 7.5}, {12, 12}, {20, 7.5}})); p.drawLine(QPointF(12, 12), QPointF(12, 21));
                p.setPen(QPen(Qt::black, 1.0, Qt::DotLine)); p.drawPath(polyline({{4, 16.5}, {12, 12}, {20, 16.5}})); p.drawLine(QPointF(12, 3), QPointF(12, 12));
                k.normal();
            } else {
                cubeOutline(p, false);
                p.setPen(QPen(Qt::black, 1.0, Qt::DashLine)); p.drawPath(polyline({{4, 16.5}, {12, 12}, {20, 16.5}})); p.drawLine(QPointF(12, 3), QPointF(12, 12));
            }
        };
        g["cube.box"] = [](QPainter& p, bool f) { cubeOutline(p, f); Pen k{p}; if (f) { k.knock(); } k.thin(1.2); p.drawLine(QPointF(8, 5.2), QPointF(16, 9.8)); k.normal(); };
        g["ruler"] = [](QPainter& p, bool f) {
            Pen k{p}; p.save(); p.translate(12, 12); p.rotate(-45);
            k.outlineOrSolid(f); p.drawRoundedRect(QRectF(-10, -4, 20, 8), 1.5, 1.5);
            if (f) { k.knock(); } k.thin(1.2);
            for (int i = -7; i <= 7; i += 3) p.drawLine(QPointF(i, -4), QPointF(i, i % 2 ? -1 : 0));
            k.normal(); p.restore();
        };
        g["scissors"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f);
            p.drawEllipse(QPointF(6.5, 17.5), 3, 3); p.drawEllipse(QPointF(17.5, 17.5), 3, 3);
            k.line(); p.drawLine(QPointF(8.5, 15.3), QPointF(18, 3.5)); p.drawLine(QPointF(15.5, 15.3), QPointF(6, 3.5));
        };
        g["map"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f);
            p.drawPath(polyline({{2.5, 6}, {8.5, 3.5}, {15.5, 6}, {21.5, 3.5}, {21.5, 18}, {15.5, 20.5}, {8.5, 18}, {2.5, 20.5}, {2.5, 6}}));
            if (f) { k.knock(); } k.thin(1.3); p.drawLine(QPointF(8.5, 3.5), QPointF(8.5, 18)); p.drawLine(QPointF(15.5, 6), QPointF(15.5, 20.5)); k.normal();
        };
        g["building.2"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f);
            p.drawRect(QRectF(3.5, 3.5, 9, 17)); p.drawRect(QRectF(12.5, 9.5, 8, 11));
            if (f) { k.knock(); } k.solid();
            for (int r = 0; r < 4; ++r) { p.drawRect(QRectF(5.5, 6 + r * 3.5, 1.8, 1.8)); p.drawRect(QRectF(8.8, 6 + r * 3.5, 1.8, 1.8)); }
            for (int r = 0; r < 2; ++r) p.drawRect(QRectF(15.5, 12 + r * 3.5, 1.8, 1.8));
            k.normal();
        };
        g["pipe.and.drop"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f);
            p.drawPath(polyline({{2.5, 4}, {14, 4}, {14, 11}, {10, 11}, {10, 8}, {2.5, 8}}));
            QPainterPath drop; drop.moveTo(12, 13); drop.cubicTo(12, 13, 7.5, 18, 12, 21); drop.cubicTo(16.5, 18, 12, 13, 12, 13);
            k.outlineOrSolid(true); p.drawPath(drop);
        };
        g["square.3.layers.3d"] = [](QPainter& p, bool f) {
            Pen k{p};
            for (int i = 2; i >= 0; --i) {
                const qreal y = 5 + i * 5;
                QPainterPath layer = polyline({{12, y - 3}, {21, y + 1.5}, {12, y + 6}, {3, y + 1.5}, {12, y - 3}});
                if (f || i == 0) { k.solid(); p.drawPath(layer); k.knock(); k.thin(1.0); p.drawPath(layer); k.normal(); k.solid(); p.drawPath(layer); }
                k.line(); p.drawPath(layer);
            }
        };
        g["clock"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f); p.drawEllipse(QPointF(12, 12), 9, 9);
            if (f) { k.knock(); } k.line(); p.drawPath(polyline({{12, 6.5}, {12, 12}, {15.5, 14.5}})); k.normal();
        };
        g["clock.arrow.circlepath"] = [](QPainter& p, bool) {
            Pen k{p}; k.line(); p.drawArc(QRectF(3, 3, 18, 18), 200 * 16, 300 * 16);
            arrowHead(p, {3.6, 15}, 100, 3.5);
            p.drawPath(polyline({{12, 7.5}, {12, 12}, {15, 14}}));
        };
        g["clock.arrow.2.circlepath"] = [](QPainter& p, bool f) { glyphs().at("clock.arrow.circlepath")(p, f); };
        g["arrow.triangle.2.circlepath"] = [](QPainter& p, bool) { Pen{p}.line(); circularArrows(p, QRectF(4, 4, 16, 16), 2); };
        g["arrow.3.trianglepath"] = [](QPainter& p, bool) { Pen{p}.line(); circularArrows(p, QRectF(4, 4, 16, 16), 3); };
        g["arrow.uturn.left"] = [](QPainter& p, bool) {
            Pen{p}.line(); QPainterPath u; u.moveTo(5, 9); u.lineTo(14, 9); u.arcTo(QRectF(9, 9, 10, 10), 90, -180); u.lineTo(9, 19); p.drawPath(u); arrowHead(p, {5, 9}, 180, 4);
        };
        g["rotate.left"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f); p.drawRect(QRectF(8, 10, 11, 11));
            k.line(); QPainterPath a; a.moveTo(5, 12); a.quadTo(5, 4, 13, 4.5); p.drawPath(a); arrowHead(p, {13, 4.5}, 0, 3);
        };
        g["scope"] = [](QPainter& p, bool) {
            Pen{p}.line(); p.drawEllipse(QPointF(12, 12), 7, 7);
            p.drawLine(QPointF(12, 2), QPointF(12, 7)); p.drawLine(QPointF(12, 17), QPointF(12, 22)); p.drawLine(QPointF(2, 12), QPointF(7, 12)); p.drawLine(QPointF(17, 12), QPointF(22, 12));
        };
        g["viewfinder"] = [](QPainter& p, bool) {
            Pen{p}.line();
            p.drawPath(polyline({{3, 8}, {3, 3}, {8, 3}})); p.drawPath(polyline({{16, 3}, {21, 3}, {21, 8}}));
            p.drawPath(polyline({{21, 16}, {21, 21}, {16, 21}})); p.drawPath(polyline({{8, 21}, {3, 21}, {3, 16}}));
        };
        g["magnifyingglass"] = [](QPainter& p, bool f) { Pen k{p}; k.outlineOrSolid(f); p.drawEllipse(QPointF(10, 10), 6.5, 6.5); k.thin(2.6); p.drawLine(QPointF(15, 15), QPointF(20.5, 20.5)); };
        g["person"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f); p.drawEllipse(QPointF(12, 7.5), 4, 4);
            QPainterPath body; body.moveTo(4, 21); body.cubicTo(4, 12.5, 20, 12.5, 20, 21); body.closeSubpath(); p.drawPath(body);
        };
        g["pencil"] = [](QPainter& p, bool f) {
            Pen k{p}; p.save(); p.translate(12, 12); p.rotate(-45);
            k.outlineOrSolid(f); p.drawPath(polyline({{-10, 0}, {-6, -2.8}, {9, -2.8}, {9, 2.8}, {-6, 2.8}, {-10, 0}}));
            k.line(); p.drawLine(QPointF(5.5, -2.8), QPointF(5.5, 2.8)); p.restore();
        };
        g["pencil.tip"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f); p.drawPath(polyline({{12, 3}, {17, 15}, {7, 15}, {12, 3}}));
            k.solid(); p.drawPath(polyline({{12, 3}, {13.8, 7.5}, {10.2, 7.5}, {12, 3}})); k.line(); p.drawLine(QPointF(7, 19.5), QPointF(17, 19.5));
        };
        g["tag"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f); p.drawPath(polyline({{3, 3}, {12, 3}, {21, 12}, {12, 21}, {3, 12}, {3, 3}}));
            if (f) { k.knock(); } k.solid(); p.drawEllipse(QPointF(7.5, 7.5), 1.6, 1.6); k.normal();
        };
        g["bookmark"] = [](QPainter& p, bool f) { Pen{p}.outlineOrSolid(f); p.drawPath(polyline({{6, 3}, {18, 3}, {18, 21}, {12, 16}, {6, 21}, {6, 3}})); };
        g["flag.checkered"] = [](QPainter& p, bool) {
            Pen k{p}; k.line(); p.drawLine(QPointF(5, 3), QPointF(5, 21)); p.drawRect(QRectF(5, 4, 14, 10));
            k.solid(); for (int r = 0; r < 2; ++r) for (int c = 0; c < 4; ++c) if ((r + c) % 2 == 0) p.drawRect(QRectF(5 + c * 3.5, 4 + r * 5, 3.5, 5));
        };
        g["list.bullet"] = [](QPainter& p, bool) {
            Pen k{p}; for (qreal y : {6.0, 12.0, 18.0}) { k.solid(); p.drawEllipse(QPointF(5, y), 1.6, 1.6); k.line(); p.drawLine(QPointF(9.5, y), QPointF(20, y)); }
        };
        g["list.clipboard"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f); p.drawRoundedRect(QRectF(4.5, 4, 15, 18), 2, 2);
            k.solid(); p.drawRoundedRect(QRectF(8.5, 2.5, 7, 3.5), 1, 1);
            if (f) { k.knock(); } k.thin(1.3); for (qreal y : {10.5, 14.0, 17.5}) p.drawLine(QPointF(8, y), QPointF(16, y)); k.normal();
        };
        g["paintbrush"] = [](QPainter& p, bool f) {
            Pen k{p}; k.line(); p.drawLine(QPointF(20, 4), QPointF(11, 13));
            k.outlineOrSolid(f); QPainterPath b; b.moveTo(10, 12); b.cubicTo(6, 12, 7, 17, 3.5, 20.5); b.cubicTo(9, 20.5, 12.5, 18, 12, 14); b.closeSubpath(); p.drawPath(b);
        };
        g["paintpalette"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f); QPainterPath pal; pal.addEllipse(QPointF(12, 12), 9.5, 8.5); p.drawPath(pal);
            if (f) { k.knock(); } else k.solid(); k.solid();
            if (!f) { k.solid(); } for (QPointF c : {QPointF(8, 9), QPointF(12, 7), QPointF(16, 9), QPointF(16.5, 13.5)}) p.drawEllipse(c, 1.4, 1.4);
            k.normal();
        };
        g["lineweight"] = [](QPainter& p, bool) { Pen k{p}; k.thin(0.8); p.drawLine(QPointF(3, 5), QPointF(21, 5)); k.thin(1.6); p.drawLine(QPointF(3, 10), QPointF(21, 10)); k.thin(2.6); p.drawLine(QPointF(3, 15.5), QPointF(21, 15.5)); k.thin(3.6); p.drawLine(QPointF(3, 21), QPointF(21, 21)); };
        g["textformat"] = [](QPainter& p, bool) { Pen{p}.line(); p.drawPath(polyline({{2.5, 19}, {7.5, 5}, {12.5, 19}})); p.drawLine(QPointF(4.3, 14), QPointF(10.7, 14)); p.drawEllipse(QPointF(17.5, 15.5), 3, 3.5); p.drawLine(QPointF(20.5, 12), QPointF(20.5, 19)); };
        g["textformat.size"] = [](QPainter& p, bool) { Pen{p}.line(); p.drawLine(QPointF(3, 5), QPointF(15, 5)); p.drawLine(QPointF(9, 5), QPointF(9, 20)); p.drawLine(QPointF(14, 11), QPointF(21, 11)); p.drawLine(QPointF(17.5, 11), QPointF(17.5, 20)); };
        g["sum"] = [](QPainter& p, bool) { Pen{p}.line(); p.drawPath(polyline({{18, 4}, {6, 4}, {12.5, 12}, {6, 20}, {18, 20}})); };
        g["slider.horizontal.3"] = [](QPainter& p, bool) {
            Pen k{p}; k.line(); for (qreal y : {6.0, 12.0, 18.0}) p.drawLine(QPointF(3, y), QPointF(21, y));
            k.solid(); p.drawEllipse(QPointF(15, 6), 2.5, 2.5); p.drawEllipse(QPointF(8, 12), 2.5, 2.5); p.drawEllipse(QPointF(17, 18), 2.5, 2.5);
        };
        g["hand.point.up"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f); p.drawPath(polyline({{9, 13}, {9, 3.5}, {12, 3.5}, {12, 10}, {18.5, 11}, {18.5, 17}, {15.5, 21}, {9.5, 21}, {5.5, 15.5}, {6.5, 13.5}, {9, 15}}));
        };
        g["archivebox"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f); p.drawRect(QRectF(3, 4, 18, 5)); p.drawRect(QRectF(4.5, 9, 15, 11.5));
            if (f) { k.knock(); } k.line(); p.drawLine(QPointF(9.5, 13), QPointF(14.5, 13)); k.normal();
        };
        g["wrench.and.screwdriver"] = [](QPainter& p, bool) {
            Pen k{p}; k.thin(2.6); p.drawLine(QPointF(5, 19), QPointF(14, 10)); k.line(); p.drawEllipse(QPointF(16, 8), 3.8, 3.8);
            k.thin(2.2); p.drawLine(QPointF(6, 5), QPointF(19, 18)); k.solid(); p.drawRect(QRectF(3.5, 3.5, 3.5, 3.5));
        };
        g["chart.bar.doc.horizontal"] = [](QPainter& p, bool f) {
            glyphs().at("doc")(p, f);
            Pen k{p}; if (f) { k.knock(); } k.thin(2.0);
            p.drawLine(QPointF(8, 10.5), QPointF(15, 10.5)); p.drawLine(QPointF(8, 14), QPointF(12, 14)); p.drawLine(QPointF(8, 17.5), QPointF(14, 17.5));
            k.normal();
        };
        g["square.and.arrow.up"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f); p.drawPath(polyline({{8.5, 9}, {5, 9}, {5, 21}, {19, 21}, {19, 9}, {15.5, 9}}));
            k.line(); arrow(p, {12, 15}, {12, 2.5});
        };
        g["square.and.arrow.down"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f); p.drawPath(polyline({{8.5, 9}, {5, 9}, {5, 21}, {19, 21}, {19, 9}, {15.5, 9}}));
            k.line(); arrow(p, {12, 2.5}, {12, 15});
        };
        g["square.and.arrow.up.on.square"] = [](QPainter& p, bool f) {
            Pen k{p}; k.line(); p.drawRect(QRectF(8, 11, 13, 10.5));
            k.outlineOrSolid(f); p.drawPath(polyline({{7, 8}, {3, 8}, {3, 18}, {6, 18}}));
            k.line(); arrow(p, {10, 14}, {10, 2.5});
        };
        g["printer"] = [](QPainter& p, bool f) {
            Pen k{p}; k.line(); p.drawRect(QRectF(7, 3, 10, 5));
            k.outlineOrSolid(f); p.drawRoundedRect(QRectF(3, 8, 18, 9), 2, 2);
            k.line(); if (f) { k.knock(); k.solid(); p.drawRect(QRectF(6.5, 13, 11, 9)); k.normal(); k.line(); } p.drawRect(QRectF(7, 13.5, 10, 8));
        };
        g["play"] = [](QPainter& p, bool f) { Pen{p}.outlineOrSolid(f); p.drawPath(polyline({{7, 4}, {19, 12}, {7, 20}, {7, 4}})); };
        g["pause"] = [](QPainter& p, bool f) { Pen{p}.outlineOrSolid(f); p.drawRect(QRectF(6, 4, 4, 16)); p.drawRect(QRectF(14, 4, 4, 16)); };
        g["backward.frame"] = [](QPainter& p, bool f) { Pen k{p}; k.outlineOrSolid(f); p.drawPath(polyline({{19, 5}, {9, 12}, {19, 19}, {19, 5}})); k.line(); p.drawLine(QPointF(5, 5), QPointF(5, 19)); };
        g["forward.frame"] = [](QPainter& p, bool f) { Pen k{p}; k.outlineOrSolid(f); p.drawPath(polyline({{5, 5}, {15, 12}, {5, 19}, {5, 5}})); k.line(); p.drawLine(QPointF(19, 5), QPointF(19, 19)); };
        g["view.3d"] = [](QPainter& p, bool) {
            Pen k{p}; k.line(); arrow(p, {12, 13}, {12, 3}); arrow(p, {12, 13}, {21, 18}); arrow(p, {12, 13}, {3, 18});
        };
        g["skew"] = [](QPainter& p, bool f) { Pen{p}.outlineOrSolid(f); p.drawPath(polyline({{8, 5}, {21, 5}, {16, 19}, {3, 19}, {8, 5}})); };
        g["angle"] = [](QPainter& p, bool) { Pen{p}.line(); p.drawPath(polyline({{19, 4}, {4, 20}, {21, 20}})); p.drawArc(QRectF(-4, 12, 16, 16), 0, 47 * 16); };
        g["mappin"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f); p.drawEllipse(QPointF(12, 8), 4.5, 4.5); k.line(); p.drawLine(QPointF(12, 12.5), QPointF(12, 21));
        };
        g["checkmark.seal"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f);
            QPainterPath seal; for (int i = 0; i < 24; ++i) { const qreal a = i * M_PI / 12; const qreal r = (i % 2) ? 8 : 9.8; const QPointF pt(12 + r * std::cos(a), 12 + r * std::sin(a)); i ? seal.lineTo(pt) : seal.moveTo(pt); } seal.closeSubpath();
            p.drawPath(seal);
            if (f) { k.knock(); } k.line(); p.drawPath(polyline({{8, 12.5}, {11, 15.5}, {16.5, 9}})); k.normal();
        };
        g["exclamationmark.triangle"] = [](QPainter& p, bool f) {
            Pen k{p}; k.outlineOrSolid(f); p.drawPath(polyline({{12, 3}, {21.5, 20}, {2.5, 20}, {12, 3}}));
            if (f) { k.knock(); } k.line(); p.drawLine(QPointF(12, 9), QPointF(12, 14)); k.solid(); p.drawEllipse(QPointF(12, 17), 1.3, 1.3); k.normal();
        };
        return g;
    }();
    return table;
}

// Symbols named after a shape drawn around a smaller glyph.
enum class Container { none, circle, square };

struct Parsed {
    std::string base;
    bool filled = false;
    Container container = Container::none;
    bool slash = false;
    std::string badge;  // a smaller glyph at the bottom right
};

bool endsWith(const std::string& s, const std::string& suffix)
{
    return s.size() > suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string stripFill(std::string s, bool& filled)
{
    if (endsWith(s, ".fill")) {
        filled = true;
        s.resize(s.size() - 5);
    }
    return s;
}

bool known(const std::string& s)
{
    bool f = false;
    return glyphs().count(stripFill(s, f)) > 0;
}

std::optional<Parsed> parse(std::string name)
{
    Parsed r;
    if (known(name)) {
        r.base = stripFill(name, r.filled);
        return r;
    }
    std::string rest = stripFill(name, r.filled);
    if (endsWith(rest, ".slash")) {
        rest.resize(rest.size() - 6);
        r.slash = true;
        bool innerFill = false;
        r.base = stripFill(rest, innerFill);
        r.filled = r.filled || innerFill;
        if (glyphs().count(r.base))
            return r;
        return std::nullopt;
    }
    for (const auto& [suffix, kind] : {std::pair{std::string(".circle"), Container::circle},
                                       std::pair{std::string(".square"), Container::square}}) {
        if (endsWith(rest, suffix)) {
            std::string inner = rest.substr(0, rest.size() - suffix.size());
            bool innerFill = false;
            inner = stripFill(inner, innerFill);
            if (glyphs().count(inner)) {
                r.base = inner;
                r.container = kind;
                return r;
            }
        }
    }
    // "doc.badge.plus", "calendar.badge.clock", "doc.text.magnifyingglass", "person.fill.clock",
    // "plus.rectangle.on.folder": the longest known prefix, and a known remainder as a badge.
    std::string s = rest;
    const std::string badgeWord = ".badge.";
    if (auto pos = s.find(badgeWord); pos != std::string::npos)
        s = s.substr(0, pos) + "." + s.substr(pos + badgeWord.size());
    const std::string onWord = ".on.";
    if (auto pos = s.find(onWord); pos != std::string::npos) {
        // "A.on.B": B is the main shape, A the badge.
        std::string a = s.substr(0, pos), b = s.substr(pos + onWord.size());
        // "plus.rectangle" on a folder: the first word is the badge.
        if (!parse(a))
            a = a.substr(0, a.find('.'));
        if (known(b) && parse(a)) {
            r.base = stripFill(b, r.filled);
            r.badge = a;
            return r;
        }
    }
    for (size_t cut = s.rfind('.'); cut != std::string::npos && cut > 0; cut = s.rfind('.', cut - 1)) {
        const std::string head = s.substr(0, cut);
        const std::string tail = s.substr(cut + 1);
        if (known(head)) {
            r.base = stripFill(head, r.filled);
            // A remainder that is no symbol of its own is left out.
            if (parse(tail))
                r.badge = tail;
            return r;
        }
        if (cut == 0)
            break;
    }
    return std::nullopt;
}

void drawFallback(QPainter& p)
{
    Pen k{p};
    k.line();
    p.drawRoundedRect(QRectF(4, 4, 16, 16), 4, 4);
    k.solid();
    p.drawEllipse(QPointF(12, 12), 2.2, 2.2);
}

void drawParsed(QPainter& p, const Parsed& s);

void drawParsed(QPainter& p, const Parsed& s)
{
    Pen k{p};
    const Glyph& glyph = glyphs().at(s.base);
    if (s.container != Container::none) {
        k.outlineOrSolid(s.filled);
        if (s.container == Container::circle)
            p.drawEllipse(QPointF(12, 12), 10, 10);
        else
            p.drawRoundedRect(QRectF(2.5, 2.5, 19, 19), 4, 4);
        p.save();
        p.translate(12, 12);
        p.scale(0.58, 0.58);
        p.translate(-12, -12);
        if (s.filled)
            k.knock();
        glyph(p, false);
        k.normal();
        p.restore();
        return;
    }
    if (!s.badge.empty()) {
        // Main shape shrunk towards the top left, the badge at the bottom right on a cleared disc.
        p.save();
        p.scale(0.8, 0.8);
        glyph(p, s.filled);
        p.restore();
        k.knock();
        k.solid();
        p.drawEllipse(QPointF(17, 17), 7, 7);
        k.normal();
        if (const auto b = parse(s.badge)) {
            p.save();
            p.translate(17, 17);
            p.scale(0.5, 0.5);
            p.translate(-12, -12);
            drawParsed(p, *b);
            p.restore();
        }
        return;
    }
    glyph(p, s.filled);
    if (s.slash) {
        k.knock();
        k.thin(4.5);
        p.drawLine(QPointF(3.5, 3.5), QPointF(20.5, 20.5));
        k.normal();
        k.line();
        p.drawLine(QPointF(3.5, 3.5), QPointF(20.5, 20.5));
    }
}

class SymbolEngine : public QIconEngine {
public:
    SymbolEngine(QString name, QColor color) : name_(std::move(name)), color_(std::move(color)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        QColor c = color_.isValid() ? color_ : QGuiApplication::palette().color(QPalette::WindowText);
        if (mode == QIcon::Disabled)
            c.setAlphaF(c.alphaF() * 0.35f);
        paintSymbol(*painter, rect, name_, c);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        paint(&p, QRect(QPoint(0, 0), size), mode, state);
        return pm;
    }
    QIconEngine* clone() const override { return new SymbolEngine(name_, color_); }
    QString key() const override { return QStringLiteral("quelva-symbol"); }

private:
    QString name_;
    QColor color_;
};

}  // namespace

void paintSymbol(QPainter& painter, const QRectF& rect, const QString& name, const QBrush& brush)
{
    if (rect.width() < 1 || rect.height() < 1)
        return;
    const qreal side = std::min(rect.width(), rect.height());
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const int px = std::max(1, int(std::ceil(side * dpr)));
    QImage layer(px, px, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.scale(px / 24.0, px / 24.0);
        if (const auto parsed = parse(name.toStdString()))
            drawParsed(lp, *parsed);
        else
            drawFallback(lp);
        // Colour the mask with the brush, in the symbol's own 24-unit space.
        lp.setCompositionMode(QPainter::CompositionMode_SourceIn);
        lp.resetTransform();
        QBrush b = brush;
        if (b.gradient())
            b.setTransform(QTransform::fromScale(px / side, px / side));
        lp.fillRect(layer.rect(), b);
    }
    layer.setDevicePixelRatio(dpr);
    const QRectF target(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side);
    painter.drawImage(target, layer);
}

QIcon symbolIcon(const QString& name, const QColor& color)
{
    return QIcon(new SymbolEngine(name, color));
}

QPixmap symbolPixmap(const QString& name, int size, const QColor& color)
{
    return symbolIcon(name, color).pixmap(size, size);
}

bool hasSymbol(const QString& name)
{
    return parse(name.toStdString()).has_value();
}

}  // namespace platform
