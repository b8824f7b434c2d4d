#include "chart/polynomial_solver.h"

#include <cmath>
#include <utility>
#include <vector>

bool CPolynomialSolver::Fit(int count, int m, const ChartPoint* points)
{
    if (m < 1 || m > kMaxCoefficients || count < 1 || !points) return false;
    std::vector<double> a(static_cast<std::size_t>(m * m), 0.0);
    std::vector<double> r(static_cast<std::size_t>(m), 0.0);
    std::vector<double> row(static_cast<std::size_t>(m));
    for (int i = 0; i < count; ++i) {
        row[0] = 1.0;
        for (int j = 1; j < m; ++j) row[j] = points[i].x * row[j - 1];
        for (int j = 0; j < m; ++j) {
            r[j] += row[j] * points[i].y;
            for (int l = j; l < m; ++l) a[j * m + l] += row[j] * row[l];
        }
    }
    for (int j = 0; j < m; ++j) {
        for (int l = 0; l < j; ++l) a[j * m + l] = a[l * m + j];
    }
    const bool solved = Solve(a.data(), r.data(), m);
    m_nCoeffs = m;
    for (int j = 0; j < m; ++j) m_dCoeff[j] = r[j];
    return solved;
}

bool CPolynomialSolver::Solve(double* matrix, double* rhs, int m)
{
    for (int c = 0; c < m; ++c) {
        int pivot = -1;
        double best = 0.0;
        for (int row = c; row < m; ++row) {
            if (std::fabs(matrix[row * m + c]) > best) {
                best = std::fabs(matrix[row * m + c]);
                pivot = row;
            }
        }
        if (pivot < 0) return false;
        if (pivot != c) {
            for (int col = c; col < m; ++col) std::swap(matrix[c * m + col], matrix[pivot * m + col]);
            std::swap(rhs[c], rhs[pivot]);
        }
        const double p = matrix[c * m + c];
        for (int col = c; col < m; ++col) matrix[c * m + col] /= p;
        rhs[c] /= p;
        for (int row = 0; row < m; ++row) {
            if (row == c) continue;
            const double f = matrix[row * m + c];
            for (int col = c; col < m; ++col) matrix[row * m + col] -= f * matrix[c * m + col];
            rhs[row] -= f * rhs[c];
        }
    }
    return true;
}

double CPolynomialSolver::Evaluate(double x) const
{
    double y = 0.0;
    for (int k = 0; k < m_nCoeffs && k < kMaxCoefficients; ++k) y += m_dCoeff[k] * std::pow(x, k);
    return y;
}
