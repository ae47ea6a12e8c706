// Small dense symmetric systems of the fits of this folder (at most a few
// unknowns): solve and invert by Gauss-Jordan elimination with pivoting.
#pragma once

#include <vector>

namespace lxr4 {

// Inverts the n x n matrix `a` (row by row) in place; false when it is singular.
bool InvertMatrix(std::vector<double>& a, int n);

}  // namespace lxr4
