#include "decode/internal/burst_averager.h"

namespace kivoly {

namespace {

int Modulo4(int value) {
    return ((value % 4) + 4) % 4;
}

}  // namespace

void BurstAverager::Push(double a, double b, double gain, int advance, int offset) {
    accumulator_ = Modulo4(accumulator_ + Modulo4(advance));
    rotation_ = Modulo4(accumulator_ + Modulo4(offset));
    if (rotation_ & 1) {
        const double t = a;
        a = b;
        b = t;
    }
    if (rotation_ == 1) b = -b;
    if (rotation_ == 2) {
        a = -a;
        b = -b;
    }
    if (rotation_ == 3) a = -a;
    if (!hasValue_) {
        a_ = a;
        b_ = b;
        gain_ = gain;
        hasValue_ = true;
    } else if (gain != 0.0) {
        a_ = (15.0 * a_ + a) / 16.0;
        b_ = (15.0 * b_ + b) / 16.0;
        gain_ = (15.0 * gain_ + gain) / 16.0;
    }
}

void BurstAverager::Current(double& a, double& b) const {
    a = a_;
    b = b_;
    if (rotation_ & 1) {
        a = b_;
        b = a_;
    }
    if (rotation_ == 1) a = -a;
    if (rotation_ == 2) {
        a = -a;
        b = -b;
    }
    if (rotation_ == 3) b = -b;
}

double BurstAverager::SmoothedA() const {
    if (!hasValue_) return 0.0;
    double a, b;
    Current(a, b);
    return a;
}

double BurstAverager::SmoothedB() const {
    if (!hasValue_) return 0.0;
    double a, b;
    Current(a, b);
    return b;
}

}  // namespace kivoly
