#include "common/DecimalRounding.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kront
{

namespace
{

constexpr int kSignificantDigits = 12;

// Adds one to a string of decimal digits; may grow it by one digit.
void incrementDigits(std::string &digits)
{
    for (int i = int(digits.size()) - 1; i >= 0; --i) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

double rnd_n(double x, int n)
{
    if (!std::isfinite(x) || x == 0.0)
        return x == 0.0 ? 0.0 : x;

    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", kSignificantDigits - 1, x);
    // buf: [-]d.ddddddddddde[+-]XX
    const char *p = buf;
    const bool negative = (*p == '-');
    if (negative)
        ++p;
    std::string digits;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            digits.push_back(*p);
    const int exponent = std::atoi(p + 1); // place value of digits[0] is 10^exponent

    // Digits whose place value is at least 10^-n are kept.
    const int keep = exponent + n + 1;
    if (keep >= int(digits.size()))
        return std::strtod(buf, nullptr);

    std::string kept = keep > 0 ? digits.substr(0, keep) : std::string();
    const std::string rest = keep > 0 ? digits.substr(keep) : digits;
    bool roundUp = false;
    if (keep >= 0) {
        std::string half(rest.size(), '0'); // rest is never empty here
        half[0] = '5';
        const int cmp = rest.compare(half);
        const bool lastOdd = !kept.empty() && ((kept.back() - '0') % 2 == 1);
        roundUp = cmp > 0 || (cmp == 0 && lastOdd);
    }
    if (kept.empty())
        kept.assign(1, '0');
    if (roundUp)
        incrementDigits(kept);

    // kept * 10^-n, parsed so the result is the double nearest to the decimal.
    std::string text(negative ? 1 : 0, '-');
    text.append(kept).append(1, 'e').append(std::to_string(-n));
    const double result = std::strtod(text.c_str(), nullptr);
    return result == 0.0 ? 0.0 : result;
}

} // namespace kront
