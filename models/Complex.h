// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <string>

// The modulus of a rectangular pair, as every polar pair is worked out.
inline double Modulus(double real, double imag)
{
    return std::sqrt(real * real + imag * imag);
}

// A complex value that keeps its rectangular and polar forms in step. Sums and differences
// work on the rectangular pair, products and quotients on the polar pair. Phases are in
// radians and are not folded back after a product or quotient.
class CComplex
{
public:
    double real = 0.0;      // real part
    double imag = 0.0;      // imaginary part (positive = inductive when an impedance)
    double magnitude = 0.0; // modulus
    double phase = 0.0;     // argument, radians

    CComplex() = default;
    // Rectangular value with its polar pair set.
    CComplex(double realPart, double imagPart);
    static CComplex FromPolar(double magnitudeValue, double phaseValue);

    // Real value; the magnitude keeps the sign of x and the phase is 0.
    CComplex operator=(double x);

    void UpdatePolar();
    void UpdateRectangular();

    CComplex operator+(const CComplex& other) const;
    CComplex operator-(const CComplex& other) const;
    CComplex operator*(const CComplex& other) const;
    CComplex operator*(double x) const;
    // Division by a zero magnitude gives the largest finite double as magnitude.
    CComplex operator/(const CComplex& other) const;

    // Principal square root (non-negative real part).
    CComplex Sqrt() const;

    // "50.00 - j159.15"
    std::string Format() const;
};

// The impedance every component and model holds: ohm for the rectangular pair and the
// magnitude, radians for the phase.
class CImpedance
{
public:
    double m_Real = 0.0;      // resistance, ohm
    double m_Imag = 0.0;      // reactance, ohm (positive inductive, negative capacitive)
    double m_Magnitude = 0.0; // magnitude, ohm
    double m_Phase = 0.0;     // phase angle, radians

    // Component kinds taken by SetComponent (and stored by CComponant).
    static constexpr int Resistor = 1;
    static constexpr int Inductor = 2;  // value in henry
    static constexpr int Capacitor = 3; // value in farad

    CImpedance() = default;
    CImpedance(const CImpedance& other) = default;
    explicit CImpedance(const CComplex& value);
    virtual ~CImpedance() = default;

    CImpedance operator=(double x);
    CImpedance operator=(const CImpedance& other);

    // The rectangular pair with a freshly computed polar pair.
    CComplex ToComplex() const;

    CImpedance operator+(const CImpedance& other) const;
    CImpedance operator-(const CImpedance& other) const;
    CImpedance operator*(const CImpedance& other) const;
    CImpedance operator/(const CImpedance& other) const;
    CImpedance operator*(double x) const;
    CImpedance operator/(double x) const;

    bool SetRectangular(double real, double imag);
    bool SetPolar(double magnitude, double phase);
    // The impedance at `frequency` (Hz) of a component of `kind` with series `resistance`.
    bool SetComponent(int kind, double value, double resistance, double frequency);
    // This = a*b / (a+b).
    void Parallel(const CImpedance& a, const CImpedance& b);

    // "50.00 - j159.15"
    std::string FormatRectangular() const;
    // "166.82 <-72.56", phase in degrees
    std::string FormatPolar() const;

private:
    void Assign(const CComplex& value);
};

// A resistance, or any real value, as an impedance.
inline CImpedance RealValue(double x)
{
    return CImpedance(CComplex(x, 0.0));
}

CImpedance operator+(double x, const CImpedance& z);
CImpedance operator*(double x, const CImpedance& z);
CImpedance operator/(double x, const CImpedance& z);

double RadToDeg(double x);
double ArcCosh(double x);
