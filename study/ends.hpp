// What each end of the domain holds: a fixed value, a gradient, or a wall
// that exchanges heat with the air outside (Robin's condition).
#pragma once

namespace study {

enum class EndKind { Value, Gradient, Robin };

struct End {
    EndKind kind = EndKind::Value;
    // phi itself (Value); dphi/dx in the direction of x (Gradient); the
    // outside value V (Robin).
    double value = 0;
    // Robin's H > 0: the diffusive flux leaving the domain through this end
    // is H (phi_end - V).
    double h = 0;

    static End Fixed(double v) { return {EndKind::Value, v, 0}; }
    static End Slope(double g) { return {EndKind::Gradient, g, 0}; }
    static End Outflow() { return Slope(0); }
    static End Robin(double h, double v) { return {EndKind::Robin, v, h}; }

    bool IsValue() const { return kind == EndKind::Value; }
    bool operator==(const End&) const = default;
};

}  // namespace study
