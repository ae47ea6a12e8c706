// Small dense systems of the program's fits (a few unknowns): solved by
// elimination with partial pivoting, or inverted by Gauss-Jordan elimination.
#pragma once

#include <vector>

namespace lxr4 {

// Solves the n x n system a x = b (a row by row, both overwritten: b becomes
// x); false when it is singular or the answer is not finite.
bool SolveLinear(std::vector<double>& a, std::vector<double>& b, int n);

// Inverts the n x n matrix `a` (row by row) in place; false when it is singular.
bool InvertMatrix(std::vector<double>& a, int n);

}  // namespace lxr4
