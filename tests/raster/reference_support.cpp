#include "reference.h"

#include <utility>

#include "display/screen.h"

namespace {

struct Corner {
    float x, y, depth, u, v;
};

void sortThree(Corner& a, Corner& b, Corner& c)
{
    if (b.y > a.y) std::swap(a, b);
    if (c.y > b.y) std::swap(b, c);
    if (b.y > a.y) std::swap(a, b);
}

bool outside(const Corner& a, const Corner& b, const Corner& c)
{
    const float w = static_cast<float>(screenWidth), h = static_cast<float>(screenHeight);
    if (a.y > h && b.y > h && c.y > h) return true;
    if (a.y < 0 && b.y < 0 && c.y < 0) return true;
    if (a.x < 0 && b.x < 0 && c.x < 0) return true;
    if (a.x > w && b.x > w && c.x > w) return true;
    return a.depth < 0 && b.depth < 0 && c.depth < 0;
}

int nonZero(int dy) { return dy == 0 ? 1 : dy; }

std::uint32_t plainAdd(std::uint32_t p, std::uint32_t c)
{
    int r = static_cast<int>((p >> 16) & 255) + static_cast<int>((c >> 16) & 255);
    int g = static_cast<int>((p >> 8) & 255) + static_cast<int>((c >> 8) & 255);
    int b = static_cast<int>(p & 255) + static_cast<int>(c & 255);
    if (r > 250) r = 250;
    if (g > 250) g = 250;
    if (b > 250) b = 250;
    return (p & 0xFF000000u) | (static_cast<std::uint32_t>(r) << 16) |
           (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

std::uint32_t plainAverage(std::uint32_t p, std::uint32_t c)
{
    const std::uint32_t r = (((c >> 16) & 255) + ((p >> 16) & 255)) >> 1;
    const std::uint32_t g = (((c >> 8) & 255) + ((p >> 8) & 255)) >> 1;
    const std::uint32_t b = ((c & 255) + (p & 255)) >> 1;
    return (r << 16) | (g << 8) | b;
}

void flatSpan(std::uint32_t* target, int additive, float alpha, int xL, int xS, int y, float zTop,
              std::uint32_t colour)
{
    int xa = xL >> 16, xb = xS >> 16;
    if (xa == xb) return;
    if (y < 0 || y > screenHeight) return;
    if (xa > xb) std::swap(xa, xb);
    for (int x = xa; x < xb; ++x) {
        if (x > 0 && x < screenWidth && y > 0 && y < screenHeight && zTop > 0) {
            std::uint32_t& p = target[rowOffsets[y] + x];
            if (additive == 0) {
                if (alpha == 1.0f) p = colour;
            } else if (additive == 1) {
                p = plainAdd(p, colour);
            }
        }
    }
}

void texturedSpan(std::uint32_t* target, const std::uint32_t* texture, int additive, float alpha,
                  int uL, int uS, int vL, int vS, int xL, int xS, int y, int dudx, int dvdx,
                  int constantGradient)
{
    const int xa = xL >> 16, xb = xS >> 16;
    int start = xa, end = xb, u = uL, v = vL, uEnd = uS, vEnd = vS;
    if (xa > xb) start = xb, end = xa, u = uS, v = vS, uEnd = uL, vEnd = vL;
    int du = dudx, dv = dvdx;
    if (constantGradient != 1) {
        const int n = end - start == 0 ? 1 : end - start;
        du = (uEnd - u) / n;
        dv = (vEnd - v) / n;
    }
    if (y > 383 || y < 0) return;
    for (int x = start; x < end; ++x) {
        u += du;
        v += dv;
        if (x > 0 && x < 512 && y > 0 && y < 384) {
            if (u < 4) u = 4;
            else if (u > 252 * 65536) u = 252 * 65536;
            if (v < 4) v = 4;
            else if (v > 252 * 65536) v = 252 * 65536;
            const std::uint32_t texel = texture[(v >> 16) * 256 + (u >> 16)];
            std::uint32_t& p = target[rowOffsets[y] + x];
            if (additive == 0 && alpha == 1.0f) p = texel;
            if (additive == 1) p = plainAdd(p, texel);
            if (alpha > 0 && alpha < 1) p = plainAverage(p, texel);
        }
    }
}

}  // namespace

void referenceFlatTriangle(std::uint32_t* target, int additive, float alpha, const Vertex& first,
                           const Vertex& second, const Vertex& third, int red, int green, int blue)
{
    Corner a{static_cast<float>(first.screenX), static_cast<float>(first.screenY), first.depth, 0, 0};
    Corner b{static_cast<float>(second.screenX), static_cast<float>(second.screenY), second.depth, 0, 0};
    Corner c{static_cast<float>(third.screenX), static_cast<float>(third.screenY), third.depth, 0, 0};
    sortThree(a, b, c);
    const int slopeCA = (static_cast<int>(a.x - c.x) << 16) / nonZero(static_cast<int>(a.y - c.y));
    const int slopeCB = (static_cast<int>(b.x - c.x) << 16) / nonZero(static_cast<int>(b.y - c.y));
    const int slopeBA = (static_cast<int>(a.x - b.x) << 16) / nonZero(static_cast<int>(a.y - b.y));
    if (outside(a, b, c)) return;
    const float zTop = static_cast<float>(
        static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<int>(c.depth)) * 65536u));
    const std::uint32_t colour = (static_cast<std::uint32_t>(red) << 16) +
                                 (static_cast<std::uint32_t>(green) << 8) +
                                 static_cast<std::uint32_t>(blue);
    int xL = static_cast<int>(c.x) << 16, xS = xL;
    for (int y = static_cast<int>(c.y); y < a.y; ++y) {
        xL += slopeCA;
        if (static_cast<float>(y) == b.y) xS = static_cast<int>(b.x) << 16;
        if (y < b.y) xS += slopeCB;
        else xS += slopeBA;
        flatSpan(target, additive, alpha, xL, xS, y, zTop, colour);
    }
}

bool referenceTexturedTriangle(std::uint32_t* target, const std::uint32_t* texture, int additive,
                               float alpha, int envMapped, int constantGradient,
                               const Vertex& first, const Vertex& second, const Vertex& third)
{
    Corner corner[3];
    const Vertex* from[3] = {&first, &second, &third};
    for (int i = 0; i < 3; ++i) {
        const Vertex& s = *from[i];
        corner[i] = {static_cast<float>(s.screenX), static_cast<float>(s.screenY), s.depth, s.u, s.v};
        if (envMapped == 1) {
            corner[i].u = s.normal.x * 128.0f + 128.0f;
            corner[i].v = s.normal.y * 128.0f + 128.0f;
        }
    }
    Corner a = corner[0], b = corner[1], c = corner[2];
    sortThree(a, b, c);
    const int dyCA = nonZero(static_cast<int>(a.y - c.y));
    const int dyCB = nonZero(static_cast<int>(b.y - c.y));
    const int dyBA = nonZero(static_cast<int>(a.y - b.y));
    const int xCA = (static_cast<int>(a.x - c.x) << 16) / dyCA;
    const int uCA = (static_cast<int>(a.u - c.u) << 16) / dyCA;
    const int vCA = (static_cast<int>(a.v - c.v) << 16) / dyCA;
    const int xCB = (static_cast<int>(b.x - c.x) << 16) / dyCB;
    const int uCB = (static_cast<int>(b.u - c.u) << 16) / dyCB;
    const int vCB = (static_cast<int>(b.v - c.v) << 16) / dyCB;
    const int xBA = (static_cast<int>(a.x - b.x) << 16) / dyBA;
    const int uBA = (static_cast<int>(a.u - b.u) << 16) / dyBA;
    const int vBA = (static_cast<int>(a.v - b.v) << 16) / dyBA;

    const double area = (static_cast<double>(c.x) - a.x) * (static_cast<double>(b.y) - a.y) -
                        (static_cast<double>(b.x) - a.x) * (static_cast<double>(c.y) - a.y);
    if (area == 0) return true;
    const double k = 65536.0 / area;
    const double gu = ((static_cast<double>(c.u) - a.u) * (static_cast<double>(b.y) - a.y) -
                       (static_cast<double>(b.u) - a.u) * (static_cast<double>(c.y) - a.y)) * k;
    const double gv = ((static_cast<double>(c.v) - a.v) * (static_cast<double>(b.y) - a.y) -
                       (static_cast<double>(b.v) - a.v) * (static_cast<double>(c.y) - a.y)) * k;
    if (gu > 524288.0 || gu < -524288.0 || gv > 524288.0 || gv < -524288.0) return false;
    const int dudx = static_cast<int>(gu), dvdx = static_cast<int>(gv);

    int xL = static_cast<int>(c.x) << 16, xS = xL;
    int uL = static_cast<int>(c.u) << 16, uS = uL;
    int vL = static_cast<int>(c.v) << 16, vS = vL;
    const int xB = static_cast<int>(b.x) << 16, uB = static_cast<int>(b.u) << 16,
              vB = static_cast<int>(b.v) << 16;
    if (outside(a, b, c)) return true;
    for (int y = static_cast<int>(c.y); y < a.y; ++y) {
        xL += xCA;
        uL += uCA;
        vL += vCA;
        if (static_cast<float>(y) == b.y) xS = xB, uS = uB, vS = vB;
        if (y < b.y) {
            uS += uCB;
            vS += vCB;
            xS += xCB;
        } else {
            uS += uBA;
            vS += vBA;
            xS += xBA;
        }
        texturedSpan(target, texture, additive, alpha, uL, uS, vL, vS, xL, xS, y, dudx, dvdx,
                     constantGradient);
    }
    return true;
}

void setUpPicture()
{
    setScreenSize(512, 384);
    buildRowOffsets();
    buildTrigTables();
}
