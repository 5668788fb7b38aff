// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Complex.h"

#include "models/FormatNumber.h"

#include <cmath>
#include <limits>

namespace
{

constexpr double Pi = 3.141592653589793;
constexpr double HalfPi = 1.5707963267948966;
constexpr double TwoPi = 6.283185307179586;
constexpr double LargestDouble = 1.7976931348623157e308;

// Products and quotients of values whose polar pairs are those UpdatePolar gives for their
// rectangular pairs, as a value freshly made from its rectangular pair has: the same result as
// the operators, without working the polar pairs out a second time.
CComplex FreshProduct(const CComplex& a, const CComplex& b)
{
    return CComplex::FromPolar(a.magnitude * b.magnitude, a.phase + b.phase);
}

CComplex FreshQuotient(const CComplex& a, const CComplex& b)
{
    const double m = b.magnitude > 0 ? a.magnitude / b.magnitude : LargestDouble;
    return CComplex::FromPolar(m, a.phase - b.phase);
}

std::string RectangularText(double real, double imag)
{
    return FormatNumber(real, 2) + (imag < 0 ? " - j" : " + j") + FormatNumber(std::fabs(imag), 2);
}

} // namespace

static_assert(LargestDouble == std::numeric_limits<double>::max());

// ---- CComplex ----

CComplex::CComplex(double realPart, double imagPart) : real(realPart), imag(imagPart)
{
    UpdatePolar();
}

CComplex CComplex::FromPolar(double magnitudeValue, double phaseValue)
{
    CComplex result;
    result.magnitude = magnitudeValue;
    result.phase = phaseValue;
    result.UpdateRectangular();
    return result;
}

CComplex CComplex::operator=(double x)
{
    real = x;
    imag = 0.0;
    magnitude = x;
    phase = 0.0;
    return *this;
}

void CComplex::UpdatePolar()
{
    magnitude = Modulus(real, imag);
    if (real > 0)
    {
        // atan(+-0) is +-0: a real value needs no arctangent.
        phase = imag == 0 ? imag / real : std::atan(imag / real);
    }
    else if (real < 0)
    {
        if (imag == 0)
            phase = Pi;
        else
            phase = std::atan(imag / real) + (imag >= 0 ? Pi : -Pi);
    }
    else
    {
        phase = imag >= 0 ? HalfPi : -HalfPi;
    }
}

void CComplex::UpdateRectangular()
{
    real = magnitude * std::cos(phase);
    imag = magnitude * std::sin(phase);
}

CComplex CComplex::operator+(const CComplex& other) const
{
    return CComplex(real + other.real, imag + other.imag);
}

CComplex CComplex::operator-(const CComplex& other) const
{
    return CComplex(real - other.real, imag - other.imag);
}

CComplex CComplex::operator*(const CComplex& other) const
{
    return FreshProduct(CComplex(real, imag), CComplex(other.real, other.imag));
}

CComplex CComplex::operator*(double x) const
{
    return FreshProduct(CComplex(real, imag), CComplex(x, 0.0));
}

CComplex CComplex::operator/(const CComplex& other) const
{
    return FreshQuotient(CComplex(real, imag), CComplex(other.real, other.imag));
}

CComplex CComplex::Sqrt() const
{
    const CComplex a(real, imag);
    return FromPolar(std::sqrt(a.magnitude), a.phase * 0.5);
}

std::string CComplex::Format() const
{
    return RectangularText(real, imag);
}

// ---- CImpedance ----

CImpedance::CImpedance(const CComplex& value)
{
    Assign(value);
}

void CImpedance::Assign(const CComplex& value)
{
    m_Real = value.real;
    m_Imag = value.imag;
    m_Magnitude = value.magnitude;
    m_Phase = value.phase;
}

CImpedance CImpedance::operator=(double x)
{
    CComplex value;
    value = x;
    Assign(value);
    return *this;
}

CImpedance CImpedance::operator=(const CImpedance& other)
{
    m_Real = other.m_Real;
    m_Imag = other.m_Imag;
    m_Magnitude = other.m_Magnitude;
    m_Phase = other.m_Phase;
    return *this;
}

CComplex CImpedance::ToComplex() const
{
    return CComplex(m_Real, m_Imag);
}

// Sums and differences need only the rectangular pairs; ToComplex gives fresh polar pairs.
CImpedance CImpedance::operator+(const CImpedance& other) const
{
    return CImpedance(CComplex(m_Real + other.m_Real, m_Imag + other.m_Imag));
}

CImpedance CImpedance::operator-(const CImpedance& other) const
{
    return CImpedance(CComplex(m_Real - other.m_Real, m_Imag - other.m_Imag));
}

CImpedance CImpedance::operator*(const CImpedance& other) const
{
    return CImpedance(FreshProduct(ToComplex(), other.ToComplex()));
}

CImpedance CImpedance::operator/(const CImpedance& other) const
{
    return CImpedance(FreshQuotient(ToComplex(), other.ToComplex()));
}

CImpedance CImpedance::operator*(double x) const
{
    return CImpedance(FreshProduct(ToComplex(), CComplex(x, 0.0)));
}

CImpedance CImpedance::operator/(double x) const
{
    return CImpedance(FreshQuotient(ToComplex(), CComplex(x, 0.0)));
}

CImpedance operator+(double x, const CImpedance& z)
{
    return CImpedance(CComplex(x + z.m_Real, 0.0 + z.m_Imag));
}

CImpedance operator*(double x, const CImpedance& z)
{
    return CImpedance(FreshProduct(CComplex(x, 0.0), z.ToComplex()));
}

CImpedance operator/(double x, const CImpedance& z)
{
    return CImpedance(FreshQuotient(CComplex(x, 0.0), z.ToComplex()));
}

bool CImpedance::SetRectangular(double real, double imag)
{
    Assign(CComplex(real, imag));
    return true;
}

bool CImpedance::SetPolar(double magnitude, double phase)
{
    Assign(CComplex::FromPolar(magnitude, phase));
    return true;
}

bool CImpedance::SetComponent(int kind, double value, double resistance, double frequency)
{
    double reactance = 0.0;
    if (frequency > 0 && std::fabs(value) > 0)
    {
        const double w = frequency * TwoPi * value;
        if (kind == Inductor)
            reactance = w;
        else if (kind == Capacitor)
            reactance = -1.0 / w;
    }
    return SetRectangular(resistance, reactance);
}

void CImpedance::Parallel(const CImpedance& a, const CImpedance& b)
{
    const CComplex ca = a.ToComplex();
    const CComplex cb = b.ToComplex();
    const CComplex product = FreshProduct(ca, cb);
    Assign(FreshQuotient(CComplex(product.real, product.imag), ca + cb));
}

std::string CImpedance::FormatRectangular() const
{
    return RectangularText(m_Real, m_Imag);
}

std::string CImpedance::FormatPolar() const
{
    return FormatNumber(m_Magnitude, 2) + " <" + FormatNumber(RadToDeg(m_Phase), 2);
}

double RadToDeg(double x)
{
    return x / Pi * 180.0;
}

double ArcCosh(double x)
{
    return std::log(std::sqrt(x * x - 1.0) + x);
}
