#pragma once
#include <cmath>

// Sine, cosine and the specular power from additions and multiplications
// only, so that every build of the show gets the same bits: the C
// libraries' sin, cos and pow (glibc natively, musl in the browser build)
// differ in the last bit for a few percent of arguments, and such a bit can
// tip a rounded coordinate or colour. Accurate to about one unit in the last
// place of a double (the kernels are fdlibm's).

namespace portable {

namespace detail {

// The kernels on [-pi/4, pi/4].
inline double sinKernel(double x)
{
    constexpr double S1 = -1.66666666666666324348e-01, S2 = 8.33333333332248946124e-03,
                     S3 = -1.98412698298579493134e-04, S4 = 2.75573137070700676789e-06,
                     S5 = -2.50507602534068634195e-08, S6 = 1.58969099521155010221e-10;
    const double z = x * x;
    const double r = S2 + z * (S3 + z * (S4 + z * (S5 + z * S6)));
    return x + z * x * (S1 + z * r);
}

inline double cosKernel(double x)
{
    constexpr double C1 = 4.16666666666666019037e-02, C2 = -1.38888888888741095749e-03,
                     C3 = 2.48015872894767294178e-05, C4 = -2.75573143513906633035e-07,
                     C5 = 2.08757232129817482790e-09, C6 = -1.13596475577881948265e-11;
    const double z = x * x;
    const double r = z * (C1 + z * (C2 + z * (C3 + z * (C4 + z * (C5 + z * C6)))));
    const double hz = 0.5 * z;
    const double w = 1.0 - hz;
    return w + (((1.0 - w) - hz) + z * r);
}

// x = k * pi/2 + r with |r| <= pi/4; pi/2 in three parts, so r is exact
// enough for the show's angles (a few turns at most).
inline double reduce(double x, long long& k)
{
    constexpr double INV_PIO2 = 6.36619772367581382433e-01;
    constexpr double PIO2_1 = 1.57079632673412561417e+00, PIO2_2 = 6.07710050630396597660e-11,
                     PIO2_3 = 2.02226624879595063154e-21;
    const double n = std::floor(x * INV_PIO2 + 0.5);
    k = static_cast<long long>(n);
    return ((x - n * PIO2_1) - n * PIO2_2) - n * PIO2_3;
}

}  // namespace detail

inline double sin(double x)
{
    long long k = 0;
    const double r = detail::reduce(x, k);
    switch (k & 3) {
    case 0: return detail::sinKernel(r);
    case 1: return detail::cosKernel(r);
    case 2: return -detail::sinKernel(r);
    default: return -detail::cosKernel(r);
    }
}

inline double cos(double x)
{
    long long k = 0;
    const double r = detail::reduce(x, k);
    switch (k & 3) {
    case 0: return detail::cosKernel(r);
    case 1: return -detail::sinKernel(r);
    case 2: return -detail::cosKernel(r);
    default: return detail::sinKernel(r);
    }
}

// x to the tenth, by squaring: within about five units in the last place.
inline double pow10th(double x)
{
    const double x2 = x * x;
    const double x4 = x2 * x2;
    const double x8 = x4 * x4;
    return x8 * x2;
}

}  // namespace portable
