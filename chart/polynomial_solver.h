#pragma once
// Least-squares polynomial fit through the normal equations, solved by Gauss-Jordan
// elimination with partial pivoting.

#include "chart/chart_point.h"

class CPolynomialSolver {
public:
    static constexpr int kMaxCoefficients = 21;

    virtual ~CPolynomialSolver() = default;

    // Fits m coefficients (powers of x from 0 to m - 1) to the points. False when the normal
    // equations cannot be solved or m is outside 1..21; the coefficients are kept either way.
    bool Fit(int count, int m, const ChartPoint* points);
    // Solves the m x m system (row-major, overwritten) for the right-hand side (overwritten by
    // the solution).
    static bool Solve(double* matrix, double* rhs, int m);
    double Evaluate(double x) const;

    int m_nCoeffs = 0;
    double m_dCoeff[kMaxCoefficients] = {};
};
